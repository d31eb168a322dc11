// The Windows implementations of the program's seams, against the real system.
#include <gtest/gtest.h>

#include <filesystem>

#include "harness.h"
#include "platform/shadowed_stores.h"
#include "win32/desktop.h"
#include "win32/file_store.h"
#include "win32/settings_store.h"
#include "win32/start_at_logon.h"
#include "win32/text_case.h"
#include "win32/wide.h"

namespace quellgate::testing {
namespace {

using win32::Wide;

// The program's own settings keys, in the registry view the program uses.
class Registry : public ::testing::Test {
protected:
    void SetUp() override { ClearStoredState(); }
    void TearDown() override { ClearStoredState(); }

    win32::RegistryStore store = win32::MachineSettings(), own = win32::OwnSettings();
};

TEST_F(Registry, KeepsAbsentApartFromEmptyWhereEarlierReleasesKeptIt) {
    EXPECT_EQ(store.Read("A"), std::nullopt) << "no key";
    ASSERT_TRUE(store.Write("A", ""));
    EXPECT_EQ(store.Read("A"), "") << "missing levels were created";
    EXPECT_EQ(store.Read("B"), std::nullopt) << "no value";
    ASSERT_TRUE(store.Write("A", "True"));
    ASSERT_TRUE(store.Write("P", "Δίκτυο"));
    EXPECT_EQ(store.Read("A"), "True");
    EXPECT_EQ(store.Read("P"), "Δίκτυο");
    win32::UniqueKey key;
    EXPECT_EQ(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Korvane\\Status", 0, KEY_READ, key.out()),
        0);
    EXPECT_EQ(store.Location(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Korvane\\Status");
}

TEST_F(Registry, ReadsOnlyPlainStringsAndCutsAtNul) {
    win32::UniqueKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, store.Path(), 0, nullptr, 0, KEY_SET_VALUE | store.View(),
                              nullptr, key.out(), nullptr),
              0);
    const auto raw = [&](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
    };
    const wchar_t expand[] = L"%TEMP%", withNul[] = L"ab\0cd", unterminated[] = {L'x', L'y', L'z'};
    const DWORD number = 1;
    raw(L"X", REG_EXPAND_SZ, expand, sizeof(expand));
    raw(L"D", REG_DWORD, &number, sizeof(number));
    raw(L"N", REG_SZ, withNul, sizeof(withNul));
    raw(L"U", REG_SZ, unterminated, sizeof(unterminated));
    EXPECT_EQ(store.Read("X"), std::nullopt);
    EXPECT_EQ(store.Read("D"), std::nullopt);
    EXPECT_TRUE(store.Holds("D")) << "there all the same";
    EXPECT_EQ(store.Read("N"), "ab");
    EXPECT_EQ(store.Read("U"), "xyz");
}

// As a standard account: the machine-wide key may be read, not written.
TEST_F(Registry, AnAccountThatMayNotWriteTheMachineKeyKeepsAndReadsACopyOfItsOwn) {
    ASSERT_TRUE(store.Write("A", "False"));
    ASSERT_TRUE(store.Write("B", "True"));
    DenyWrites(store);
    EXPECT_TRUE(store.Write("A", "True").refused());
    ShadowedSettings settings(store, own);
    ASSERT_TRUE(settings.Write("A", "True"));
    EXPECT_EQ(store.Read("A"), "False");
    EXPECT_EQ(settings.Read("A"), "True");
    // Where Windows kept them for the first release, and where they are found.
    win32::UniqueKey copy;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\Korvane\\Status", 0,
                      KEY_SET_VALUE, copy.out()),
        0);
    ASSERT_EQ(win32::SetStringValue(copy.get(), "B", "False"), 0);
    EXPECT_EQ(settings.Read("B"), "False") << "the account's copy wins";
    DenyWrites(own);
    const Outcome refused = settings.Write("C", "True");
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.reason().find("; "), std::string::npos) << "both reasons: " << refused.reason();
    EXPECT_EQ(settings.Read("C"), std::nullopt);
}

TEST(StartAtLogonTest, WritesFindsAndRemovesTheRunValueQuoted) {
    win32::WinStartAtLogon run;
    const std::string name = "Quellgate Seam Test";
    run.Remove(name);
    EXPECT_FALSE(run.Exists(name));
    EXPECT_TRUE(run.Write(name, "C:\\My Tools\\Quellgate Seam Test.exe"));
    EXPECT_TRUE(run.Exists(name));
    wchar_t data[MAX_PATH] = {};
    DWORD size = sizeof(data);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, win32::WinStartAtLogon::kRunKeyPath, L"Quellgate Seam Test",
                           RRF_RT_REG_SZ, nullptr, data, &size),
              0);
    EXPECT_STREQ(data, L"\"C:\\My Tools\\Quellgate Seam Test.exe\"") << "quoted, for the blank";
    EXPECT_TRUE(run.Remove(name));
    EXPECT_FALSE(run.Exists(name));
    EXPECT_TRUE(run.Remove(name)) << "a missing entry is no error";
}

TEST(DesktopTest, ListsEveryWindowButReadsOnlyTheVisibleOnesCaptionsBrokenOrNot) {
    const std::string tag = "Seam probe " + std::to_string(GetTickCount()) + " ";
    ProbeWindow visible(tag + "visible"), hidden(tag + "hidden", false), untitled("");
    SetWindowTextW(visible.hwnd(), (Wide(tag) + L"\xD800 Δ").c_str());
    int hiddenOnes = 0, captionless = 0;
    std::vector<std::string> tagged;
    win32::WinDesktop().EnumerateWindows([&](const TopLevelWindow& window) {
        hiddenOnes += !window.visible;
        captionless += window.visible && window.caption.empty();
        if (window.caption.starts_with(tag)) tagged.push_back(window.caption);
    });
    EXPECT_EQ(tagged, std::vector<std::string>{tag + "\xEF\xBF\xBD \xCE\x94"})
        << "a hidden window's is not read";
    EXPECT_GT(hiddenOnes, 0) << "hidden windows are listed as hidden";
    EXPECT_GT(captionless, 0);
}

TEST(DesktopTest, SendsOneAltHomeToTheFocusedWindowAndSeesATap) {
    win32::WinDesktop desktop;
    ProbeWindow probe("Keystroke probe " + std::to_string(GetTickCount()));
    ASSERT_TRUE(probe.Focus());
    ASSERT_TRUE(desktop.SendAltHome());
    EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() == 1; }, 3s));
    desktop.IsKeyPressed(Key::F8);  // forget earlier presses
    TapKey(VK_F8);
    EXPECT_TRUE(WaitUntil([&] { return desktop.IsKeyPressed(Key::F8); }, 2s));
    EXPECT_EQ(win32::WinTextCase().LowerCase("ŽELJEZNICA ΔΊΚΤΥΟ YouTube"), "željeznica δίκτυο youtube");
}

// The store keeps its files beside the executable: here, beside the test.
class Files : public ::testing::Test {
protected:
    void TearDown() override {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path);
        std::filesystem::remove_all(path + L".new");
    }

    static constexpr const char* kName = "quellgate-seam-test-file";
    win32::WinFolderStore files{win32::ExecutableFolder};
    const std::wstring path = Wide(files.PathOf(kName));
};

TEST_F(Files, ReplaceWholeFilesLeavingNoTemporaryBehind) {
    EXPECT_TRUE(std::holds_alternative<FileStore::Missing>(files.Read(kName)));
    std::filesystem::create_directories(path + L".new");  // left by a save cut short
    ASSERT_TRUE(files.Replace(kName, "one\r\n"));
    ASSERT_TRUE(files.Replace(kName, std::string("two\0\r\n", 6)));
    EXPECT_EQ(std::get<std::string>(files.Read(kName)), std::string("two\0\r\n", 6));
    EXPECT_FALSE(std::filesystem::exists(path + L".new"));
    EXPECT_EQ(win32::JoinPath(L"C:\\", L"blocklist"), L"C:\\blocklist") << "at a drive root";
    EXPECT_EQ(win32::JoinPath(L"C:\\Tools", L"blocklist"), L"C:\\Tools\\blocklist");
}

// A folder the account may not write has its files kept where Windows kept
// them for the first release; that folder is made by the first write.
TEST_F(Files, OfAFolderThatMayNotBeWrittenAreKeptInTheAccountsVirtualStore) {
    const std::wstring local = _wgetenv(L"LOCALAPPDATA");
    const std::wstring copy = win32::PerUserCopyOf(L"C:\\Program Files\\Quellgate Seam Test\\");
    EXPECT_EQ(copy, local + L"\\VirtualStore\\Program Files\\Quellgate Seam Test");
    EXPECT_EQ(win32::PerUserCopyOf(L"\\\\server\\share\\Quellgate"), L"") << "none on a network share";
    std::filesystem::remove_all(copy);
    win32::WinFolderStore own([&] { return copy; });
    EXPECT_FALSE(own.Exists(kName));
    ASSERT_TRUE(own.Replace(kName, "kept"));
    EXPECT_EQ(std::get<std::string>(own.Read(kName)), "kept");
    std::filesystem::remove_all(copy);
}

TEST_F(Files, SayWhatCannotBeWrittenOrReadAndKeepTheOldContent) {
    ASSERT_TRUE(files.Replace(kName, "kept"));
    const auto expectKept = [&] { EXPECT_EQ(std::get<std::string>(files.Read(kName)), "kept"); };
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(files.Replace(kName, "lost").reason().empty());
    expectKept();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        // Another program holds the file open without sharing it.
        const win32::UniqueFile locked(
            CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        EXPECT_FALSE(files.Replace(kName, "lost"));
        EXPECT_TRUE(std::holds_alternative<FileStore::Unreadable>(files.Read(kName)));
    }
    expectKept();
    std::filesystem::resize_file(path, FileStore::kLargestFile + 1);
    EXPECT_EQ(std::get<FileStore::Unreadable>(files.Read(kName)).reason, FileStore::kTooLarge);
    std::filesystem::resize_file(path, FileStore::kLargestFile);
    EXPECT_EQ(std::get<std::string>(files.Read(kName)).size(), FileStore::kLargestFile);
    ASSERT_TRUE(files.Replace(kName, "kept"));
    // A temporary file that cannot be cleared away is named.
    std::filesystem::create_directories(path + L".new\\inside");
    EXPECT_NE(files.Replace(kName, "lost").reason().find(".new"), std::string::npos);
    expectKept();
    std::filesystem::remove(path);
    std::filesystem::create_directories(path);
    EXPECT_TRUE(std::holds_alternative<FileStore::Unreadable>(files.Read(kName)));
    EXPECT_FALSE(files.Replace(kName, "x"));
}

}  // namespace
}  // namespace quellgate::testing
