// The Qt windows as built from the layout tables, the keyword list, the
// password window, and the message boxes and prompts: what they show and
// answer. On Qt's offscreen platform unless another is asked for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "fakes/fakes.h"
#include "qt/application.h"
#include "qt/blocking_hours_window.h"
#include "qt/change_password_window.h"
#include "qt/control_names.h"
#include "qt/dialogs.h"
#include "qt/info_window.h"
#include "qt/local_clock.h"
#include "qt/main_window.h"
#include "qt/pictures.h"
#include "qt/splash_window.h"
#include "qt/text_case.h"
#include "shell/view_rules.h"
#include "text/utf8.h"

using namespace quellgate;
using namespace quellgate::qt;

static fakes::RecordedNotes notes;  // what the application's event barrier noted

// The client area comes out at the scale Qt was asked for, once: a place
// scaled again by hand would come out twice as large at 2x. 15 twips to the
// logical pixel, as the layout was drawn at 96 dpi. On a face as wide as the
// one the layout was drawn for, every text is whole at its role's own size;
// on a wider one, whole all the same. Every picture stands in the middle of
// its place, from left to right (the splash's own has more room below).
static void ExpectBuiltAsDesigned(QWidget& canvas, const layout::Window& design, bool layoutsOwnFace) {
    const auto px = [](int twips) { return qRound(twips / 15.0); };
    canvas.window()->show();
    const qreal scale = canvas.devicePixelRatioF();
    ASSERT_EQ(scale, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
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
            EXPECT_LE(label->heightForWidth(place.width()), place.height()) << "text cut off";
            if (layoutsOwnFace) {
                EXPECT_EQ(label->font().pointSizeF(), layout::SizeOf(control.font).points);
            }
        }
        if (control.picture != layout::Picture::None) {
            if (auto* button = dynamic_cast<PictureButton*>(widget)) button->SetOutline(Qt::black, 0);
            QImage shot((QSizeF(widget->size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
            shot.setDevicePixelRatio(scale);
            shot.fill(Qt::transparent);
            widget->render(&shot, {}, {}, {});
            QRect drawn;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (qAlpha(shot.pixel(x, y)) > 0) drawn |= QRect(x, y, 1, 1);
            EXPECT_TRUE(!drawn.isEmpty() && std::abs(drawn.left() + drawn.right() + 1 - shot.width()) <= 2)
                << "picture drawn from " << drawn.left() << " to " << drawn.right() << " of " << shot.width();
        }
        // Above the frame it stands in: a click on it reaches it.
        QWidget* hit = canvas.childAt(place.center());
        EXPECT_TRUE(control.kind == layout::Kind::GroupBox ||
                    (hit && (hit == widget || widget->isAncestorOf(hit))))
            << "covered by " << (hit ? hit->objectName().toStdString() : "nothing");
    }
}

TEST(Layout, EveryWindowHasItsControlsWhereTheLayoutPutsThem) {
    // Liberation Sans has the widths of the face the layout was drawn for; DejaVu Sans is wider.
    for (const bool layoutsOwnFace : {true, false}) {
        QApplication::setFont(QFont(layoutsOwnFace ? "Liberation Sans" : "DejaVu Sans"));
        fakes::FakeSystem system;
        Controller commands(system.platform());
        QtMainWindow main(commands);
        ExpectBuiltAsDesigned(*main.centralWidget(), layout::kMainWindow, layoutsOwnFace);
        SplashWindow splash;
        ExpectBuiltAsDesigned(splash, layout::kSplashWindow, layoutsOwnFace);
        InfoWindow info;
        ExpectBuiltAsDesigned(info, layout::kInfoWindow, layoutsOwnFace);
        ChangePasswordWindow password(commands);
        ExpectBuiltAsDesigned(password, layout::kChangePasswordWindow, layoutsOwnFace);
        BlockingHoursWindow hours(commands);
        ExpectBuiltAsDesigned(hours, layout::kBlockingHoursWindow, layoutsOwnFace);
    }
}

TEST(KeywordList, ShowsTheRowsAfreshAndSelectsByTheControllersIndex) {
    fakes::FakeSystem system;
    Controller commands(system.platform());
    QtMainWindow window(commands);
    auto& list = *window.findChild<QListWidget*>(ControlName(layout::kKeywordList));
    window.ShowKeywords({"an earlier list"});
    list.setCurrentRow(0);
    window.ShowKeywords({"first", "Δίκτυο 🙂", "third"});
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(window.SelectedKeyword(), std::nullopt);
    list.setCurrentRow(1);
    EXPECT_EQ(window.SelectedKeyword(), 1u);
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
// event loop. A box still open 10 s later is rejected, so a test that fails
// cannot hang; the timers go with what this returns.
[[nodiscard]] static std::unique_ptr<QObject> WhenBoxOpens(const std::function<void(QDialog&)>& inside) {
    auto timers = std::make_unique<QObject>();
    const auto box = [] { return qobject_cast<QDialog*>(QApplication::activeModalWidget()); };
    QTimer::singleShot(0, timers.get(), [=] {
        if (QDialog* open = box())
            inside(*open);
        else
            ADD_FAILURE() << "no modal box opened";
    });
    QTimer::singleShot(10'000, timers.get(), [=] {
        if (QDialog* open = box()) open->reject();
    });
    return timers;
}

TEST(Dialogs, APromptMasksFromTheFirstKeyAndAnswersWhatWasTypedOrNothing) {
    QtDialogs dialogs;
    for (const bool masked : {true, false}) {
        const auto typing = WhenBoxOpens([masked](QDialog& box) {
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
        const auto answering = WhenBoxOpens([owner](QDialog& box) {
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
