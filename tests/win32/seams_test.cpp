// The Windows implementations of the program's seams, against the real system:
// the registry and its views and access rules, the Run key, the window list,
// keystrokes, and the files beside the program.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "harness.h"
#include "win32/desktop.h"
#include "win32/text_case.h"

using namespace quellgate;
using namespace quellgate::testing;

class Registry : public ::testing::Test {
protected:
    void SetUp() override { ClearStoredState(); }
    void TearDown() override { ClearStoredState(); }

    win32::RegistryStore store = win32::MachineSettings(), own = win32::OwnSettings();
};

TEST_F(Registry, KeepsPlainStringsWhereEarlierReleasesKeptThemAbsentApartFromEmpty) {
    EXPECT_EQ(store.Read("A"), std::nullopt) << "no key";
    ASSERT_TRUE(store.Write("A", ""));
    EXPECT_EQ(store.Read("A"), "") << "missing levels were created";
    EXPECT_EQ(store.Read("B"), std::nullopt) << "no value";
    ASSERT_TRUE(store.Write("P", "Δίκτυο"));
    EXPECT_EQ(store.Read("P"), "Δίκτυο");
    win32::UniqueKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Korvane\\Status", 0, KEY_ALL_ACCESS,
                            key.out()),
              0);
    const wchar_t expand[] = L"%TEMP%", withNul[] = L"ab\0cd", unterminated[] = {L'x', L'y', L'z'};
    const DWORD number = 1;
    struct Case {
        const wchar_t* name;
        DWORD type;
        const void* data;
        DWORD size;
        std::optional<std::string> read;
    };
    for (const Case& c : {Case{L"X", REG_EXPAND_SZ, expand, sizeof expand, std::nullopt},
                          Case{L"D", REG_DWORD, &number, sizeof number, std::nullopt},
                          Case{L"N", REG_SZ, withNul, sizeof withNul, "ab"},
                          Case{L"U", REG_SZ, unterminated, sizeof unterminated, "xyz"}}) {
        RegSetValueExW(key.get(), c.name, 0, c.type, static_cast<const BYTE*>(c.data), c.size);
        EXPECT_EQ(store.Read(win32::Narrow(c.name)), c.read);
        EXPECT_TRUE(store.Holds(win32::Narrow(c.name))) << "there all the same";
    }
}

// As a standard account: the machine-wide key may be read, not written, and
// the account's own copy is kept where Windows kept it for the first release.
TEST_F(Registry, AnAccountThatMayNotWriteTheMachineKeyIsRefusedAndKeepsACopyOfItsOwn) {
    ASSERT_TRUE(store.Write("A", "False"));
    DenyWrites(store);
    EXPECT_TRUE(store.Write("A", "True").refused());
    EXPECT_EQ(store.Read("A"), "False");
    ASSERT_TRUE(own.Write("A", "True"));
    win32::UniqueKey copy;
    EXPECT_EQ(
        RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\Korvane\\Status", 0,
                      KEY_READ, copy.out()),
        0);
}

TEST(StartAtLogonTest, WritesFindsAndRemovesTheRunValueQuoted) {
    win32::WinStartAtLogon run;
    const std::string name = "Quellgate Seam Test";
    run.Remove(name);
    EXPECT_FALSE(run.Exists(name));
    EXPECT_TRUE(run.Write(name, "C:\\My Tools\\Quellgate Seam Test.exe"));
    wchar_t data[MAX_PATH] = {};
    DWORD size = sizeof(data);
    RegGetValueW(HKEY_CURRENT_USER, win32::WinStartAtLogon::kRunKeyPath, L"Quellgate Seam Test",
                 RRF_RT_REG_SZ, nullptr, data, &size);
    EXPECT_STREQ(data, L"\"C:\\My Tools\\Quellgate Seam Test.exe\"") << "quoted, for the blank";
    EXPECT_TRUE(run.Exists(name));
    EXPECT_TRUE(run.Remove(name));
    EXPECT_FALSE(run.Exists(name));
    EXPECT_TRUE(run.Remove(name)) << "a missing entry is no error";
}

// What a low-level keyboard hook sees of the keys `send` sends, as a program
// on Windows sees them before they reach any window. The hook runs on a thread
// of its own, which serves it with a message loop.
struct Stroke {
    DWORD key, scan;
    bool up, extended;
    bool operator==(const Stroke&) const = default;
};
static std::vector<Stroke> Hooked(const std::function<void()>& send, std::size_t count) {
    static thread_local std::vector<Stroke>* recording = nullptr;
    std::vector<Stroke> strokes;
    std::atomic<std::size_t> seen = 0;
    std::atomic<DWORD> hooking = 0;
    std::thread thread([&] {
        recording = &strokes;
        const HHOOK hook = SetWindowsHookExW(
            WH_KEYBOARD_LL,
            [](int code, WPARAM wParam, LPARAM lParam) {
                const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
                if (code == HC_ACTION)
                    recording->push_back({key.vkCode, key.scanCode, (key.flags & LLKHF_UP) != 0,
                                          (key.flags & LLKHF_EXTENDED) != 0});
                return CallNextHookEx(nullptr, code, wParam, lParam);
            },
            GetModuleHandleW(nullptr), 0);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue WM_QUIT comes to
        hooking = GetCurrentThreadId();
        while (GetMessageW(&message, nullptr, 0, 0) > 0) seen = strokes.size();  // woken by each WM_NULL
        UnhookWindowsHookEx(hook);
    });
    WaitUntil([&] { return hooking != 0; });
    send();
    WaitUntil([&] { return PostThreadMessageW(hooking, WM_NULL, 0, 0) && seen >= count; }, 3s);
    PostThreadMessageW(hooking, WM_QUIT, 0, 0);
    thread.join();
    return strokes;
}

TEST(DesktopTest, ListsVisibleWindowsCaptionsReadsNoHiddenOneAndSendsAltHomeToTheFocusedOne) {
    const std::string tag = "Seam probe " + std::to_string(GetTickCount()) + " ";
    ProbeWindow visible(tag + "visible"), hidden(tag + "hidden", false);
    SetWindowTextW(visible.hwnd(), (win32::Wide(tag + "Δ 😀") + L" \xD800").c_str());
    std::vector<std::string> tagged;
    win32::WinDesktop desktop;
    desktop.EnumerateWindows([&](const TopLevelWindow& window) {
        if (window.caption.starts_with(tag)) tagged.push_back(window.caption);
    });
    EXPECT_EQ(tagged, std::vector<std::string>{tag + "Δ 😀 \xEF\xBF\xBD"}) << "a hidden window's is not read";
    ASSERT_TRUE(visible.Focus());
    // Alt, then Home as the navigation key (extended: E0 47), not the keypad's
    // 7 (47 alone), which Windows turns into a digit while Num Lock is on.
    // Windows may name the left Alt.
    std::vector<Stroke> strokes = Hooked([&] { ASSERT_TRUE(desktop.SendAltHome()); }, 4);
    EXPECT_TRUE(WaitUntil([&] { return visible.AltHomes() == 1; }, 3s));
    for (Stroke& stroke : strokes)
        if (stroke.key == VK_LMENU) stroke.key = VK_MENU;
    EXPECT_EQ(strokes, (std::vector<Stroke>{{VK_MENU, 0x38, false, false},
                                            {VK_HOME, 0x47, false, true},
                                            {VK_HOME, 0x47, true, true},
                                            {VK_MENU, 0x38, true, false}}));
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
    std::string Content() const {
        const auto read = files.Read(kName);
        if (const auto* content = std::get_if<std::string>(&read)) return *content;
        return std::holds_alternative<FileStore::Missing>(read)
                   ? "missing"
                   : std::get<FileStore::Unreadable>(read).reason;
    }

    static constexpr const char* kName = "quellgate-seam-test-file";
    win32::WinFolderStore files{win32::ExecutableFolder};
    const std::wstring path = win32::Wide(files.PathOf(kName));
};

TEST_F(Files, ReplaceWholeFilesAndSayWhatCannotBeWrittenOrReadKeepingTheOldContent) {
    EXPECT_EQ(Content(), "missing");
    std::filesystem::create_directories(path + L".new");  // left by a save cut short
    ASSERT_TRUE(files.Replace(kName, std::string("old\0\r\n", 6)));
    EXPECT_EQ(Content(), std::string("old\0\r\n", 6));
    EXPECT_FALSE(std::filesystem::exists(path + L".new"));
    EXPECT_EQ(win32::JoinPath(L"C:\\", L"blocklist"), L"C:\\blocklist") << "at a drive root";
    struct Case {
        const char* what;
        std::function<void()> spoil, mend;
        bool readable;
    };
    win32::UniqueFile locked;
    const auto attributes = [&](DWORD set) { return [&, set] { SetFileAttributesW(path.c_str(), set); }; };
    for (const Case& c : {
             Case{"read-only", attributes(FILE_ATTRIBUTE_READONLY), attributes(FILE_ATTRIBUTE_NORMAL), true},
             Case{"held open unshared",
                  [&] {
                      locked.reset(
                          CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                  },
                  [&] { locked.reset(); }, false},
             Case{"a temporary that cannot be cleared away",
                  [&] { std::filesystem::create_directories(path + L".new\\inside"); },
                  [&] { std::filesystem::remove_all(path + L".new"); }, true},
         }) {
        SCOPED_TRACE(c.what);
        c.spoil();
        const Outcome lost = files.Replace(kName, "lost");
        EXPECT_FALSE(lost.reason().empty());
        EXPECT_FALSE(lost.refused()) << "nothing for another place to take";
        EXPECT_EQ(Content() == std::string("old\0\r\n", 6), c.readable);
        c.mend();
        EXPECT_EQ(Content(), std::string("old\0\r\n", 6));
    }
    std::filesystem::resize_file(path, FileStore::kLargestFile + 1);
    EXPECT_EQ(Content(), FileStore::kTooLarge);
    std::filesystem::resize_file(path, FileStore::kLargestFile);
    EXPECT_EQ(Content().size(), FileStore::kLargestFile);
    std::filesystem::remove(path);
    std::filesystem::create_directories(path);
    EXPECT_FALSE(files.Replace(kName, "x"));
    EXPECT_EQ(Content(), "a folder has taken the file's name");
}

// A folder the account may not write has its files kept where Windows kept
// them for the first release; that folder is made by the first write.
TEST_F(Files, OfAFolderThatMayNotBeWrittenAreKeptInTheAccountsVirtualStore) {
    const std::wstring copy = win32::PerUserCopyOf(L"C:\\Program Files\\Quellgate Seam Test\\");
    EXPECT_EQ(copy, std::wstring(_wgetenv(L"LOCALAPPDATA")) +
                        L"\\VirtualStore\\Program Files\\Quellgate Seam Test");
    EXPECT_EQ(win32::PerUserCopyOf(L"\\\\server\\share\\Quellgate"), L"") << "none on a network share";
    std::filesystem::remove_all(copy);
    win32::WinFolderStore own([&] { return copy; });
    EXPECT_FALSE(own.Exists(kName));
    ASSERT_TRUE(own.Replace(kName, "kept"));
    EXPECT_EQ(std::get<std::string>(own.Read(kName)), "kept");
    std::filesystem::remove_all(copy);
}
