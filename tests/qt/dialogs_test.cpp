// Message boxes and prompts: what they show and what they answer.
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include "fixture.h"
#include "qt/dialogs.h"
#include "qt/main_window.h"
#include "qt/text_case.h"
#include "text/utf8.h"

namespace quellgate::qt::testing {
namespace {

TEST(Prompt, MasksFromTheFirstKeyAndAnswersWhatWasTypedOrNothing) {
    QtMainWindow main;
    QtDialogs dialogs(main);
    {
        WhenBoxOpens typing([](QDialog& box) {
            EXPECT_EQ(box.windowTitle(), "Password verification");
            auto* entry = box.findChild<QLineEdit*>();
            ASSERT_NE(entry, nullptr);
            QTest::keyClick(entry, 's');
            EXPECT_EQ(entry->displayText(), "*");
            QTest::keyClicks(entry, "3cret");
            EXPECT_EQ(entry->displayText(), "******");
            QTest::keyClick(entry, Qt::Key_Return);
        });
        EXPECT_EQ(dialogs.AskText("Enter master password:", "Password verification", true), "s3cret");
    }
    {
        WhenBoxOpens typing([](QDialog& box) {
            auto* entry = box.findChild<QLineEdit*>();
            ASSERT_NE(entry, nullptr);
            QTest::keyClicks(entry, "poker");
            EXPECT_EQ(entry->displayText(), "poker");
            QTest::keyClick(entry, Qt::Key_Escape);
        });
        EXPECT_EQ(dialogs.AskText("Add keyword", "Quellgate", false), std::nullopt);
    }
}

TEST(MessageBox, YesIsTheDefaultAndABoxOfAHiddenProgramStaysOnTop) {
    QtMainWindow main;
    QtDialogs dialogs(main);
    {
        WhenBoxOpens answering([](QDialog& box) {
            auto& message = dynamic_cast<QMessageBox&>(box);
            EXPECT_EQ(message.text(), "Exit\nQuellgate?");
            EXPECT_EQ(message.icon(), QMessageBox::Question);
            EXPECT_EQ(box.parentWidget(), nullptr);
            EXPECT_TRUE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QTest::keyClick(&box, Qt::Key_Return);
        });
        EXPECT_EQ(dialogs.ShowMessage("Exit\r\nQuellgate?", "Quellgate", MessageIcon::Question,
                                      MessageButtons::YesNo),
                  Answer::Yes);
    }
    main.show();
    {
        WhenBoxOpens answering([&main](QDialog& box) {
            EXPECT_EQ(box.parentWidget(), &main);
            EXPECT_FALSE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        EXPECT_EQ(
            dialogs.ShowMessage("Exit Quellgate?", "Quellgate", MessageIcon::Question, MessageButtons::YesNo),
            Answer::No);
    }
}

TEST(TextCase, LowersEveryScriptAndAlwaysGivesValidUtf8) {
    const QtTextCase textCase;
    EXPECT_EQ(textCase.LowerCase("FaceBook ÜBER Straße ДРУГ ΚΑΛΗ"), "facebook über straße друг καλη");
    const std::string broken = textCase.LowerCase("AB\xFF\xC3");
    EXPECT_EQ(SanitizeUtf8(broken), broken);
    EXPECT_EQ(broken.substr(0, 2), "ab");
}

}  // namespace
}  // namespace quellgate::qt::testing
