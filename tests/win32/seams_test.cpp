// The Windows implementations of the program's seams, against the real system.
#include <gtest/gtest.h>

#include <filesystem>

#include "harness.h"
#include "win32/desktop.h"
#include "win32/file_store.h"
#include "win32/settings_store.h"
#include "win32/start_at_logon.h"
#include "win32/text_case.h"
#include "win32/wide.h"

#include <sddl.h>

namespace quellgate::testing {
namespace {

using win32::Wide;

// The program's own settings key, in the registry view the program uses.
class Registry : public ::testing::Test {
protected:
    void SetUp() override { ClearStoredState(); }
    void TearDown() override {
        AllowSettingsWrites();
        ClearStoredState();
    }

    void Raw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        win32::UniqueKey key;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::WinSettingsStore::kKeyPath, 0, nullptr, 0,
                            KEY_SET_VALUE | win32::WinSettingsStore::kView, nullptr, key.out(), nullptr),
            0);
        ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), 0);
    }

    win32::WinSettingsStore store;
};

TEST_F(Registry, KeepsAbsentApartFromEmptyAndReplaces) {
    EXPECT_EQ(store.Read("A"), std::nullopt) << "no key";
    ASSERT_TRUE(store.Write("A", ""));
    EXPECT_EQ(store.Read("A"), "") << "missing levels were created";
    EXPECT_EQ(store.Read("B"), std::nullopt) << "no value";
    ASSERT_TRUE(store.Write("A", "True"));
    ASSERT_TRUE(store.Write("A", "False"));
    EXPECT_EQ(store.Read("A"), "False");
    ASSERT_TRUE(store.Write("P", "Δίκτυο"));
    EXPECT_EQ(store.Read("P"), "Δίκτυο");
    // Where an earlier 32-bit release kept them, which the message names.
    win32::UniqueKey key;
    EXPECT_EQ(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Korvane\\Status", 0, KEY_READ, key.out()),
        0);
    EXPECT_EQ(store.Location(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Korvane\\Status");
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
    EXPECT_EQ(store.Read("X"), std::nullopt);
    EXPECT_EQ(store.Read("D"), std::nullopt);
    EXPECT_EQ(store.Read("N"), "ab");
    EXPECT_EQ(store.Read("U"), "xyz");
}

TEST_F(Registry, ReportsAWriteTheSystemRefuses) {
    ASSERT_TRUE(store.Write("A", "True"));
    DenySettingsWrites();
    const Outcome written = store.Write("B", "False");
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.reason().empty());
    EXPECT_EQ(store.Read("B"), std::nullopt);
}

TEST(StartAtLogonTest, WritesFindsAndRemovesTheRunValue) {
    win32::WinStartAtLogon run;
    const std::string name = "Quellgate Seam Test";
    run.Remove(name);
    EXPECT_FALSE(run.Exists(name));
    EXPECT_EQ(run.Write(name, "C:\\My Tools\\Quellgate Seam Test.exe").stage,
              StartAtLogon::Result::Stage::Done);
    EXPECT_TRUE(run.Exists(name));
    wchar_t data[MAX_PATH] = {};
    DWORD size = sizeof(data);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, win32::WinStartAtLogon::kRunKeyPath, L"Quellgate Seam Test",
                           RRF_RT_REG_SZ, nullptr, data, &size),
              0);
    EXPECT_STREQ(data, L"\"C:\\My Tools\\Quellgate Seam Test.exe\"") << "quoted, for the blank";
    EXPECT_EQ(win32::RunCommand("C:\\Tools\\q.exe"), "C:\\Tools\\q.exe");
    EXPECT_EQ(run.Remove(name).stage, StartAtLogon::Result::Stage::Done);
    EXPECT_FALSE(run.Exists(name));
    EXPECT_EQ(run.Remove(name).stage, StartAtLogon::Result::Stage::Done) << "a missing entry is no error";
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
    ProbeWindow untitled("");
    SetWindowTextW(hidden.hwnd(), Wide(tag + "hidden").c_str());
    const auto found = Listed(tag);
    ASSERT_EQ(found.size(), 1u) << "a hidden window's caption is not read";
    EXPECT_EQ(found[0].caption, tag + "visible");
    EXPECT_TRUE(found[0].visible);
    int hiddenOnes = 0, captionless = 0;
    desktop.EnumerateWindows([&](const TopLevelWindow& window) {
        hiddenOnes += !window.visible;
        captionless += window.visible && window.caption.empty();
    });
    EXPECT_GT(hiddenOnes, 0) << "hidden windows are listed as hidden";
    EXPECT_GT(captionless, 0);
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

// The store keeps its files beside the executable: here, beside the test.
class Files : public ::testing::Test {
protected:
    void TearDown() override {
        SetFileAttributesW(Path(kName).c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(Path(kName));
        std::filesystem::remove_all(Path(kName) + L".new");
    }
    static std::wstring Path(const char* name) { return Wide(win32::WinFileStore().PathOf(name)); }

    static constexpr const char* kName = "quellgate-seam-test-file";
    win32::WinFileStore files;
};

TEST_F(Files, ReplacesWholeFilesBesideTheProgramAndLeavesNoTemporaryBehind) {
    EXPECT_TRUE(std::holds_alternative<FileStore::Missing>(files.Read(kName)));
    std::filesystem::create_directories(Path(kName) + L".new");  // left by a save cut short
    ASSERT_TRUE(files.Replace(kName, "one\r\n"));
    ASSERT_TRUE(files.Replace(kName, std::string("two\0\r\n", 6)));
    EXPECT_EQ(std::get<std::string>(files.Read(kName)), std::string("two\0\r\n", 6));
    EXPECT_FALSE(std::filesystem::exists(Path(kName) + L".new"));
    EXPECT_EQ(win32::JoinPath(L"C:\\", L"blocklist"), L"C:\\blocklist") << "at a drive root";
    EXPECT_EQ(win32::JoinPath(L"C:\\Tools", L"blocklist"), L"C:\\Tools\\blocklist");
}

TEST_F(Files, ReportsWhatCannotBeWrittenOrReadAndKeepsTheOldContent) {
    ASSERT_TRUE(files.Replace(kName, "kept"));
    SetFileAttributesW(Path(kName).c_str(), FILE_ATTRIBUTE_READONLY);
    const Outcome readOnly = files.Replace(kName, "lost");
    EXPECT_FALSE(readOnly);
    EXPECT_FALSE(readOnly.reason().empty());
    EXPECT_EQ(std::get<std::string>(files.Read(kName)), "kept");
    SetFileAttributesW(Path(kName).c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        // Another program holds the file open without sharing it.
        win32::UniqueFile locked(
            CreateFileW(Path(kName).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        EXPECT_FALSE(files.Replace(kName, "lost"));
        EXPECT_TRUE(std::holds_alternative<FileStore::Unreadable>(files.Read(kName)));
    }
    EXPECT_EQ(std::get<std::string>(files.Read(kName)), "kept");
    // A temporary file that cannot be cleared away is named.
    std::filesystem::create_directories(Path(kName) + L".new\\inside");
    const Outcome blocked = files.Replace(kName, "lost");
    EXPECT_NE(blocked.reason().find(".new"), std::string::npos) << blocked.reason();
    EXPECT_EQ(std::get<std::string>(files.Read(kName)), "kept");

    std::filesystem::remove(Path(kName));
    std::filesystem::create_directories(Path(kName));
    EXPECT_TRUE(std::holds_alternative<FileStore::Unreadable>(files.Read(kName)));
    EXPECT_FALSE(files.Replace(kName, "x"));
}

}  // namespace
}  // namespace quellgate::testing
