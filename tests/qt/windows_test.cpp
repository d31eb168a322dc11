// The windows as built from the layout tables, the keyword list, the password
// boxes, and the message boxes and prompts: what they show and answer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <ostream>

#include "fakes/fakes.h"
#include "qt/change_password_window.h"
#include "qt/control_names.h"
#include "qt/dialogs.h"
#include "qt/info_window.h"
#include "qt/main_window.h"
#include "qt/splash_window.h"
#include "qt/text_case.h"
#include "qt_test_main.h"
#include "text/utf8.h"

// Readable failures for Qt's types.
inline void PrintTo(const QRect& r, std::ostream* out) {
    *out << r.width() << "x" << r.height() << "+" << r.x() << "+" << r.y();
}
inline void PrintTo(const QSize& size, std::ostream* out) { *out << size.width() << "x" << size.height(); }
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace quellgate::qt::testing {
namespace {

// 15 twips to the logical pixel, as the layout was drawn at 96 dpi.
int Px(int twips) { return qRound(twips / 15.0); }

// The client area comes out at the scale Qt was asked for, once: a place
// scaled again by hand would come out twice as large at 2x.
void ExpectBuiltAsDesigned(QWidget& canvas, const layout::Window& design) {
    canvas.window()->show();
    ASSERT_EQ(canvas.devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    EXPECT_EQ(canvas.size(), QSize(Px(design.clientWidth), Px(design.clientHeight)));
    for (const auto& control : design.controls) {
        SCOPED_TRACE(control.id);
        QWidget* widget = canvas.findChild<QWidget*>(ControlName(control.id));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), &canvas);
        const QRect place(Px(control.place.left), Px(control.place.top), Px(control.place.width),
                          Px(control.place.height));
        EXPECT_EQ(widget->geometry(), place);
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(QPoint(), place.size()), static_cast<int>(label->alignment()) | Qt::TextWordWrap,
                label->text());
            EXPECT_EQ(place.size().expandedTo(needed.size()), place.size()) << "text cut off";
        }
        // Above the frame it stands in: a click on it reaches it.
        QWidget* hit = canvas.childAt(place.center());
        EXPECT_TRUE(control.kind == layout::Kind::GroupBox ||
                    (hit && (hit == widget || widget->isAncestorOf(hit))))
            << "covered by " << (hit ? hit->objectName().toStdString() : "nothing");
    }
}

TEST(Layout, EveryWindowHasItsControlsWhereTheLayoutPutsThem) {
    NoCommands commands;
    QtMainWindow main(commands);
    ExpectBuiltAsDesigned(*main.centralWidget(), layout::kMainWindow);
    SplashWindow splash;
    ExpectBuiltAsDesigned(splash, layout::kSplashWindow);
    InfoWindow info;
    ExpectBuiltAsDesigned(info, layout::kInfoWindow);
    ChangePasswordWindow password(commands);
    ExpectBuiltAsDesigned(password, layout::kChangePasswordWindow);
}

TEST(KeywordList, ShowsAHundredThousandEntriesAtOnceAndSelectsByTheControllersIndex) {
    NoCommands commands;
    QtMainWindow window(commands);
    auto& list = *window.findChild<QListWidget*>(ControlName(layout::kKeywordList));
    std::vector<std::string> entries;
    for (int i = 100'000; i > 0; --i) entries.push_back("keyword " + std::to_string(i));
    entries[500] = "Δίκτυο 🙂";
    window.ShowKeywords({"an earlier list"});
    list.setCurrentRow(0);
    int insertions = 0;
    QObject::connect(list.model(), &QAbstractItemModel::rowsInserted, [&] { ++insertions; });
    window.ShowKeywords(entries);
    EXPECT_EQ(insertions, 1);
    ASSERT_EQ(list.count(), 100'000);
    EXPECT_EQ(window.SelectedKeyword(), std::nullopt);
    for (const int row : {0, 500, 99'999}) {
        list.setCurrentRow(row);
        EXPECT_EQ(window.SelectedKeyword(), static_cast<std::size_t>(row));
        EXPECT_EQ(list.item(row)->text().toStdString(), entries[static_cast<std::size_t>(row)]);
    }
}

TEST(ChangePasswordWindow, BoxesAreMaskedFromTheFirstKeyAndOnlyAClickEmptiesOne) {
    struct : PasswordCommands {
        bool ChangePassword(std::string_view, std::string_view, std::string_view) override { return false; }
    } commands;
    ChangePasswordWindow window(commands);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit* old = window.findChild<QLineEdit*>(ControlName(layout::kOldPassword));
    QLineEdit* fresh = window.findChild<QLineEdit*>(ControlName(layout::kNewPassword));
    old->setFocus();
    QTest::keyClick(old, 'l');
    EXPECT_EQ(old->displayText(), "*");
    QTest::keyClicks(old, "otus7391");
    EXPECT_EQ(old->displayText(), "*********");
    // Tab goes through the boxes in order and keeps what they hold.
    QTest::keyClick(old, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), fresh);
    QTest::keyClicks(fresh, "new");
    QTest::keyClick(fresh, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(),
              window.findChild<QLineEdit*>(ControlName(layout::kRetypedPassword)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), fresh);
    EXPECT_EQ(fresh->text(), "new");
    QTest::mouseClick(old, Qt::LeftButton);
    EXPECT_EQ(old->text(), "");
    EXPECT_EQ(fresh->text(), "new");
}

// Runs `inside` on the modal box once it is open, from within the box's own
// event loop. A box still open after the deadline is rejected, so a test that
// fails cannot hang.
class WhenBoxOpens {
public:
    explicit WhenBoxOpens(std::function<void(QDialog&)> inside) : inside_(std::move(inside)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (box && !ran_) {
                ran_ = true;
                inside_(*box);
            } else if (box && deadline_.hasExpired()) {
                ADD_FAILURE() << "the box stayed open";
                box->reject();
            }
        });
        poll_.start(5);
    }
    ~WhenBoxOpens() { EXPECT_TRUE(ran_) << "no modal box opened"; }

private:
    std::function<void(QDialog&)> inside_;
    QTimer poll_;
    QDeadlineTimer deadline_{10'000};
    bool ran_ = false;
};

TEST(Prompt, MasksFromTheFirstKeyAndAnswersWhatWasTypedOrNothing) {
    QtDialogs dialogs;
    for (const bool masked : {true, false}) {
        const WhenBoxOpens typing([masked](QDialog& box) {
            EXPECT_EQ(box.windowTitle(), "Caption");
            auto* entry = box.findChild<QLineEdit*>();
            ASSERT_NE(entry, nullptr);
            QTest::keyClick(entry, 's');
            EXPECT_EQ(entry->displayText(), masked ? "*" : "s");
            QTest::keyClicks(entry, "3cret");
            EXPECT_EQ(entry->displayText(), masked ? "******" : "s3cret");
            QTest::keyClick(entry, masked ? Qt::Key_Return : Qt::Key_Escape);
        });
        EXPECT_EQ(dialogs.AskText("Prompt", "Caption", masked),
                  masked ? std::optional<std::string>("s3cret") : std::nullopt);
    }
}

TEST(MessageBox, YesIsTheDefaultAndABoxOfAHiddenProgramStaysOnTop) {
    NoCommands commands;
    QtMainWindow main(commands);
    QtDialogs dialogs;
    dialogs.SetOwner(main);
    for (QWidget* owner : {static_cast<QWidget*>(nullptr), static_cast<QWidget*>(&main)}) {
        main.setVisible(owner != nullptr);
        const WhenBoxOpens answering([owner](QDialog& box) {
            EXPECT_EQ(dynamic_cast<QMessageBox&>(box).text(), "Exit\nQuellgate?");
            EXPECT_EQ(dynamic_cast<QMessageBox&>(box).icon(), QMessageBox::Question);
            EXPECT_EQ(box.parentWidget(), owner);
            EXPECT_EQ(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint), owner == nullptr);
            QTest::keyClick(&box, owner ? Qt::Key_Escape : Qt::Key_Return);
        });
        EXPECT_EQ(dialogs.ShowMessage("Exit\r\nQuellgate?", "Quellgate", MessageIcon::Question,
                                      MessageButtons::YesNo),
                  owner ? Answer::No : Answer::Yes);
    }
}

TEST(EventBarrier, AThrowingSlotIsDroppedAndTheWatchGoesOn) {
    fakes::FakeSystem system;
    system.desktop.AddWindow("Facebook - Log In");
    system.settings.values["A"] = "True";
    Controller controller(system.platform());
    QtMainWindow window(controller);
    ASSERT_TRUE(controller.Start(window));
    QTimer::singleShot(0, [] { throw std::runtime_error("a slot failed"); });
    const int before = system.desktop.altHomes;
    EXPECT_TRUE(QTest::qWaitFor([&] { return system.desktop.altHomes >= before + 2; }, 5000));
    EXPECT_THAT(Notes().notes, ::testing::Contains(::testing::HasSubstr("a slot failed")));
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
