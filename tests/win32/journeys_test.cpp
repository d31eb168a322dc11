// The whole program, started from its executable and used as a person would:
// what only the whole program shows (the wiring, the focus, the task bar, the
// watch's timer, a tick during a modal box, the real registry view).
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "blocklist/blocklist_file.h"
#include "harness.h"
#include "shell/view_rules.h"
#include "win32/window_text.h"

using namespace quellgate;
using namespace quellgate::testing;

using namespace layout;

// A fresh copy of the program and no stored settings, for each journey.
class Journey : public ::testing::Test {
protected:
    void SetUp() override { ClearStoredState(); }
    void TearDown() override {
        program.Stop();
        ClearStoredState();
    }

    Program program;
};

TEST_F(Journey, FirstStartShowsTheSplashOnlyRefusesASecondCopyAndAsksBeforeEnding) {
    ProbeWindow probe("The user's window");
    ASSERT_TRUE(probe.Focus());
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.VisibleWindows(), std::vector<HWND>{program.Window(L"QuellgateSplash")});
    EXPECT_EQ(GetForegroundWindow(), probe.hwnd()) << "the splash leaves the focus where it was";
    EXPECT_TRUE(WaitUntil([&] { return program.VisibleWindows().empty(); }, 4s));
    // A window gets a task-bar button when it is unowned or asks for one.
    for (HWND window : {program.MainWindow(), program.Window(L"QuellgateSplash", false)}) {
        HWND owner = GetWindow(window, GW_OWNER);
        ASSERT_NE(owner, nullptr);
        EXPECT_FALSE(IsWindowVisible(owner));
        EXPECT_NE(GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    }
    PROCESS_INFORMATION second = program.StartAnother();
    const win32::UniqueHandle secondProcess(second.hProcess);
    HWND refusal = WaitForBox(second.dwProcessId);
    EXPECT_EQ(MessageOf(refusal), "'");
    PressButton(refusal, IDOK);
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(program.Exit()) << "closing the main window asks first";
}

// On a standard account, as every program started normally runs: the
// machine-wide key may be read, not written, and nothing is said about it.
TEST_F(Journey, UnlockBlockANetworkChangeThePasswordAndHide) {
    win32::MachineSettings().Write("E", "True");
    DenyWrites(win32::MachineSettings());
    ASSERT_TRUE(program.Start());
    {
        ProbeWindow youtube("My YouTube Page");
        ASSERT_TRUE(youtube.Focus());
        // A tick every 300 ms gives five in 1.5 s; a watch of one a second gives four in 4 s.
        EXPECT_TRUE(WaitUntil([&] { return youtube.AltHomes() >= 5; }, 4s)) << youtube.AltHomes();
    }
    ProbeWindow facebook("Facebook - Log In");
    ASSERT_TRUE(facebook.Focus());
    ASSERT_TRUE(program.Answer(true, "lotus7391"));
    program.Acknowledge();  // the default password is not safe
    ASSERT_TRUE(WaitUntil([&] { return program.MainShown(); }, 3s)) << "no message after the warning";
    program.Click(IconOf(0));
    EXPECT_TRUE(WaitUntil([] { return StoredSetting("A") == "True"; }, 3s));
    EXPECT_EQ(win32::WindowText(GetDlgItem(program.MainWindow(), StatusOf(0))), "BLOCKED");
    ASSERT_TRUE(facebook.Focus());
    EXPECT_TRUE(WaitUntil([&] { return facebook.AltHomes() > 0; }, 3s));

    PostMessageW(program.MainWindow(), WM_COMMAND, kMenuChangePassword, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = program.Window(L"QuellgatePassword")) != nullptr; }));
    TypeInto(GetDlgItem(dialog, kOldPassword), "lotus7391");
    TypeInto(GetDlgItem(dialog, kNewPassword), "new secret");
    TypeInto(GetDlgItem(dialog, kRetypedPassword), "new secreT");
    PressButton(dialog, kPasswordOk);
    EXPECT_EQ(program.Acknowledge(), "Re-type New password in fields!") << "a slip is refused, not stored";
    TypeInto(GetDlgItem(dialog, kRetypedPassword), "new secret");
    PressButton(dialog, kPasswordOk);
    EXPECT_EQ(program.Acknowledge(), "Pasword changed!");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 3s));
    TapKey(VK_F4);
    ASSERT_TRUE(WaitUntil([&] { return !program.MainShown(); }, 3s));
    ASSERT_TRUE(program.Unlock("new secret"));
}

TEST_F(Journey, KeywordsAreBlockedKeptAcrossARestartAndALongListFillsTheListBox) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    HWND list = GetDlgItem(program.MainWindow(), kKeywordList);
    const LRESULT rows = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (const char* keyword : {"Gossip Corner", "Old News"}) ASSERT_TRUE(program.Answer(false, keyword));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    program.Click(kRemoveButton);
    EXPECT_TRUE(WaitUntil([&] { return program.ReadBlocklist() == EncodeBlocklist({"gossip corner"}); }, 3s));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == rows + 1; }))
        << "each row once";
    ASSERT_TRUE(program.Exit());

    // Someone appends ten thousand lines to the file.
    std::vector<std::string> appended;
    for (int i = 0; i < 10000; ++i) appended.push_back("keyword number " + std::to_string(i));
    std::ofstream(program.BlocklistPath(), std::ios::app | std::ios::binary) << EncodeBlocklist(appended);
    ProbeWindow probe("Gossip Corner - today's news");
    ASSERT_TRUE(probe.Focus());
    // Start waits for the splash long enough for a slow machine, not for a
    // load that grows with the square of the list (minutes).
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(WaitUntil([&] { return probe.AltHomes() > 0; }));
    list = GetDlgItem(program.MainWindow(), kKeywordList);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 10001; }))
        << "the list box is filled between ticks";
    EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() >= 3; })) << "and the watch goes on";
}

TEST_F(Journey, BlocksWhileAStartUpMessageWaits) {
    win32::MachineSettings().Write("A", "True");
    std::filesystem::create_directory(program.BlocklistPath());  // cannot be read
    ASSERT_TRUE(program.Start());
    HWND told = program.WaitForBox(quellgate::testing::Box::Message);
    ProbeWindow probe("Facebook - Log In");
    ASSERT_TRUE(probe.Focus());
    EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() >= 2; }, 3s));
    EXPECT_TRUE(IsWindowVisible(told)) << "still waiting";
}

// Set through the menu as a user would, against the real clock: the hour
// before now to the hour after, on the day that span starts, blocks; on the
// other days it does not. Kept across a restart.
TEST_F(Journey, BlockingHoursFollowTheClockAndAreBackAfterARestart) {
    win32::MachineSettings().Write("A", "True");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    constexpr int kWeek = 7 * 24 * 60;  // minutes, from Sunday as Windows counts
    const int start = (now.wDayOfWeek * 1440 + now.wHour * 60 + now.wMinute + kWeek - 60) % kWeek,
              end = start + 120;
    const std::string day = std::array{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}[start / 1440];
    char rule[32];
    std::snprintf(rule, sizeof rule, "%s %02d:%02d-%02d:%02d", day.c_str(), start / 60 % 24, start % 60,
                  end / 60 % 24, end % 60);
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    // Cancelled: the other days chosen, then Cancel. Only the other days leave a blocked window alone.
    enum { kOtherDays, kAlways, kThatDay, kCancelled, kAsShown };
    for (const int choice : {kOtherDays, kAlways, kThatDay, kCancelled, kAsShown}) {
        SetForegroundWindow(program.MainWindow());
        for (const WORD key : std::initializer_list<WORD>{VK_F10, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
            TapKey(key);  // Program, Blocking Hours
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (dialog = program.Window(L"QuellgateHours")) != nullptr; }));
        if (choice == kAlways) SendMessageW(GetDlgItem(dialog, kHoursAlways), BM_CLICK, 0, 0);
        if (choice == kOtherDays || choice == kThatDay || choice == kCancelled) {
            SendMessageW(GetDlgItem(dialog, kHoursOnlyOn), BM_CLICK, 0, 0);
            for (std::size_t i = 0; i < kDaysInWeek; ++i) {
                HWND box = GetDlgItem(dialog, DayBoxOf(i));
                SendMessageW(box, BM_SETCHECK, (win32::WindowText(box) == day) == (choice == kThatDay), 0);
            }
            TypeInto(GetDlgItem(dialog, kHoursFrom), std::string(rule + 4, 5));
            TypeInto(GetDlgItem(dialog, kHoursTo), std::string(rule + 10, 5));
        }
        PressButton(dialog, choice == kCancelled ? kHoursCancel : kHoursOk);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 3s));
        ProbeWindow facebook("Facebook - Log In");
        ASSERT_TRUE(facebook.Focus());
        EXPECT_EQ(WaitUntil([&] { return facebook.AltHomes() > 0; }, 2s), choice != kOtherDays) << choice;
    }
    EXPECT_EQ(StoredSetting("BlockingHours"), rule);
    ASSERT_TRUE(program.Exit());
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(win32::WindowText(GetDlgItem(program.MainWindow(), kHoursInForce)),
              "Blocking hours: " + std::string(rule) + ", blocking now");
}
