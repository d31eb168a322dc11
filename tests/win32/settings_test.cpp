// Network switches and the logon entry, through the running program.
#include <gtest/gtest.h>

#include "harness.h"
#include "win32/registry.h"
#include "win32/wide.h"

#include <sddl.h>

namespace quellgate::testing {
namespace {

constexpr int kFacebookIcon = 1001, kFacebookLabel = 1011, kChkRun = 1027;

class SettingsTest : public ProgramTest {
protected:
    void TearDown() override {
        program.Stop();
        AllowSettingsWrites();
        ProgramTest::TearDown();
    }

    // Lets the settings key be read but not changed, as for a standard user.
    static void DenySettingsWrites() { SetSettingsDacl(L"D:P(A;;KR;;;WD)(A;;SDWD;;;WD)"); }
    static void AllowSettingsWrites() { SetSettingsDacl(L"D:P(A;;KA;;;WD)"); }
    static void SetSettingsDacl(const wchar_t* sddl) {
        win32::UniqueKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Korvane\\Status", 0, WRITE_DAC | KEY_WOW64_32KEY,
                          key.out()))
            return;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr);
        RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
        LocalFree(descriptor);
    }

    bool Ticked() const { return SendMessageW(GetDlgItem(program.MainWindow(), kChkRun), BM_GETCHECK, 0, 0) == 1; }
};

TEST_F(SettingsTest, TheLogonEntryIsWrittenAtEveryStart) {
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(RunEntry(), program.Folder() + L"\\Quellgate.exe");
    EXPECT_TRUE(Ticked());

    ASSERT_TRUE(program.Unlock());
    PostMessageW(GetDlgItem(program.MainWindow(), kChkRun), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return !RunEntry(); }, 3s)) << "unticking deletes the entry";
    EXPECT_FALSE(Ticked());
    ASSERT_TRUE(program.Exit());

    ASSERT_TRUE(program.Start());
    EXPECT_EQ(RunEntry(), program.Folder() + L"\\Quellgate.exe");
    EXPECT_TRUE(Ticked());
}

TEST_F(SettingsTest, BlockedNetworksArePushedOffEveryTickAndAClickBlocksAtOnce) {
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
    Pump(1500ms);
    EXPECT_EQ(facebook.AltHomes(), 0);

    ASSERT_TRUE(program.Unlock());
    PostMessageW(GetDlgItem(program.MainWindow(), kFacebookIcon), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return StoredSetting("A") == "True"; }, 3s));
    EXPECT_EQ(WindowTextOf(GetDlgItem(program.MainWindow(), kFacebookLabel)), "BLOCKED");
    EXPECT_EQ(program.Keywords(), (std::vector<std::string>{"facebook", "twitter", "youtube"}));
    EXPECT_EQ(StoredSetting("B"), "True");
    EXPECT_EQ(StoredSetting("C"), "False");

    ASSERT_TRUE(facebook.Focus());
    facebook.ResetCount();
    EXPECT_TRUE(WaitUntil([&] { return facebook.AltHomes() > 0; }, 1s));
}

TEST_F(SettingsTest, ASwitchThatCannotBeStoredIsSaidOnce) {
    StoreSetting("A", "False");
    DenySettingsWrites();
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Unlock());
    ASSERT_EQ(StoredSetting("P"), std::nullopt) << "the default password could not be stored either";

    PostMessageW(GetDlgItem(program.MainWindow(), kFacebookIcon), BM_CLICK, 0, 0);
    HWND told = program.WaitForDialog(L"Quellgate", 10s, Program::Kind::MessageBox);
    ASSERT_NE(told, nullptr);
    EXPECT_NE(DialogText(told).find("could not store the network settings"), std::string::npos) << DialogText(told);
    PressButton(told, IDOK);
    EXPECT_EQ(WindowTextOf(GetDlgItem(program.MainWindow(), kFacebookLabel)), "BLOCKED");
    EXPECT_EQ(StoredSetting("A"), "False");

    PostMessageW(GetDlgItem(program.MainWindow(), kFacebookIcon), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowTextOf(GetDlgItem(program.MainWindow(), kFacebookLabel)) == "FREE"; }, 3s));
    Pump(500ms);
    EXPECT_EQ(program.WaitForDialog(L"Quellgate", 200ms), nullptr) << "told once per run";
}

}  // namespace
}  // namespace quellgate::testing
