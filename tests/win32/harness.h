#pragma once

// Drives Quellgate.exe and the desktop from a process of its own, as a user
// would: probe windows that count the Alt+Home they receive, injected keys,
// and the program's windows and boxes found by class and caption. Built on
// the program's own helpers (window texts, files, registry stores).

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "win32/handles.h"
#include "win32/settings_store.h"
#include "win32/windows_api.h"

namespace quellgate::testing {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls until the condition holds or the time runs out, serving this
// thread's messages meanwhile; never a fixed sleep.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 10s);
void Pump(std::chrono::milliseconds duration);

// A visible top-level window on its own thread that counts Alt+Home.
class ProbeWindow {
public:
    explicit ProbeWindow(const std::string& caption, bool visible = true);
    ~ProbeWindow();
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;

    HWND hwnd() const { return window_; }
    int AltHomes() const { return altHomes_; }
    void ResetCount() { altHomes_ = 0; }
    bool Focus() const;  // makes it the foreground window, so that keystrokes reach it

private:
    std::thread thread_;
    std::atomic<HWND> window_{nullptr};
    std::atomic<int> altHomes_{0};
};

void TapKey(WORD virtualKey);
// A path on the Unix side as Windows programs under Wine see it.
std::wstring WindowsPath(const std::string& path);
HWND FirstEdit(HWND dialog);
void TypeInto(HWND edit, const std::string& text);
void PressButton(HWND dialog, int id);  // as a click would, without waiting for what it opens

// A copy of Quellgate.exe in a scratch folder of its own, started on demand
// and ended, with its folder, with the object.
class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::wstring& Folder() const { return folder_; }
    std::wstring BlocklistPath() const { return folder_ + L"\\blocklist"; }
    std::string ReadBlocklist() const;  // "<missing>" when there is none
    bool Start();                       // and waits for the splash
    PROCESS_INFORMATION StartAnother() const;
    bool Running() const;
    DWORD Id() const { return process_.dwProcessId; }
    void Stop();

    HWND MainWindow() const { return FindTopWindow(L"QuellgateMain", false); }
    HWND FindTopWindow(const wchar_t* className, bool visibleOnly = true) const;
    std::vector<HWND> VisibleWindows() const;
    // A visible standard dialog with this caption: an input box has an entry field, a message box none.
    enum class Kind { Any, InputBox, MessageBox };
    HWND WaitForDialog(const std::wstring& caption, std::chrono::milliseconds deadline = 10s,
                       Kind kind = Kind::Any) const;
    std::string Acknowledge(const std::wstring& caption) const;  // a message's text, once OK closed it
    bool Unlock(const std::string& password = "lotus7391");      // F5, the password, OK on any warning
    bool Exit();                                                 // "Exit Quellgate?" answered Yes

    void Click(int id) const;  // a control of the main window, as the mouse would
    std::string TextOf(int id) const;
    bool Checked(int id) const;
    std::vector<std::string> Keywords() const;

private:
    std::wstring folder_;
    PROCESS_INFORMATION process_{};
};

HWND WaitForDialogOf(DWORD processId, const std::wstring& caption, std::chrono::milliseconds deadline = 10s,
                     Program::Kind kind = Program::Kind::Any);

// Ends every running Quellgate (Wine starts one at session start from a logon
// entry left by an earlier run) and clears the settings keys and the logon entry.
void ClearStoredState();
std::optional<std::string> StoredSetting(const char* name);     // as the program reads it
void StoreSetting(const char* name, const std::string& value);  // machine-wide
// Lets a key be read but not changed, as the machine-wide one is for every
// program a standard account starts; or changed again.
void DenyWrites(const win32::RegistryStore& store);
void AllowWrites(const win32::RegistryStore& store);
std::optional<std::wstring> RunEntry();

}  // namespace quellgate::testing
