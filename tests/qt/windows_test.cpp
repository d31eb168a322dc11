// The Qt windows as built from the layout tables, the keyword list, the
// password window, and the message boxes and prompts: what they show and
// answer. On Qt's offscreen platform unless another is asked for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "fakes/fakes.h"
#include "qt/application.h"
#include "qt/blocking_hours_window.h"
#include "qt/change_password_window.h"
#include "qt/control_names.h"
#include "qt/dialogs.h"
#include "qt/info_window.h"
#include "qt/local_clock.h"
#include "qt/main_window.h"
#include "qt/splash_window.h"
#include "qt/text_case.h"
#include "text/utf8.h"

using namespace quellgate;
using namespace quellgate::qt;

static fakes::RecordedNotes notes;  // what the application's event barrier noted

// The client area comes out at the scale Qt was asked for, once: a place
// scaled again by hand would come out twice as large at 2x. 15 twips to the
// logical pixel, as the layout was drawn at 96 dpi.
static void ExpectBuiltAsDesigned(QWidget& canvas, const layout::Window& design) {
    const auto px = [](int twips) { return qRound(twips / 15.0); };
    canvas.window()->show();
    ASSERT_EQ(canvas.devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    EXPECT_EQ(canvas.width(), px(design.clientWidth));
    EXPECT_EQ(canvas.height(), px(design.clientHeight));
    for (const auto& control : design.controls) {
        SCOPED_TRACE(control.id);
        QWidget* widget = canvas.findChild<QWidget*>(ControlName(control.id));
        ASSERT_TRUE(widget && widget->parentWidget() == &canvas);
        const QRect place(px(control.place.left), px(control.place.top), px(control.place.width),
                          px(control.place.height));
        EXPECT_TRUE(widget->geometry() == place)
            << widget->x() << "," << widget->y() << " " << widget->width();
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(QPoint(), place.size()), static_cast<int>(label->alignment()) | Qt::TextWordWrap,
                label->text());
            EXPECT_TRUE(needed.width() <= place.width() && needed.height() <= place.height())
                << "text cut off";
        }
        // Above the frame it stands in: a click on it reaches it.
        QWidget* hit = canvas.childAt(place.center());
        EXPECT_TRUE(control.kind == layout::Kind::GroupBox ||
                    (hit && (hit == widget || widget->isAncestorOf(hit))))
            << "covered by " << (hit ? hit->objectName().toStdString() : "nothing");
    }
}

TEST(Layout, EveryWindowHasItsControlsWhereTheLayoutPutsThem) {
    fakes::FakeSystem system;
    Controller commands(system.platform());
    QtMainWindow main(commands);
    ExpectBuiltAsDesigned(*main.centralWidget(), layout::kMainWindow);
    SplashWindow splash;
    ExpectBuiltAsDesigned(splash, layout::kSplashWindow);
    InfoWindow info;
    ExpectBuiltAsDesigned(info, layout::kInfoWindow);
    ChangePasswordWindow password(commands);
    ExpectBuiltAsDesigned(password, layout::kChangePasswordWindow);
    BlockingHoursWindow hours(commands);
    ExpectBuiltAsDesigned(hours, layout::kBlockingHoursWindow);
}

TEST(KeywordList, ShowsAHundredThousandEntriesAtOnceAndSelectsByTheControllersIndex) {
    fakes::FakeSystem system;
    Controller commands(system.platform());
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
    list.setCurrentRow(500);
    EXPECT_EQ(window.SelectedKeyword(), 500u);
    EXPECT_EQ(list.item(500)->text().toStdString(), entries[500]);
}

TEST(ChangePasswordWindow, MasksFromTheFirstKeyAClickEmptiesABoxAndOkSendsTheThree) {
    struct : PasswordCommands {
        bool ChangePassword(std::string_view o, std::string_view n, std::string_view r) override {
            sent = std::string(o) + "|" + std::string(n) + "|" + std::string(r);
            return true;
        }
        std::string sent;
    } commands;
    ChangePasswordWindow window(commands);
    window.show();
    const auto box = [&](int id) { return window.findChild<QLineEdit*>(ControlName(id)); };
    QTest::keyClick(box(layout::kOldPassword), 'l');
    EXPECT_EQ(box(layout::kOldPassword)->displayText(), "*");
    QTest::keyClicks(box(layout::kNewPassword), "new");
    QTest::mouseClick(box(layout::kOldPassword), Qt::LeftButton);
    EXPECT_EQ(box(layout::kOldPassword)->text(), "");
    EXPECT_EQ(box(layout::kNewPassword)->text(), "new");
    QTest::keyClicks(box(layout::kOldPassword), "old");
    QTest::keyClicks(box(layout::kRetypedPassword), "again");
    window.findChild<QPushButton*>(ControlName(layout::kPasswordOk))->click();
    EXPECT_EQ(commands.sent, "old|new|again");
    EXPECT_FALSE(window.isVisible()) << "a change that worked closes it";
    window.show();
    window.close();
    EXPECT_EQ(box(layout::kOldPassword)->text(), "") << "closing empties the boxes";
}

// A control of any window, by its id.
template <typename Widget = QAbstractButton>
static Widget* Shown(int id) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = window->findChild<Widget*>(ControlName(id))) return found;
    return nullptr;
}

// On the local clock, in a time zone far from UTC: the hour before now to the
// hour after, on the day that span starts, blocks; on the other days it does not.
TEST(BlockingHoursWindow, HoursSetThereFollowTheLocalClock) {
    fakes::FakeSystem system;
    system.settings.values["A"] = "True";
    system.desktop.AddWindow("Facebook - Log In");
    QtLocalClock clock;
    Controller controller({system.settings, system.desktop, system.textCase, system.dialogs,
                           system.startAtLogon, system.process, system.files, system.diagnostics, clock});
    QtMainWindow window(controller);
    ASSERT_TRUE(controller.Start(window));
    const QDateTime start = QDateTime::currentDateTime().addSecs(-3600);
    const QString day = start.toString("ddd"),
                  rule = day + start.toString(" HH:mm-") + start.addSecs(7200).toString("HH:mm");
    // Cancelled: the other days chosen, then Cancel. Only the other days leave a blocked window alone.
    enum { kOtherDays, kAlways, kThatDay, kCancelled, kAsShown };
    for (const int choice : {kOtherDays, kAlways, kThatDay, kCancelled, kAsShown}) {
        window.findChild<QAction*>(ControlName(layout::kMenuBlockingHours))->trigger();
        if (choice == kAlways) Shown(layout::kHoursAlways)->click();
        if (choice == kOtherDays || choice == kThatDay || choice == kCancelled) {
            Shown(layout::kHoursOnlyOn)->click();
            for (std::size_t i = 0; i < kDaysInWeek; ++i)
                Shown(layout::DayBoxOf(i))
                    ->setChecked((Shown(layout::DayBoxOf(i))->text() == day) == (choice == kThatDay));
            Shown<QLineEdit>(layout::kHoursFrom)->setText(rule.mid(4, 5));
            Shown<QLineEdit>(layout::kHoursTo)->setText(rule.right(5));
        }
        Shown(choice == kCancelled ? layout::kHoursCancel : layout::kHoursOk)->click();
        const int before = system.desktop.altHomes;
        controller.OnWatchTick();
        EXPECT_EQ(system.desktop.altHomes - before, choice == kOtherDays ? 0 : 1) << choice;
    }
    EXPECT_EQ(window.findChild<QLabel*>(ControlName(layout::kHoursInForce))->text(),
              "Blocking hours: " + rule + ", blocking now");
}

// Runs `inside` on the modal box once it is open, from within the box's own
// event loop. A box still open after the deadline is rejected, so a test that
// fails cannot hang.
class WhenBoxOpens {
public:
    explicit WhenBoxOpens(std::function<void(QDialog&)> inside) {
        QObject::connect(&poll_, &QTimer::timeout, [this, inside] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (box && !ran_) {
                ran_ = true;
                inside(*box);
            } else if (box && deadline_.hasExpired()) {
                ADD_FAILURE() << "the box stayed open";
                box->reject();
            }
        });
        poll_.start(5);
    }
    ~WhenBoxOpens() { EXPECT_TRUE(ran_) << "no modal box opened"; }

private:
    QTimer poll_;
    QDeadlineTimer deadline_{10'000};
    bool ran_ = false;
};

TEST(Dialogs, APromptMasksFromTheFirstKeyAndAnswersWhatWasTypedOrNothing) {
    QtDialogs dialogs;
    for (const bool masked : {true, false}) {
        const WhenBoxOpens typing([masked](QDialog& box) {
            EXPECT_EQ(box.windowTitle(), "Caption");
            auto* entry = box.findChild<QLineEdit*>();
            QTest::keyClick(entry, 's');
            EXPECT_EQ(entry->displayText(), masked ? "*" : "s");
            QTest::keyClicks(entry, "3cret");
            QTest::keyClick(entry, masked ? Qt::Key_Return : Qt::Key_Escape);
        });
        EXPECT_EQ(dialogs.AskText("Prompt", "Caption", masked),
                  masked ? std::optional<std::string>("s3cret") : std::nullopt);
    }
}

TEST(Dialogs, YesIsTheDefaultAndABoxOfAHiddenProgramStaysOnTop) {
    fakes::FakeSystem system;
    Controller commands(system.platform());
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
    EXPECT_THAT(notes.notes, ::testing::Contains(::testing::HasSubstr("a slot failed")));
}

TEST(TextCase, LowersEveryScriptAndAlwaysGivesValidUtf8) {
    const QtTextCase textCase;
    EXPECT_EQ(textCase.LowerCase("FaceBook ÜBER Straße ДРУГ ΚΑΛΗ"), "facebook über straße друг καλη");
    const std::string broken = textCase.LowerCase("AB\xFF\xC3");
    EXPECT_EQ(SanitizeUtf8(broken), broken);
    EXPECT_EQ(broken.substr(0, 2), "ab");
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application application(argc, argv, notes);
    return RUN_ALL_TESTS();
}
