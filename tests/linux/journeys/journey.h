#pragma once

// The Linux edition used as a person uses it: the real quellgate started from
// the build, watched and driven only through the X server (keys and clicks
// through XTest, windows by their caption and _NET_WM_PID) and the files it
// keeps. Run under tools/with-x11.sh, which gives Xvfb with openbox.

#include <gtest/gtest.h>
#include <sys/types.h>
#include <xcb/xcb.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/window_layout.h"
#include "x11_probes.h"

namespace quellgate::journeys {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using x11::testing::Client;
using x11::testing::Probe;

inline constexpr std::string_view kDefaultPassword = "lotus7391";
inline constexpr xcb_keysym_t kReturn = 0xff0d, kBackSpace = 0xff08;

// quellgate as its user starts it, with a home, configuration and runtime
// folder of its own, which go when this does. Copies it started and that
// still run are ended.
class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    pid_t Start();
    bool Running(pid_t pid);
    // Waits for the copy to end; its exit code, or nothing on time out.
    std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds timeout);

    static std::filesystem::path Executable();
    std::filesystem::path ConfigHome() const { return root_ / "config"; }
    std::filesystem::path File(std::string_view name) const { return ConfigHome() / "quellgate" / name; }
    std::filesystem::path AutostartEntry() const { return ConfigHome() / "autostart" / "quellgate.desktop"; }
    std::optional<std::string> Setting(std::string_view name) const;
    // The blocklist's bytes, or "<missing>".
    std::string Blocklist() const;
    std::string Output() const;  // what the copies wrote to stdout and stderr

private:
    std::filesystem::path root_;
    std::vector<pid_t> running_;
};

// A managed window as the X server and the window manager show it.
struct Shown {
    xcb_window_t id = XCB_WINDOW_NONE;
    pid_t pid = 0;
    std::string caption;
    bool offTaskBar = false;  // _NET_WM_STATE_SKIP_TASKBAR
};

// The screen, keyboard and mouse, through a connection of the test's own.
class Screen {
public:
    Screen() : client_(x11::testing::SharedDisplay()) {}

    Client& Connection() { return client_; }
    std::vector<Shown> Windows() const;  // the window manager's clients
    std::vector<Shown> WindowsOf(pid_t pid) const;
    std::optional<Shown> Find(pid_t pid, std::string_view caption) const;
    xcb_window_t Active() const;
    std::string Caption(xcb_window_t window) const;
    // Every client with its process, caption and states, for failure messages.
    std::string Describe() const;

    void Tap(xcb_keysym_t keysym);
    void Type(std::string_view text);  // ASCII
    void Click(int x, int y);
    // At the centre of control `id`, placed as the Qt front end places it:
    // the window's client area holds the layout's canvas at its bottom (a
    // menu bar may lie above it), scaled as the window's width shows.
    void ClickControl(xcb_window_t window, const layout::Window& design, int id);
    // As a pager asks for it; returns once the window manager has done it.
    ::testing::AssertionResult Activate(xcb_window_t window);
    void Close(xcb_window_t window);  // as its close button does
    std::vector<std::uint8_t> Pixels(xcb_window_t window) const;

    // Polls until the condition holds; the failure tells what was on screen.
    ::testing::AssertionResult Eventually(const std::function<bool()>& condition,
                                          std::chrono::milliseconds timeout, std::string_view what) const;
    // A window of the program with this caption that has the keyboard focus,
    // other than `previous`: a prompt or message that has just come up.
    std::optional<Shown> WaitForDialog(pid_t pid, std::string_view caption,
                                       xcb_window_t previous = XCB_WINDOW_NONE,
                                       std::chrono::milliseconds timeout = 10s) const;

private:
    Client client_;
};

// F5, the default password typed into the prompt (after `atPrompt` had it),
// the warning about that password acknowledged: the main window, in front
// with the focus, or nothing.
std::optional<Shown> Unlock(Screen& screen, pid_t pid,
                            const std::function<void(xcb_window_t prompt)>& atPrompt = {});

// Gives a probe the focus, keeping its caption (activation renames it).
void Focus(Probe& probe, const std::string& caption);

}  // namespace quellgate::journeys
