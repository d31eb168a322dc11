// The whole program, started from its executable and used as a person would:
// what only the whole program shows (the wiring, the focus, the task bar, a
// tick during a modal box, the real registry view).
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "blocklist/blocklist_file.h"
#include "harness.h"
#include "shell/view_rules.h"
#include "win32/window_text.h"

namespace quellgate::testing {
namespace {

using namespace layout;

// A fresh copy of the program and no stored settings, for each journey.
class Journey : public ::testing::Test {
protected:
    void SetUp() override { ClearStoredState(); }
    void TearDown() override {
        program.Stop();
        ClearStoredState();
    }
    static std::string MessageOf(HWND box) { return win32::WindowText(GetDlgItem(box, 0xFFFF)); }
    void WriteBlocklist(const std::string& content) {
        std::ofstream(std::filesystem::path(program.BlocklistPath()), std::ios::binary) << content;
    }
    // The prompt F5 opens, or the add button's; whether it masks what is typed.
    void Answer(bool masked, const std::string& text) {
        masked ? TapKey(VK_F5) : program.Click(kAddButton);
        HWND prompt = program.WaitForDialog(L"Quellgate", 10s, Program::Kind::InputBox);
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(SendMessageW(FirstEdit(prompt), EM_GETPASSWORDCHAR, 0, 0), masked ? '*' : 0);
        TypeInto(FirstEdit(prompt), text);
        PressButton(prompt, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, 5s));
    }
    bool MainShown() const { return IsWindowVisible(program.MainWindow()); }

    Program program;
};

TEST_F(Journey, FirstStartShowsTheSplashOnlyRefusesASecondCopyAndAsksBeforeEnding) {
    ProbeWindow probe("The user's window");
    ASSERT_TRUE(probe.Focus());
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.VisibleWindows(), std::vector<HWND>{program.FindTopWindow(L"QuellgateSplash")});
    EXPECT_EQ(GetForegroundWindow(), probe.hwnd()) << "the splash leaves the focus where it was";
    EXPECT_TRUE(WaitUntil([&] { return program.VisibleWindows().empty(); }, 4s));
    // A window gets a task-bar button when it is unowned or asks for one.
    for (HWND window : {program.MainWindow(), program.FindTopWindow(L"QuellgateSplash", false)}) {
        HWND owner = GetWindow(window, GW_OWNER);
        ASSERT_NE(owner, nullptr);
        EXPECT_FALSE(IsWindowVisible(owner));
        EXPECT_NE(GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    }
    EXPECT_EQ(RunEntry(), program.Folder() + L"\\Quellgate.exe");
    EXPECT_TRUE(program.Checked(kStartAtLogonBox));
    EXPECT_EQ(program.ReadBlocklist(), "") << "created empty beside the program";
    PROCESS_INFORMATION second = program.StartAnother();
    const win32::UniqueHandle secondProcess(second.hProcess);
    HWND refusal = WaitForDialogOf(second.dwProcessId, L"Quellgate");
    EXPECT_EQ(MessageOf(refusal), "'");
    PressButton(refusal, IDOK);
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(program.Exit()) << "closing the main window asks first";
}

TEST_F(Journey, UnlockBlockANetworkChangeThePasswordAndHide) {
    StoreSetting("E", "True");
    ASSERT_TRUE(program.Start());
    {
        ProbeWindow youtube("My YouTube Page");
        ASSERT_TRUE(youtube.Focus());
        // Seven ticks in two seconds; a slow machine may lose some, a watch of one a second gives three.
        EXPECT_TRUE(WaitUntil([&] { return youtube.AltHomes() > 0; }, 3s)) << "blocked from the start";
        youtube.ResetCount();
        Pump(2s);
        EXPECT_GE(youtube.AltHomes(), 4);
    }
    ProbeWindow facebook("Facebook - Log In");
    ASSERT_TRUE(facebook.Focus());
    Answer(true, "lotus7391");
    program.Acknowledge(L"Quellgate");  // the default password is not safe
    ASSERT_TRUE(WaitUntil([&] { return MainShown(); }, 3s));
    program.Click(IconOf(0));
    EXPECT_TRUE(WaitUntil([] { return StoredSetting("A") == "True"; }, 3s));
    EXPECT_EQ(program.TextOf(StatusOf(0)), "BLOCKED");
    ASSERT_TRUE(facebook.Focus());
    EXPECT_TRUE(WaitUntil([&] { return facebook.AltHomes() > 0; }, 3s));
    program.Click(kStartAtLogonBox);
    EXPECT_TRUE(WaitUntil([] { return !RunEntry(); }, 3s)) << "unticking deletes the logon entry";

    PostMessageW(program.MainWindow(), WM_COMMAND, kMenuChangePassword, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = program.FindTopWindow(L"QuellgatePassword")) != nullptr; }));
    for (int box : {kOldPassword, kNewPassword, kRetypedPassword})
        TypeInto(GetDlgItem(dialog, box), box == kOldPassword ? "lotus7391" : "new secret");
    PressButton(dialog, kPasswordOk);
    EXPECT_EQ(program.Acknowledge(L"Quellgate"), "Pasword changed!");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 3s));
    TapKey(VK_F4);
    ASSERT_TRUE(WaitUntil([&] { return !MainShown(); }, 3s));
    ASSERT_TRUE(program.Unlock("new secret"));
}

TEST_F(Journey, KeywordsAreBlockedKeptAcrossARestartAndALongListFillsTheListBox) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    for (const char* keyword : {"Gossip Corner", "Old News"}) Answer(false, keyword);
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"gossip corner", "old news"}));
    SendMessageW(GetDlgItem(program.MainWindow(), kKeywordList), LB_SETCURSEL, 1, 0);
    program.Click(kRemoveButton);
    EXPECT_TRUE(WaitUntil([&] { return program.ReadBlocklist() == EncodeBlocklist({"gossip corner"}); }, 3s));
    ASSERT_TRUE(program.Exit());

    // Someone appends ten thousand lines to the file.
    std::vector<std::string> appended;
    for (int i = 0; i < 10000; ++i) appended.push_back("keyword number " + std::to_string(i));
    WriteBlocklist(program.ReadBlocklist() + EncodeBlocklist(appended));
    ProbeWindow probe("Gossip Corner - today's news");
    ASSERT_TRUE(probe.Focus());
    const auto started = Clock::now();
    ASSERT_TRUE(program.Start());
    const auto splash = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return probe.AltHomes() > 0; }, 10s));
    const auto ms = [](auto d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
    std::printf("10,001 keywords: splash after %lld ms, first Alt+Home %lld ms later\n",
                static_cast<long long>(ms(splash - started)),
                static_cast<long long>(ms(Clock::now() - splash)));
    // Generous: a slow machine passes, a load that grows with the square of the list (minutes) does not.
    EXPECT_LT(splash - started, 15s);
    EXPECT_TRUE(WaitUntil([&] {
        return SendMessageW(GetDlgItem(program.MainWindow(), kKeywordList), LB_GETCOUNT, 0, 0) == 10001;
    })) << "the list box is filled between ticks";
    EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() >= 3; })) << "and the watch goes on";
}

TEST_F(Journey, BlocksWhileAMessageWaitsAndKeepsWhatCannotBeSaved) {
    StoreSetting("A", "True");
    std::filesystem::create_directory(std::filesystem::path(program.BlocklistPath()));  // cannot be read
    ASSERT_TRUE(program.Start());
    HWND told = program.WaitForDialog(L"Quellgate", 10s, Program::Kind::MessageBox);
    {
        ProbeWindow probe("Facebook - Log In");
        ASSERT_TRUE(probe.Focus());
        EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() >= 2; }, 3s));
    }
    PressButton(told, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(told); }, 3s));
    std::filesystem::remove(std::filesystem::path(program.BlocklistPath()));
    ASSERT_TRUE(program.Exit());

    WriteBlocklist(EncodeBlocklist({"kept"}));
    SetFileAttributesW(program.BlocklistPath().c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    Answer(false, "added later");
    EXPECT_NE(program.Acknowledge(L"Quellgate").find("could not save"), std::string::npos);
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"added later", "facebook", "kept"}));
    EXPECT_EQ(program.ReadBlocklist(), EncodeBlocklist({"kept"}));
}

// Every program a standard account starts may read the machine-wide key, not write it.
TEST_F(Journey, OnAStandardAccountTheSettingsStickWithoutAWord) {
    StoreSetting("B", "False");
    DenyWrites(win32::MachineSettings());
    ASSERT_TRUE(program.Start());
    Answer(true, "lotus7391");
    EXPECT_NE(program.Acknowledge(L"Quellgate").find("not safe"), std::string::npos);
    ASSERT_TRUE(WaitUntil([&] { return MainShown(); }, 3s)) << "the warning, and no message after it";
    program.Click(IconOf(1));
    EXPECT_TRUE(WaitUntil([] { return StoredSetting("B") == "True"; }, 3s));
    EXPECT_EQ(program.WaitForDialog(L"Quellgate", 500ms), nullptr) << "nothing to tell";
    ASSERT_TRUE(program.Exit());
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.TextOf(StatusOf(1)), "BLOCKED") << "remembered";
    EXPECT_EQ(win32::MachineSettings().Read("B"), "False");
}

}  // namespace
}  // namespace quellgate::testing
