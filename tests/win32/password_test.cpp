// The master password, typed into the real prompt and the change-password window.
#include <gtest/gtest.h>

#include "harness.h"
#include "protect/rotor_cipher.h"

namespace quellgate::testing {
namespace {

constexpr int kMenuPassword = 2002, kPass1 = 3201, kPass2 = 3202, kPass3 = 3203, kPromptText = 101;

class PasswordTest : public ProgramTest {
protected:
    HWND OpenPrompt() {
        TapKey(VK_F5);
        return program.WaitForDialog(L"Quellgate", 10s, Program::Kind::InputBox);
    }
    // The message box that follows an answer; its text, after pressing OK.
    std::string Acknowledge(const std::wstring& caption) {
        HWND box = program.WaitForDialog(caption, 10s, Program::Kind::MessageBox);
        if (!box) return "<no message>";
        const std::string text = DialogText(box);
        PressButton(box, IDOK);
        WaitUntil([&] { return !IsWindow(box); }, 3s);
        return text;
    }
    bool MainShown() const { return IsWindowVisible(program.MainWindow()); }
};

TEST_F(PasswordTest, UnlockHideChangeAndUnlockWithTheNewPassword) {
    ASSERT_TRUE(program.Start());
    HWND prompt = OpenPrompt();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(WindowTextOf(GetDlgItem(prompt, kPromptText)), "Enter master password:");
    EXPECT_EQ(SendMessageW(FirstEdit(prompt), EM_GETPASSWORDCHAR, 0, 0), '*');
    TypeInto(FirstEdit(prompt), "lotus7391");
    PressButton(prompt, IDOK);
    EXPECT_EQ(Acknowledge(L"Quellgate"),
              "Your master password is 'lotus7391' and not safe to use! Please change your password!");
    EXPECT_TRUE(WaitUntil([&] { return MainShown(); }, 3s));
    EXPECT_EQ(StoredSetting("P"), Encipher("lotus7391"));

    TapKey(VK_F4);
    ASSERT_TRUE(WaitUntil([&] { return !MainShown(); }, 3s));
    ASSERT_TRUE(program.Unlock());

    PostMessageW(program.MainWindow(), WM_COMMAND, kMenuPassword, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = program.FindTopWindow(L"QuellgatePassword")) != nullptr; }));
    EXPECT_EQ(WindowTextOf(dialog), "Change password");
    for (int box : {kPass1, kPass2, kPass3})
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, box), EM_GETPASSWORDCHAR, 0, 0), '*');
    TypeInto(GetDlgItem(dialog, kPass1), "lotus7391");
    TypeInto(GetDlgItem(dialog, kPass2), "new secret");
    TypeInto(GetDlgItem(dialog, kPass3), "new secret");
    PressButton(dialog, IDOK);
    EXPECT_EQ(Acknowledge(L"Quellgate"), "Pasword changed!");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 3s));

    TapKey(VK_F4);
    ASSERT_TRUE(WaitUntil([&] { return !MainShown(); }, 3s));
    prompt = OpenPrompt();
    ASSERT_NE(prompt, nullptr);
    TypeInto(FirstEdit(prompt), "lotus7391");
    PressButton(prompt, IDOK);
    EXPECT_EQ(Acknowledge(L"Password verification"), "Password not match!!!");
    Pump(400ms);
    EXPECT_FALSE(MainShown());

    prompt = OpenPrompt();
    ASSERT_NE(prompt, nullptr);
    TypeInto(FirstEdit(prompt), "new secret");
    PressButton(prompt, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return MainShown(); }, 3s));
    EXPECT_EQ(program.WaitForDialog(L"Quellgate", 300ms), nullptr) << "no warning for a password of one's own";
}

TEST_F(PasswordTest, F5HeldDownOpensOnePrompt) {
    ASSERT_TRUE(program.Start());
    int most = 0;
    std::thread watcher;
    std::atomic<bool> watching{true};
    const DWORD id = program.Id();
    watcher = std::thread([&] {
        while (watching) {
            most = std::max(most, CountDialogs(id, L"Quellgate"));
            std::this_thread::sleep_for(20ms);
        }
    });
    HoldKey(VK_F5, 1500ms);
    HWND prompt = program.WaitForDialog(L"Quellgate", 5s, Program::Kind::InputBox);
    Pump(700ms);
    watching = false;
    watcher.join();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(most, 1);

    PressButton(prompt, IDCANCEL);
    EXPECT_EQ(Acknowledge(L"Quellgate"), "Please enter master password!");
    Pump(1s);
    EXPECT_EQ(program.WaitForDialog(L"Quellgate", 200ms), nullptr) << "no second prompt afterwards";
    EXPECT_FALSE(MainShown());
}

}  // namespace
}  // namespace quellgate::testing
