#pragma once

// Drives Quellgate.exe and the desktop from a process of its own, as a user
// would: probe windows that count the Alt+Home they receive, injected keys,
// and the program's windows and boxes. Built on the program's own helpers
// (window texts, the file store, the registry stores).

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/shadowed_stores.h"
#include "shell/window_layout.h"
#include "win32/file_store.h"
#include "win32/handles.h"
#include "win32/settings_store.h"
#include "win32/start_at_logon.h"
#include "win32/wide.h"
#include "win32/window_text.h"

#include <sddl.h>

namespace quellgate::testing {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls until the condition holds or the time runs out, serving this
// thread's messages meanwhile.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 10s) {
    const auto end = Clock::now() + deadline;
    while (!condition()) {
        if (Clock::now() > end) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// A visible top-level window that counts the Alt+Home it receives while this
// thread serves its messages (WaitUntil does).
class ProbeWindow {
public:
    explicit ProbeWindow(const std::string& caption, bool visible = true) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuellgateTestProbe";
        RegisterClassW(&windowClass);
        window_.reset(CreateWindowExW(0, windowClass.lpszClassName, win32::Wide(caption).c_str(),
                                      WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 40, 40, 320, 200,
                                      nullptr, nullptr, windowClass.hInstance, nullptr));
        SetWindowLongPtrW(hwnd(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&altHomes_));
    }

    HWND hwnd() const { return window_.get(); }
    int AltHomes() const { return altHomes_; }
    // Makes it the foreground window, so that keystrokes reach it.
    bool Focus() const {
        return WaitUntil([this] { return SetForegroundWindow(hwnd()), GetForegroundWindow() == hwnd(); }, 3s);
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SYSKEYDOWN && wParam == VK_HOME && (lParam & (1 << 29)))
            ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR)
            return 0;  // Alt must not open the system menu
        return DefWindowProcW(window, message, wParam, lParam);
    }

    win32::UniqueWindow window_;
    int altHomes_ = 0;
};

inline void TapKey(WORD virtualKey) {
    INPUT keys[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

// The build's Quellgate.exe, which CTest names by its Unix path, as Windows
// programs under Wine see it: on drive Z:.
inline std::wstring BuiltProgram() {
    std::wstring path = win32::Wide(std::getenv("QUELLGATE_EXE"));
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return L"Z:" + path;
}

inline HWND EditOf(HWND box) { return FindWindowExW(box, nullptr, L"Edit", nullptr); }
inline void TypeInto(HWND edit, const std::string& text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(win32::Wide(text).c_str()));
}
// As a click would, without waiting for what it opens.
inline void PressButton(HWND box, int id) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}
inline std::string MessageOf(HWND box) { return win32::WindowText(GetDlgItem(box, 0xFFFF)); }

// The top-level windows of that process, of that class or all.
inline std::vector<HWND> TopWindowsOf(DWORD processId, const wchar_t* className = nullptr) {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) found.push_back(window);
    }
    return found;
}

// A visible standard box captioned "Quellgate" of that process: an input box
// has an entry field, a message box none.
enum class Box { Any, Input, Message };
inline HWND WaitForBox(DWORD processId, Box kind = Box::Any, std::chrono::milliseconds deadline = 10s) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOf(processId, L"#32770"))
                // Visible only once its WM_INITDIALOG has run.
                if (IsWindowVisible(window) && win32::WindowText(window) == "Quellgate" &&
                    (kind == Box::Any || (kind == Box::Input) == (EditOf(window) != nullptr)))
                    return (found = window) != nullptr;
            return false;
        },
        deadline);
    return found;
}

// A copy of Quellgate.exe in a scratch folder of its own, started on demand
// and ended, with its folder, with the object.
class Program {
public:
    Program() {
        static int count = 0;
        folder_ = std::filesystem::temp_directory_path() /
                  ("quellgate-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::copy_file(BuiltProgram(), folder_ / "Quellgate.exe");
    }
    ~Program() {
        Stop();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path BlocklistPath() const { return folder_ / "blocklist"; }
    std::string ReadBlocklist() const {  // "<missing>" when there is none
        const auto read = win32::WinFolderStore([this] { return folder_.wstring(); }).Read("blocklist");
        const auto* content = std::get_if<std::string>(&read);
        return content ? *content : "<missing>";
    }
    // Starts a copy and waits for its splash; a cold Wine on a busy machine can take seconds.
    bool Start() {
        process_ = StartAnother();
        return process_.hProcess && WaitUntil([this] { return Window(L"QuellgateSplash") != nullptr; }, 30s);
    }
    PROCESS_INFORMATION StartAnother() const {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        std::wstring commandLine = L"\"" + (folder_ / "Quellgate.exe").wstring() + L"\"";
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                       &startup, &process);
        if (process.hThread) CloseHandle(process.hThread);
        return process;
    }
    bool Running() const {
        return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
    }
    DWORD Id() const { return process_.dwProcessId; }
    void Stop() {
        if (!process_.hProcess) return;
        if (Running()) TerminateProcess(process_.hProcess, 1), WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hProcess);
        process_ = {};
    }

    HWND Window(const wchar_t* className, bool visibleOnly = true) const {
        for (HWND window : TopWindowsOf(Id(), className))
            if (!visibleOnly || IsWindowVisible(window)) return window;
        return nullptr;
    }
    HWND MainWindow() const { return Window(L"QuellgateMain", false); }
    bool MainShown() const { return IsWindowVisible(MainWindow()); }
    std::vector<HWND> VisibleWindows() const {
        std::vector<HWND> visible = TopWindowsOf(Id());
        std::erase_if(visible, [](HWND window) { return !IsWindowVisible(window); });
        return visible;
    }
    HWND WaitForBox(Box kind = Box::Any, std::chrono::milliseconds deadline = 10s) const {
        return testing::WaitForBox(Id(), kind, deadline);
    }
    // A message's text, once OK closed it.
    std::string Acknowledge() const {
        HWND box = WaitForBox(Box::Message);
        if (!box) return "<no message>";
        const std::string text = MessageOf(box);
        PressButton(box, IDOK);
        WaitUntil([&] { return !IsWindow(box); }, 3s);
        return text;
    }
    // F5's prompt, or the add button's, answered.
    bool Answer(bool masked, const std::string& text) const {
        masked ? TapKey(VK_F5) : Click(layout::kAddButton);
        HWND prompt = WaitForBox(Box::Input);
        if (!prompt || SendMessageW(EditOf(prompt), EM_GETPASSWORDCHAR, 0, 0) != (masked ? '*' : 0))
            return false;
        TypeInto(EditOf(prompt), text);
        PressButton(prompt, IDOK);
        return WaitUntil([&] { return !IsWindow(prompt); }, 5s);
    }
    // F5, the password, OK on any warning.
    bool Unlock(const std::string& password = "lotus7391") const {
        return Answer(true, password) && WaitUntil([&] {
                   if (HWND warning = WaitForBox(Box::Message, 0ms)) PressButton(warning, IDOK);
                   return MainShown();
               });
    }
    // "Exit Quellgate?" answered Yes.
    bool Exit() const {
        PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
        HWND question = WaitForBox(Box::Message);
        if (!question || MessageOf(question) != "Exit Quellgate?") return false;
        PressButton(question, IDYES);
        return WaitUntil([this] { return !Running(); });
    }
    // A control of the main window, as the mouse would.
    void Click(int id) const { PostMessageW(GetDlgItem(MainWindow(), id), BM_CLICK, 0, 0); }

private:
    std::filesystem::path folder_;
    PROCESS_INFORMATION process_{};
};

// Lets a key be read but not changed, as the machine-wide one is for every
// program a standard account starts; or changed again.
inline void SetDacl(const win32::RegistryStore& store, const wchar_t* sddl) {
    win32::UniqueKey key;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (RegCreateKeyExW(store.Root(), store.Path(), 0, nullptr, 0, WRITE_DAC | store.View(), nullptr,
                        key.out(), nullptr) == 0 &&
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
}
inline void DenyWrites(const win32::RegistryStore& store) {
    SetDacl(store, L"D:P(A;;KR;;;WD)(A;;SDWD;;;WD)");
}
inline void AllowWrites(const win32::RegistryStore& store) { SetDacl(store, L"D:P(A;;KA;;;WD)"); }

// Clears the settings keys and the logon entry. (tools/with-wine.sh removes
// the logon entry before the session starts, so no copy starts with it.)
inline void ClearStoredState() {
    for (const win32::RegistryStore& store : {win32::MachineSettings(), win32::OwnSettings()}) {
        AllowWrites(store);
        const std::wstring path = store.Path();
        win32::UniqueKey parent;
        if (RegOpenKeyExW(store.Root(), path.substr(0, path.find(L"\\Korvane")).c_str(), 0,
                          KEY_ALL_ACCESS | store.View(), parent.out()) == 0)
            RegDeleteTreeW(parent.get(), L"Korvane");
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, win32::WinStartAtLogon::kRunKeyPath, L"Quellgate");
}

// A setting as the program reads it.
inline std::optional<std::string> StoredSetting(const char* name) {
    win32::RegistryStore machine = win32::MachineSettings(), own = win32::OwnSettings();
    return ShadowedSettings(machine, own).Read(name);
}

}  // namespace quellgate::testing
