// The whole program, started from its executable and used as a person would.
#include <gtest/gtest.h>

#include "harness.h"
#include "win32/wide.h"

namespace quellgate::testing {
namespace {

TEST_F(ProgramTest, ShowsOnlyTheSplashThenNothingAndNeverATaskBarButton) {
    ASSERT_TRUE(program.Start());
    const auto atStart = program.VisibleWindows();
    ASSERT_EQ(atStart.size(), 1u);
    EXPECT_EQ(atStart[0], program.FindTopWindow(L"QuellgateSplash"));

    EXPECT_TRUE(WaitUntil([&] { return program.VisibleWindows().empty(); }, 4s));
    EXPECT_TRUE(program.Running());

    // A window gets a task-bar button when it is unowned or asks for one.
    for (HWND window : {program.MainWindow(), program.FindTopWindow(L"QuellgateSplash", false)}) {
        ASSERT_NE(window, nullptr);
        HWND owner = GetWindow(window, GW_OWNER);
        EXPECT_NE(owner, nullptr);
        EXPECT_FALSE(IsWindowVisible(owner));
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    }
    EXPECT_NE(GetWindowLongPtrW(GetWindow(program.MainWindow(), GW_OWNER), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

TEST_F(ProgramTest, ASecondInstanceSaysSoAndEndsWhileTheFirstRunsOn) {
    ASSERT_TRUE(program.Start());
    PROCESS_INFORMATION second = program.StartAnother();
    ASSERT_NE(second.hProcess, nullptr);
    HWND refusal = WaitForDialogOf(second.dwProcessId, L"Quellgate");
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(DialogText(refusal), "'");
    PressButton(refusal, IDOK);
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(second.hProcess);
    EXPECT_TRUE(program.Running());
    EXPECT_NE(program.MainWindow(), nullptr);
}

TEST_F(ProgramTest, ACloseRequestAsksAndOnlyYesEnds) {
    ASSERT_TRUE(program.Start());
    DeleteFileW(program.BlocklistPath().c_str());

    PostMessageW(program.MainWindow(), WM_CLOSE, 0, 0);
    HWND question = program.WaitForDialog(L"Quellgate");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(DialogText(question), "Exit Quellgate?");
    PressButton(question, IDNO);
    Pump(700ms);
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(program.ReadBlocklist(), "<missing>") << "No saves nothing";

    EXPECT_TRUE(program.Exit());
    EXPECT_EQ(program.ReadBlocklist(), "") << "Yes saves the list before it ends";
}

TEST_F(ProgramTest, F8SendsOneAltHomeToTheFocusedWindow) {
    ASSERT_TRUE(program.Start());
    ProbeWindow probe("F8 probe " + std::to_string(GetTickCount()));
    ASSERT_TRUE(probe.Focus());
    TapKey(VK_F8);
    EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() >= 1; }, 3s));
    Pump(1s);  // three more ticks: nothing further may come
    EXPECT_EQ(probe.AltHomes(), 1);
}

TEST_F(ProgramTest, F4HidesTheMainWindow) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    TapKey(VK_F4);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(program.MainWindow()); }, 3s));
}

}  // namespace
}  // namespace quellgate::testing
