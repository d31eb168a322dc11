// Walks Quellgate through the states worth a picture, for tools/screenshot.sh.
// At each state it prints "SHOT <name>" and waits for a line on stdin, which
// the grabber sends once it has the screen. Only the windows a picture is
// about are on screen when it is taken. Any step that does not reach its
// state prints "FAILED <why>" and ends with 1: a picture of the wrong state
// is worse than none.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "blocklist/blocklist_file.h"
#include "harness.h"
#include "shell/window_layout.h"
#include "shown_keywords.h"
#include "win32/resource_ids.h"
#include "win32/wide.h"
#include "win32/window_text.h"

#include <tlhelp32.h>  // after the Windows headers, which it needs

namespace {

using namespace quellgate::testing;
namespace win32 = quellgate::win32;

using namespace quellgate::layout;

const std::vector<std::string> kCustomKeywords = {"celebrity gossip", "online poker"};

struct Failure {
    std::string why;
};

void Require(bool condition, const std::string& why) {
    if (!condition) throw Failure{why};
}

// Holds every thread of a process still, so that a window that animates
// stays as it is while the screen is grabbed. Resumes them when it goes.
class HeldStill {
public:
    explicit HeldStill(DWORD processId) {
        // A snapshot, like a file, is invalid as INVALID_HANDLE_VALUE.
        win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        if (!snapshot) return;
        THREADENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Thread32First(snapshot.get(), &entry); more;
             more = Thread32Next(snapshot.get(), &entry)) {
            if (entry.th32OwnerProcessID != processId) continue;
            win32::UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
            if (thread && SuspendThread(thread.get()) != static_cast<DWORD>(-1))
                held_.push_back(std::move(thread));
        }
    }
    ~HeldStill() {
        for (const auto& thread : held_) ResumeThread(thread.get());
    }
    HeldStill(const HeldStill&) = delete;
    HeldStill& operator=(const HeldStill&) = delete;

    bool Holding() const { return !held_.empty(); }

private:
    std::vector<win32::UniqueHandle> held_;
};

// No part of the window or its controls waits to be painted.
bool Painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetUpdateRect(child, nullptr, FALSE)) return false;
    return true;
}

std::string ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return win32::Narrow(name);
}

// Exactly these windows of the program are on screen, fully drawn: nothing
// left over from an earlier step (a message box, a tooltip) gets into the
// picture, and nothing is caught half painted.
void ShowOnly(const Program& program, const std::set<HWND>& wanted, const std::string& step) {
    const bool alone = WaitUntil(
        [&] {
            const auto visible = program.VisibleWindows();
            return std::set<HWND>(visible.begin(), visible.end()) == wanted;
        },
        5s);
    if (!alone) {
        std::string seen;
        for (HWND window : program.VisibleWindows())
            seen.append(" ")
                .append(ClassName(window))
                .append(" \"")
                .append(win32::WindowText(window))
                .append("\"");
        throw Failure{step + ": the windows on screen are" + seen};
    }
    for (HWND window : wanted) {
        Require(WaitUntil([&] { return Painted(window); }, 5s), step + ": a window was never painted");
        // Answered once its thread is back in its message loop, which is
        // where Wine hands what was drawn to the X server.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    }
}

// Tells the grabber the screen is ready and waits until it has the picture.
void Shot(const char* name) {
    std::printf("SHOT %s\n", name);
    std::fflush(stdout);
    std::string answer;
    Require(static_cast<bool>(std::getline(std::cin, answer)), std::string("no answer after shot ") + name);
}

void WriteBlocklist(const Program& program) {
    std::ofstream file(program.BlocklistPath(), std::ios::binary | std::ios::trunc);
    file << quellgate::EncodeBlocklist(kCustomKeywords);
    Require(static_cast<bool>(file.flush()), "cannot write the blocklist file");
}

HWND WaitVisible(const Program& program, const wchar_t* className, const std::string& what) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = program.Window(className)) != nullptr; });
    Require(found != nullptr, what + " did not show");
    return found;
}

void WaitHidden(HWND window, const std::string& what) {
    Require(WaitUntil([&] { return !IsWindowVisible(window); }, 5s), what + " did not hide");
}

void Tour(Program& program) {
    ClearStoredState();
    win32::MachineSettings().Write("B", "True");  // twitter
    win32::MachineSettings().Write("E", "True");  // youtube
    WriteBlocklist(program);
    // Out of the way, so that no control shows its hover state or tooltip.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);

    Require(program.Start(), "Quellgate did not start or showed no splash");
    HWND splash = program.Window(L"QuellgateSplash");
    // It rolls up within two seconds of showing; freeze it once it is drawn.
    ShowOnly(program, {splash}, "splash");
    {
        HeldStill still(program.Id());
        Require(still.Holding(), "could not hold Quellgate still for the splash");
        Shot("splash");
    }

    Require(WaitUntil([&] { return !IsWindowVisible(splash); }, 5s), "the splash stayed on screen");
    Require(program.Unlock(), "F5 and the master password did not show the main window");
    HWND main = program.MainWindow();
    const auto keywords = ShownKeywords(program.MainWindow());
    const std::vector<std::string> expected = {"twitter", "youtube", kCustomKeywords[0], kCustomKeywords[1]};
    Require(std::set<std::string>(keywords.begin(), keywords.end()) ==
                std::set<std::string>(expected.begin(), expected.end()),
            "the blocked list does not hold the two networks and the two keywords");
    const char* statuses[] = {"FREE", "BLOCKED", "FREE", "FREE", "BLOCKED"};
    for (int i = 0; i < 5; ++i)
        Require(win32::WindowText(GetDlgItem(main, kNetworkStatus + i)) == statuses[i],
                "network " + std::to_string(i + 1) + " is not " + statuses[i]);
    ShowOnly(program, {main}, "main");
    Shot("main");

    PostMessageW(main, WM_COMMAND, kMenuInfo, 0);
    HWND info = WaitVisible(program, L"QuellgateInfo", "the Info window");
    PostMessageW(main, WM_COMMAND, kMenuHide, 0);
    WaitHidden(main, "the main window (Program > Hide)");
    ShowOnly(program, {info}, "info");
    Shot("info");

    PostMessageW(info, WM_COMMAND, MAKEWPARAM(kInfoOk, BN_CLICKED), 0);
    WaitHidden(info, "the Info window (OK)");
    PostMessageW(main, WM_COMMAND, kMenuChangePassword, 0);
    HWND password = WaitVisible(program, L"QuellgatePassword", "the change-password window");
    ShowOnly(program, {password}, "password");
    Shot("password");

    PostMessageW(password, WM_CLOSE, 0, 0);
    WaitHidden(password, "the change-password window (close)");
    // The box is opened by the main window's button, as a person would; the
    // main window then goes, so that the picture is of the box alone.
    Require(program.Unlock(), "F5 and the master password did not show the main window again");
    PostMessageW(GetDlgItem(main, kAddButton), BM_CLICK, 0, 0);
    HWND input = program.WaitForBox(Box::Input);
    Require(input != nullptr, "the add button opened no input box");
    Require(win32::WindowText(GetDlgItem(input, IDC_INPUT_PROMPT)).starts_with("Add keyword"),
            "the input box does not ask for a keyword");
    TypeInto(EditOf(input), "fantasy football");
    PostMessageW(main, WM_COMMAND, kMenuHide, 0);
    WaitHidden(main, "the main window (Program > Hide, under the input box)");
    ShowOnly(program, {input}, "add-keyword");
    Shot("add-keyword");

    program.Stop();
    ClearStoredState();
}

int Fail(const std::string& why) {
    std::printf("FAILED %s\n", why.c_str());
    std::fflush(stdout);
    ClearStoredState();
    return 1;
}

}  // namespace

int main() {
    try {
        Program program;  // ends Quellgate when it goes, whatever happened
        Tour(program);
        return 0;
    } catch (const Failure& failure) {
        return Fail(failure.why);
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
