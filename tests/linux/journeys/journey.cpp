#include "journey.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "linux/settings_store.h"

extern char** environ;

namespace quellgate::journeys {
namespace {

using x11::testing::Take;

std::string Text(const Client& client, xcb_window_t window, std::string_view name) {
    xcb_connection_t* c = client.get();
    auto reply = Take(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, client.Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), nullptr));
    if (!reply || reply->format != 8) return {};
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

// A request from a pager: the user's own wish, never taken for focus stealing.
constexpr std::uint32_t kFromPager = 2;

}  // namespace

Program::Program() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quellgate-journey-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    for (const char* folder : {"home", "config", "runtime"})
        std::filesystem::create_directory(root_ / folder);
    std::filesystem::permissions(root_ / "runtime", std::filesystem::perms::owner_all);
}

Program::~Program() {
    const std::vector<pid_t> left = running_;
    for (const pid_t pid : left) kill(pid, SIGTERM);
    for (const pid_t pid : left)
        if (!WaitForExit(pid, 5s)) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path Program::Executable() { return QUELLGATE_PROGRAM; }

pid_t Program::Start() {
    // The session's own environment, but this user's folders, and no hint
    // of a Wayland session or of a scale the layout is not drawn for.
    const std::vector<std::string> replaced = {"HOME",
                                               "XDG_CONFIG_HOME",
                                               "XDG_RUNTIME_DIR",
                                               "XDG_SESSION_TYPE",
                                               "WAYLAND_DISPLAY",
                                               "QT_QPA_PLATFORM",
                                               "QT_SCALE_FACTOR",
                                               "QT_SCREEN_SCALE_FACTORS",
                                               "QT_AUTO_SCREEN_SCALE_FACTOR"};
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('='));
        if (std::find(replaced.begin(), replaced.end(), name) == replaced.end()) environment.push_back(entry);
    }
    environment.push_back("HOME=" + (root_ / "home").string());
    environment.push_back("XDG_CONFIG_HOME=" + ConfigHome().string());
    environment.push_back("XDG_RUNTIME_DIR=" + (root_ / "runtime").string());
    environment.push_back("QT_QPA_PLATFORM=xcb");
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::string program = Executable().string();
    char* argv[] = {program.data(), nullptr};
    const std::string log = (root_ / "output.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) throw std::runtime_error("cannot start " + program);
    running_.push_back(pid);
    return pid;
}

std::optional<int> Program::WaitForExit(pid_t pid, std::chrono::milliseconds timeout) {
    if (std::find(running_.begin(), running_.end(), pid) == running_.end()) return std::nullopt;
    int status = 0;
    const bool ended =
        x11::testing::WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout);
    if (!ended) return std::nullopt;
    running_.erase(std::find(running_.begin(), running_.end(), pid));
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool Program::Running(pid_t pid) { return !WaitForExit(pid, 0ms); }

std::optional<std::string> Program::Setting(std::string_view name) const {
    return posix::FileSettingsStore(posix::PosixFileStore(File("").string())).Read(name);
}

std::string Program::Blocklist() const {
    std::ifstream file(File("blocklist"), std::ios::binary);
    if (!file) return "<missing>";
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string Program::Output() const {
    std::ifstream file(root_ / "output.log");
    return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<Shown> Screen::Windows() const {
    std::vector<Shown> shown;
    const xcb_atom_t skipTaskBar = client_.Atom("_NET_WM_STATE_SKIP_TASKBAR");
    for (const xcb_window_t id : client_.Words(client_.Root(), "_NET_CLIENT_LIST")) {
        const auto pid = client_.Words(id, "_NET_WM_PID");
        const auto states = client_.Words(id, "_NET_WM_STATE");
        shown.push_back({id, pid.empty() ? 0 : static_cast<pid_t>(pid.front()), Caption(id),
                         std::find(states.begin(), states.end(), skipTaskBar) != states.end()});
    }
    return shown;
}

std::vector<Shown> Screen::WindowsOf(pid_t pid) const {
    std::vector<Shown> shown = Windows();
    std::erase_if(shown, [pid](const Shown& window) { return window.pid != pid; });
    return shown;
}

std::optional<Shown> Screen::Find(pid_t pid, std::string_view caption) const {
    for (const Shown& window : WindowsOf(pid))
        if (window.caption == caption) return window;
    return std::nullopt;
}

xcb_window_t Screen::Active() const {
    const auto active = client_.Words(client_.Root(), "_NET_ACTIVE_WINDOW");
    return active.empty() ? xcb_window_t{XCB_WINDOW_NONE} : active.front();
}

std::string Screen::Caption(xcb_window_t window) const {
    std::string caption = Text(client_, window, "_NET_WM_NAME");
    return caption.empty() ? Text(client_, window, "WM_NAME") : caption;
}

std::string Screen::Describe() const {
    std::ostringstream said;
    const xcb_window_t active = Active();
    said << "on screen, bottom to top:\n";
    for (const Shown& window : Windows()) {
        char id[16];
        std::snprintf(id, sizeof id, "0x%x", window.id);
        said << "  " << id << " pid " << window.pid << " \"" << window.caption << "\""
             << (window.offTaskBar ? " off-task-bar" : "") << (window.id == active ? " focused" : "") << "\n";
    }
    return said.str();
}

void Screen::Tap(xcb_keysym_t keysym) {
    client_.Key(keysym, true);
    client_.Key(keysym, false);
}

void Screen::Type(std::string_view text) {
    constexpr xcb_keysym_t kShift = 0xffe1;
    for (const char c : text) {
        const bool upper = std::isupper(static_cast<unsigned char>(c));
        if (upper) client_.Key(kShift, true);
        Tap(static_cast<xcb_keysym_t>(std::tolower(static_cast<unsigned char>(c))));
        if (upper) client_.Key(kShift, false);
    }
}

void Screen::Click(int x, int y) { client_.Click(x, y); }

void Screen::ClickControl(xcb_window_t window, const layout::Window& design, int id) {
    xcb_connection_t* c = client_.get();
    auto size = Take(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    auto origin = Take(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, client_.Root(), 0, 0), nullptr));
    if (!size || !origin) throw std::runtime_error("the window to click is gone");
    const auto control = std::find_if(design.controls.begin(), design.controls.end(),
                                      [id](const layout::Control& each) { return each.id == id; });
    if (control == design.controls.end()) throw std::out_of_range("no control " + std::to_string(id));
    const double scale = static_cast<double>(size->width) / design.clientWidth;
    const auto pixels = [scale](int twips) { return static_cast<int>(std::lround(twips * scale)); };
    const int canvasTop = size->height - pixels(design.clientHeight);
    const layout::Twips& place = control->place;
    Click(origin->dst_x + pixels(place.left) + pixels(place.width) / 2,
          origin->dst_y + canvasTop + pixels(place.top) + pixels(place.height) / 2);
}

::testing::AssertionResult Screen::Activate(xcb_window_t window) {
    client_.AskWindowManager(window, "_NET_ACTIVE_WINDOW", kFromPager, XCB_CURRENT_TIME);
    return Eventually([&] { return Active() == window; }, 5s, "the window given the focus");
}

void Screen::Close(xcb_window_t window) {
    client_.AskWindowManager(window, "_NET_CLOSE_WINDOW", XCB_CURRENT_TIME, kFromPager);
}

std::vector<std::uint8_t> Screen::Pixels(xcb_window_t window) const {
    xcb_connection_t* c = client_.get();
    auto size = Take(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!size) return {};
    auto image = Take(xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, size->width, size->height, ~0u),
        nullptr));
    if (!image) return {};
    const std::uint8_t* data = xcb_get_image_data(image.get());
    return {data, data + xcb_get_image_data_length(image.get())};
}

::testing::AssertionResult Screen::Eventually(const std::function<bool()>& condition,
                                              std::chrono::milliseconds timeout,
                                              std::string_view what) const {
    if (x11::testing::WaitUntil(condition, timeout)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "no " << what << " within " << timeout.count() << " ms; " << Describe();
}

std::optional<Shown> Screen::WaitForDialog(pid_t pid, std::string_view caption, xcb_window_t previous,
                                           std::chrono::milliseconds timeout) const {
    std::optional<Shown> dialog;
    const auto came = Eventually(
        [&] {
            dialog = Find(pid, caption);
            return dialog && dialog->id != previous && Active() == dialog->id;
        },
        timeout, "focused window \"" + std::string(caption) + "\" of pid " + std::to_string(pid));
    if (came) return dialog;
    ADD_FAILURE() << came.message();
    return std::nullopt;
}

std::optional<Shown> Unlock(Screen& screen, pid_t pid, const std::function<void(xcb_window_t)>& atPrompt) {
    screen.Tap(x11::testing::kF5);
    const auto prompt = screen.WaitForDialog(pid, "Quellgate");
    if (!prompt) return std::nullopt;
    if (atPrompt) atPrompt(prompt->id);
    screen.Type(kDefaultPassword);
    screen.Tap(kReturn);
    const auto warning = screen.WaitForDialog(pid, "Quellgate", prompt->id);
    if (!warning) return std::nullopt;
    screen.Tap(kReturn);
    std::optional<Shown> main;
    const auto shown = screen.Eventually(
        [&] { return (main = screen.Find(pid, layout::kMainWindow.title)) && screen.Active() == main->id; },
        5s, "focused main window");
    if (!shown) ADD_FAILURE() << shown.message();
    return main;
}

void Focus(Probe& probe, const std::string& caption) {
    probe.Activate();
    probe.Connection().SetText(probe.Id(), "_NET_WM_NAME", "UTF8_STRING", caption);
}

}  // namespace quellgate::journeys
