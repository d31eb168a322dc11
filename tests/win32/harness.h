#pragma once

// Drives Quellgate.exe and the desktop from a test process, as a user would:
// probe windows that count the keystrokes they receive, injected keys, and the
// program's own windows and message boxes found by class and caption.

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

// Polls until the condition holds or the deadline passes; never a fixed sleep.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 10s);

// Lets time pass while this thread's messages are served.
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
    // Makes this the foreground window, so that keystrokes reach it.
    bool Focus() const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::thread thread_;
    std::atomic<HWND> window_{nullptr};
    std::atomic<int> altHomes_{0};
};

void TapKey(WORD virtualKey);

// A path as given on the Unix side, as Windows programs under Wine see it.
std::wstring WindowsPath(const std::string& path);

// The Quellgate.exe this build made, as a Windows path.
std::wstring ProgramUnderTest();

std::string WindowTextOf(HWND window);
std::string DialogText(HWND dialog);  // a message box's message
HWND FirstEdit(HWND dialog);
void TypeInto(HWND edit, const std::string& text);
// Presses a button as a click would, without waiting for what it opens.
void PressButton(HWND dialog, int id);

// A copy of Quellgate.exe in a scratch folder of its own, started on demand
// and ended when the object goes.
class Program {
public:
    Program();
    // The Quellgate.exe already in this folder, such as an unpacked release;
    // the folder stays when the object goes.
    explicit Program(std::wstring folder);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::wstring& Folder() const { return folder_; }
    std::wstring BlocklistPath() const { return folder_ + L"\\blocklist"; }

    // Starts it and waits until its splash shows.
    bool Start();
    // Starts another instance of the same copy without waiting for anything.
    PROCESS_INFORMATION StartAnother() const;
    bool Running() const;
    DWORD Id() const { return process_.dwProcessId; }
    void Stop();

    HWND MainWindow() const;
    HWND FindTopWindow(const wchar_t* className, bool visibleOnly = true) const;
    std::vector<HWND> VisibleWindows() const;

    // A visible standard dialog with this caption: an input box (it has an
    // entry field) or a message box (it has none).
    enum class Kind { Any, InputBox, MessageBox };
    HWND WaitForDialog(const std::wstring& caption, std::chrono::milliseconds deadline = 10s,
                       Kind kind = Kind::Any) const;
    // The text of the message box with this caption, once OK has closed it.
    std::string Acknowledge(const std::wstring& caption) const;

    // F5, then the password typed into the prompt, then OK on any warning.
    bool Unlock(const std::string& password = "lotus7391");
    // "Exit Quellgate?" answered with Yes; true once the process has ended.
    bool Exit();

    // A click on a control of the main window, as the mouse would give it.
    void Click(int id) const;
    std::string TextOf(int id) const;
    bool Checked(int id) const;
    std::vector<std::string> Keywords() const;
    std::string ReadBlocklist() const;

private:
    std::wstring folder_;
    bool ownsFolder_ = true;
    PROCESS_INFORMATION process_{};
};

// A visible standard dialog of any process, as Program::WaitForDialog.
HWND WaitForDialogOf(DWORD processId, const std::wstring& caption, std::chrono::milliseconds deadline = 10s,
                     Program::Kind kind = Program::Kind::Any);

// Ends every running Quellgate (Wine itself starts one at session start
// from a logon entry left by an earlier run) and clears the program's
// settings keys and logon entry: before each test and after it.
void ClearStoredState();
// A value as the program reads it, and one stored machine-wide.
std::optional<std::string> StoredSetting(const char* name);
void StoreSetting(const char* name, const std::string& value);
// Lets a settings key be read but not changed, as the machine-wide one is
// for every program a standard user runs; or changed again.
void DenyWrites(const win32::RegistryStore& store);
void AllowWrites(const win32::RegistryStore& store);
std::optional<std::wstring> RunEntry();

}  // namespace quellgate::testing
