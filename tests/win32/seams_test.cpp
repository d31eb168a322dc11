// The Windows implementations of the program's seams, against the real system.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "harness.h"
#include "win32/registry.h"
#include "win32/system.h"
#include "win32/wide.h"

#include <sddl.h>

namespace quellgate::testing {
namespace {

using win32::Wide;

constexpr const char* kTestKey = "Software\\Quellgate Tests\\Store";

class Registry : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quellgate Tests"); }

    void Raw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        win32::UniqueKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(kTestKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  key.out(), nullptr),
                  0);
        ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), 0);
    }
    std::optional<std::string> Get(const char* name) {
        return store.GetString(SettingsRoot::CurrentUser, kTestKey, name);
    }

    win32::RegistryStore store;
};

TEST_F(Registry, KeepsAbsentApartFromEmptyAndReplaces) {
    EXPECT_EQ(Get("A"), std::nullopt) << "no key";
    ASSERT_TRUE(store.SaveString(SettingsRoot::CurrentUser, kTestKey, "A", ""));
    EXPECT_EQ(Get("A"), "") << "missing levels were created";
    EXPECT_EQ(Get("B"), std::nullopt) << "no value";
    ASSERT_TRUE(store.SaveString(SettingsRoot::CurrentUser, kTestKey, "A", "True"));
    ASSERT_TRUE(store.SaveString(SettingsRoot::CurrentUser, kTestKey, "A", "False"));
    EXPECT_EQ(Get("A"), "False");
    ASSERT_TRUE(store.SaveString(SettingsRoot::CurrentUser, kTestKey, "P", "Δίκτυο"));
    EXPECT_EQ(Get("P"), "Δίκτυο");
}

TEST_F(Registry, ReadsOnlyPlainStringsAndCutsAtNul) {
    const wchar_t expand[] = L"%TEMP%";
    Raw(L"X", REG_EXPAND_SZ, expand, sizeof(expand));
    const DWORD number = 1;
    Raw(L"D", REG_DWORD, &number, sizeof(number));
    const wchar_t withNul[] = L"ab\0cd";
    Raw(L"N", REG_SZ, withNul, sizeof(withNul));
    const wchar_t unterminated[] = {L'x', L'y', L'z'};
    Raw(L"U", REG_SZ, unterminated, sizeof(unterminated));
    EXPECT_EQ(Get("X"), std::nullopt);
    EXPECT_EQ(Get("D"), std::nullopt);
    EXPECT_EQ(Get("N"), "ab");
    EXPECT_EQ(Get("U"), "xyz");
}

TEST_F(Registry, ReportsAWriteTheSystemRefuses) {
    ASSERT_TRUE(store.SaveString(SettingsRoot::CurrentUser, kTestKey, "A", "True"));
    {
        win32::UniqueKey key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kTestKey).c_str(), 0, WRITE_DAC, key.out()), 0);
        // Everyone may read and delete the key, nobody may set a value.
        PSECURITY_DESCRIPTOR denyWrite = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)(A;;SD;;;WD)",
                                                                          SDDL_REVISION_1, &denyWrite, nullptr));
        ASSERT_EQ(RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, denyWrite), 0);
        LocalFree(denyWrite);
    }
    const Outcome written = store.SaveString(SettingsRoot::CurrentUser, kTestKey, "A", "False");
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.reason().empty());
    EXPECT_EQ(Get("A"), "True");
}

TEST(RunKeyTest, WritesFindsAndRemovesTheEntry) {
    win32::RunKey run;
    const std::string name = "Quellgate Seam Test";
    run.Remove(name);
    EXPECT_FALSE(run.Exists(name));
    EXPECT_EQ(run.Write(name, "\"C:\\My Tools\\Quellgate Seam Test.exe\"").stage, Autostart::Result::Stage::Done);
    EXPECT_TRUE(run.Exists(name));
    EXPECT_EQ(run.Remove(name).stage, Autostart::Result::Stage::Done);
    EXPECT_FALSE(run.Exists(name));
    EXPECT_EQ(run.Remove(name).stage, Autostart::Result::Stage::Done) << "a missing entry is no error";
}

class DesktopTest : public ::testing::Test {
protected:
    std::vector<TopLevelWindow> Listed(const std::string& prefix) {
        std::vector<TopLevelWindow> found;
        desktop.EnumerateWindows([&](const TopLevelWindow& window) {
            if (window.caption.rfind(prefix, 0) == 0) found.push_back(window);
        });
        return found;
    }
    win32::WinDesktop desktop;
};

TEST_F(DesktopTest, ListsEveryWindowWithItsVisibilityAndTheVisibleOnesCaptions) {
    const std::string tag = "Seam probe " + std::to_string(GetTickCount()) + " ";
    ProbeWindow visible(tag + "visible");
    ProbeWindow hidden(tag + "hidden", false);
    ProbeWindow captionless("");
    std::map<HWND, TopLevelWindow> seen;
    desktop.EnumerateWindows(
        [&](const TopLevelWindow& window) { seen[reinterpret_cast<HWND>(window.handle)] = window; });
    ASSERT_EQ(seen.count(visible.hwnd()), 1u);
    EXPECT_EQ(seen[visible.hwnd()].caption, tag + "visible");
    EXPECT_TRUE(seen[visible.hwnd()].visible);
    ASSERT_EQ(seen.count(hidden.hwnd()), 1u);
    EXPECT_FALSE(seen[hidden.hwnd()].visible);
    ASSERT_EQ(seen.count(captionless.hwnd()), 1u);
    EXPECT_EQ(seen[captionless.hwnd()].caption, "");
}

TEST_F(DesktopTest, ReadsACaptionWithBrokenUtf16) {
    const std::string tag = "Broken " + std::to_string(GetTickCount());
    ProbeWindow probe(tag);
    const std::wstring broken = Wide(tag) + L" \xD800 Δ";
    SetWindowTextW(probe.hwnd(), broken.c_str());
    const auto found = Listed(tag);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].caption, tag + " \xEF\xBF\xBD \xCE\x94");
}

TEST_F(DesktopTest, SendsOneAltHomeToTheFocusedWindowAndSeesKeys) {
    ProbeWindow probe("Keystroke probe " + std::to_string(GetTickCount()));
    ASSERT_TRUE(probe.Focus());
    ASSERT_TRUE(desktop.SendAltHome());
    EXPECT_TRUE(WaitUntil([&] { return probe.AltHomes() == 1; }, 3s));
    Pump(200ms);
    EXPECT_EQ(probe.AltHomes(), 1);

    desktop.IsKeyPressed(Key::F8);  // forget earlier presses
    TapKey(VK_F8);
    EXPECT_TRUE(WaitUntil([&] { return desktop.IsKeyPressed(Key::F8); }, 2s));
}

TEST(TextCaseTest, LowerCasesBeyondAscii) {
    EXPECT_EQ(win32::WinTextCase().LowerCase("ŽELJEZNICA ΔΊΚΤΥΟ YouTube"), "željeznica δίκτυο youtube");
}

class Files : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override {
        SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(folder);
    }

    std::string folder = std::filesystem::temp_directory_path().string() + "quellgate-files-" +
                         std::to_string(GetCurrentProcessId());
    std::string path = folder + "\\blocklist";
    win32::WinFileStore files;
};

TEST_F(Files, ReplacesWholeFilesAndLeavesNoTemporaryBehind) {
    EXPECT_TRUE(std::holds_alternative<FileStore::Missing>(files.Read(path)));
    ASSERT_TRUE(files.Replace(path, "one\r\n"));
    ASSERT_TRUE(files.Replace(path, std::string("two\0\r\n", 6)));
    EXPECT_EQ(std::get<std::string>(files.Read(path)), std::string("two\0\r\n", 6));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

TEST_F(Files, ReportsWhatCannotBeWrittenOrReadAndKeepsTheOldContent) {
    ASSERT_TRUE(files.Replace(path, "kept"));
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
    const Outcome readOnly = files.Replace(path, "lost");
    EXPECT_FALSE(readOnly);
    EXPECT_FALSE(readOnly.reason().empty());
    EXPECT_EQ(std::get<std::string>(files.Read(path)), "kept");
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);

    {
        // Another program holds the file open without sharing it.
        win32::UniqueFile locked(
            CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        EXPECT_FALSE(files.Replace(path, "lost"));
        EXPECT_TRUE(std::holds_alternative<FileStore::Unreadable>(files.Read(path)));
    }
    EXPECT_EQ(std::get<std::string>(files.Read(path)), "kept");

    const std::string folderPath = folder + "\\a folder";
    std::filesystem::create_directories(folderPath);
    EXPECT_TRUE(std::holds_alternative<FileStore::Unreadable>(files.Read(folderPath)));
    EXPECT_FALSE(files.Replace(folderPath, "x"));
}

}  // namespace
}  // namespace quellgate::testing
