// The whole program, started from its executable and used as a person would.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "blocklist/blocklist_file.h"
#include "harness.h"
#include "protect/rotor_cipher.h"
#include "shell/window_layout.h"

namespace quellgate::testing {
namespace {

using namespace layout;

class Journey : public ProgramTest {
protected:
    void WriteBlocklist(const std::string& content) {
        std::ofstream(std::filesystem::path(program.BlocklistPath()), std::ios::binary) << content;
    }
    HWND OpenPrompt() {
        TapKey(VK_F5);
        return program.WaitForDialog(L"Quellgate", 10s, Program::Kind::InputBox);
    }
    void Answer(HWND prompt, const std::string& text) {
        ASSERT_NE(prompt, nullptr);
        TypeInto(FirstEdit(prompt), text);
        PressButton(prompt, IDOK);
    }
    // Clicks the add button and types the keyword into the real input box.
    void AddThroughButton(const std::string& keyword) {
        program.Click(kAddButton);
        HWND box = program.WaitForDialog(L"Quellgate", 10s, Program::Kind::InputBox);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowTextOf(GetDlgItem(box, 101)), "Add keyword or sitename to block list...!");
        EXPECT_EQ(SendMessageW(FirstEdit(box), EM_GETPASSWORDCHAR, 0, 0), 0) << "a keyword is not masked";
        Answer(box, keyword);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5s));
    }
    bool MainShown() const { return IsWindowVisible(program.MainWindow()); }
};

TEST_F(Journey, FirstStartShowsTheSplashOnlyRefusesASecondCopyAndAsksBeforeEnding) {
    ProbeWindow probe("F8 probe " + std::to_string(GetTickCount()));
    ASSERT_TRUE(probe.Focus());
    ASSERT_TRUE(program.Start());
    const auto atStart = program.VisibleWindows();
    ASSERT_EQ(atStart.size(), 1u);
    EXPECT_EQ(atStart[0], program.FindTopWindow(L"QuellgateSplash"));
    EXPECT_EQ(GetForegroundWindow(), probe.hwnd()) << "the splash leaves the focus where it was";
    EXPECT_TRUE(WaitUntil([&] { return program.VisibleWindows().empty(); }, 4s));
    // A window gets a task-bar button when it is unowned or asks for one.
    for (HWND window : {program.MainWindow(), program.FindTopWindow(L"QuellgateSplash", false)}) {
        ASSERT_NE(window, nullptr);
        HWND owner = GetWindow(window, GW_OWNER);
        ASSERT_NE(owner, nullptr);
        EXPECT_FALSE(IsWindowVisible(owner));
        EXPECT_NE(GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
        EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    }
    EXPECT_EQ(RunEntry(), program.Folder() + L"\\Quellgate.exe");
    EXPECT_TRUE(program.Checked(kStartAtLogonBox));
    EXPECT_EQ(program.ReadBlocklist(), "") << "created empty beside the program";

    TapKey(VK_F8);
    EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() >= 1; }, 3s));
    Pump(1s);  // three more ticks: nothing further may come
    EXPECT_EQ(probe.AltHomes(), 1);

    PROCESS_INFORMATION second = program.StartAnother();
    ASSERT_NE(second.hProcess, nullptr);
    HWND refusal = WaitForDialogOf(second.dwProcessId, L"Quellgate");
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(DialogText(refusal), "'");
    PressButton(refusal, IDOK);
    EXPECT_EQ(WaitForSingleObject(second.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(second.hProcess);

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

TEST_F(Journey, UnlockBlockANetworkChangeThePasswordAndHide) {
    StoreSetting("B", "True");
    StoreSetting("E", "True");
    ASSERT_TRUE(program.Start());
    {
        ProbeWindow youtube("My YouTube Page");
        ASSERT_TRUE(youtube.Focus());
        youtube.ResetCount();
        Pump(3s);
        // Ten ticks in three seconds; allow for a slow machine, not for silence.
        EXPECT_GE(youtube.AltHomes(), 5);
        EXPECT_LE(youtube.AltHomes(), 11);
    }
    ProbeWindow facebook("Facebook - Log In");
    ASSERT_TRUE(facebook.Focus());
    facebook.ResetCount();
    Pump(1s);
    EXPECT_EQ(facebook.AltHomes(), 0);

    HWND prompt = OpenPrompt();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(WindowTextOf(GetDlgItem(prompt, 101)), "Enter master password:");
    EXPECT_EQ(SendMessageW(FirstEdit(prompt), EM_GETPASSWORDCHAR, 0, 0), '*');
    Answer(prompt, "lotus7391");
    EXPECT_EQ(program.Acknowledge(L"Quellgate"),
              "Your master password is 'lotus7391' and not safe to use! Please change your password!");
    ASSERT_TRUE(WaitUntil([&] { return MainShown(); }, 3s));
    EXPECT_EQ(StoredSetting("P"), Encipher("lotus7391"));

    program.Click(kNetworkIcon + 0);
    EXPECT_TRUE(WaitUntil([] { return StoredSetting("A") == "True"; }, 3s));
    EXPECT_EQ(program.TextOf(kNetworkStatus + 0), "BLOCKED");
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"facebook", "twitter", "youtube"}));
    ASSERT_TRUE(facebook.Focus());
    facebook.ResetCount();
    EXPECT_TRUE(WaitUntil([&] { return facebook.AltHomes() > 0; }, 1s));

    program.Click(kStartAtLogonBox);
    EXPECT_TRUE(WaitUntil([] { return !RunEntry(); }, 3s)) << "unticking deletes the logon entry";

    PostMessageW(program.MainWindow(), WM_COMMAND, kMenuChangePassword, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = program.FindTopWindow(L"QuellgatePassword")) != nullptr; }));
    EXPECT_EQ(WindowTextOf(dialog), "Change password");
    for (int box : {kOldPassword, kNewPassword, kRetypedPassword})
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, box), EM_GETPASSWORDCHAR, 0, 0), '*');
    TypeInto(GetDlgItem(dialog, kOldPassword), "lotus7391");
    TypeInto(GetDlgItem(dialog, kNewPassword), "new secret");
    TypeInto(GetDlgItem(dialog, kRetypedPassword), "new secret");
    PressButton(dialog, kPasswordOk);
    EXPECT_EQ(program.Acknowledge(L"Quellgate"), "Pasword changed!");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 3s));

    TapKey(VK_F4);
    ASSERT_TRUE(WaitUntil([&] { return !MainShown(); }, 3s));
    Answer(OpenPrompt(), "lotus7391");
    EXPECT_EQ(program.Acknowledge(L"Password verification"), "Password not match!!!");
    Pump(400ms);
    EXPECT_FALSE(MainShown());

    // F5 held down opens one prompt, not one per tick.
    int most = 0;
    std::atomic<bool> watching{true};
    const DWORD id = program.Id();
    std::thread watcher([&] {
        while (watching) {
            most = std::max(most, CountDialogs(id, L"Quellgate"));
            std::this_thread::sleep_for(20ms);
        }
    });
    HoldKey(VK_F5, 1500ms);
    prompt = program.WaitForDialog(L"Quellgate", 5s, Program::Kind::InputBox);
    Pump(700ms);
    watching = false;
    watcher.join();
    EXPECT_EQ(most, 1);
    Answer(prompt, "new secret");
    EXPECT_TRUE(WaitUntil([&] { return MainShown(); }, 3s));
    EXPECT_EQ(program.WaitForDialog(L"Quellgate", 300ms), nullptr)
        << "no warning for a password of one's own";

    ASSERT_TRUE(program.Exit());
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(RunEntry(), program.Folder() + L"\\Quellgate.exe") << "written again at every start";
    EXPECT_TRUE(program.Checked(kStartAtLogonBox));
}

TEST_F(Journey, KeywordsAreBlockedKeptAcrossARestartAndALongListStartsAtOnce) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    AddThroughButton("Gossip Corner");
    AddThroughButton("Old News");
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"gossip corner", "old news"}));
    SendMessageW(GetDlgItem(program.MainWindow(), kKeywordList), LB_SETCURSEL, 1, 0);
    program.Click(kRemoveButton);
    EXPECT_TRUE(WaitUntil([&] { return program.ReadBlocklist() == EncodeBlocklist({"gossip corner"}); }, 3s))
        << program.ReadBlocklist();
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
    const auto ms = [](auto duration) {
        return static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(duration).count());
    };
    std::printf("10,001 keywords: splash after %lld ms, first Alt+Home %lld ms later\n", ms(splash - started),
                ms(Clock::now() - splash));
    // Generous: a slow machine passes, a load that grows with the square of
    // the list (minutes for this one) does not.
    EXPECT_LT(splash - started, 15s);
    EXPECT_TRUE(WaitUntil([&] {
        return SendMessageW(GetDlgItem(program.MainWindow(), kKeywordList), LB_GETCOUNT, 0, 0) == 10001;
    })) << "the list box is filled between ticks";
    probe.ResetCount();
    Pump(1500ms);
    EXPECT_GE(probe.AltHomes(), 3) << "one Alt+Home per tick";
}

TEST_F(Journey, FailuresAreToldAndNothingIsLost) {
    // A folder that has taken the file's name cannot be read: the watch
    // blocks while the message waits for an answer.
    StoreSetting("A", "True");
    std::filesystem::create_directory(std::filesystem::path(program.BlocklistPath()));
    ASSERT_TRUE(program.Start());
    HWND told = program.WaitForDialog(L"Quellgate", 10s, Program::Kind::MessageBox);
    ASSERT_NE(told, nullptr);
    EXPECT_NE(DialogText(told).find("could not read"), std::string::npos) << DialogText(told);
    {
        ProbeWindow probe("Facebook - Log In");
        ASSERT_TRUE(probe.Focus());
        EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() >= 2; }, 3s));
    }
    PressButton(told, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(told); }, 3s));
    std::filesystem::remove(std::filesystem::path(program.BlocklistPath()));
    ASSERT_TRUE(program.Exit());

    // A read-only file, and settings this account may not change.
    WriteBlocklist(EncodeBlocklist({"kept"}));
    SetFileAttributesW(program.BlocklistPath().c_str(), FILE_ATTRIBUTE_READONLY);
    DenySettingsWrites();
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    AddThroughButton("added later");
    EXPECT_NE(program.Acknowledge(L"Quellgate").find("could not save your blocked keywords"),
              std::string::npos);
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"added later", "kept"}));
    EXPECT_EQ(program.ReadBlocklist(), EncodeBlocklist({"kept"}));
    SetFileAttributesW(program.BlocklistPath().c_str(), FILE_ATTRIBUTE_NORMAL);

    program.Click(kNetworkIcon + 1);
    const std::string said = program.Acknowledge(L"Quellgate");
    EXPECT_NE(said.find("could not store the network settings"), std::string::npos) << said;
    EXPECT_NE(said.find("WOW6432Node"), std::string::npos) << said;
    EXPECT_EQ(program.TextOf(kNetworkStatus + 1), "BLOCKED");
    EXPECT_EQ(StoredSetting("B"), std::nullopt);
    program.Click(kNetworkIcon + 1);
    EXPECT_TRUE(WaitUntil([&] { return program.TextOf(kNetworkStatus + 1) == "FREE"; }, 3s));
    EXPECT_EQ(program.WaitForDialog(L"Quellgate", 500ms), nullptr) << "told once per run";
}

}  // namespace
}  // namespace quellgate::testing
