// Real browsers that no one here wrote, Debian's chromium and firefox-esr,
// with a local page as their home page: quellgate, driven through its window,
// sends them home from a page it blocks. browser.py starts and stops them.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>

#include "blocklist/blocklist_file.h"
#include "journey.h"

extern char** environ;

namespace quellgate::journeys {
namespace {

std::string Page(std::string_view name) { return "file://" QUELLGATE_BROWSER_PAGES "/" + std::string(name); }

constexpr std::string_view kHomeTitle = "Quellgate Test Home";

// python3 browser.py with these arguments; its output comes back once it ends.
class Helper {
public:
    explicit Helper(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"python3", QUELLGATE_BROWSER_SCRIPT});
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        const int failed = posix_spawnp(&pid_, "python3", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        output_ = fds[0];
        if (failed) throw std::runtime_error("cannot run python3");
    }
    ~Helper() {
        if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
        close(output_);
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    // Its exit code once it has ended, reading what it says meanwhile.
    std::optional<int> Ended() {
        char buffer[4096];
        pollfd ready{output_, POLLIN, 0};
        while (poll(&ready, 1, 0) == 1) {
            const ssize_t got = read(output_, buffer, sizeof buffer);
            if (got <= 0) break;
            said_.append(buffer, static_cast<std::size_t>(got));
        }
        int status = 0;
        if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) != pid_) return code_;
        pid_ = -1;
        code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        Ended();  // what it said last
        return code_;
    }
    std::optional<int> Wait(std::chrono::milliseconds timeout) {
        std::optional<int> code;
        x11::testing::WaitUntil([&] { return (code = Ended()).has_value(); }, timeout);
        return code;
    }
    const std::string& Said() const { return said_; }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::optional<int> code_;
    std::string said_;
};

// A browser showing `page` in a fresh profile whose home page is ours.
class Browser {
public:
    Browser(const Screen& screen, const std::string& kind, std::string_view page, std::string_view title) {
        const auto began = Clock::now();
        Helper start({"start", kind, Page(page), Page("home.html")});
        std::smatch found;
        const std::regex said(R"(BROWSER_PID=(\d+) BROWSER_DIR=(\S+))");
        if (start.Wait(30s) != 0 || !std::regex_search(start.Said(), found, said))
            throw std::runtime_error(kind + " did not start: " + start.Said());
        pid_ = found[1];
        folder_ = found[2];
        const bool shown = x11::testing::WaitUntil(
            [&] {
                for (const Shown& each : screen.WindowsOf(std::stoi(pid_)))
                    if (each.caption.find(title) != std::string::npos) window = each.id;
                return window != XCB_WINDOW_NONE;
            },
            60s);
        startSeconds = std::chrono::duration<double>(Clock::now() - began).count();
        if (shown) return;
        std::ifstream log(folder_ + "/browser.log");
        const std::string logged(std::istreambuf_iterator<char>(log), {});
        Stop();
        throw std::runtime_error(
            kind + " showed no window titled \"" + std::string(title) + "\"; " + screen.Describe() +
            "it said: " + logged.substr(logged.size() - std::min<std::size_t>(logged.size(), 2000)));
    }
    ~Browser() { Stop(); }
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // Hands a page to the running browser, as a desktop opens a link.
    std::unique_ptr<Helper> Open(std::string_view page) {
        return std::make_unique<Helper>(std::vector<std::string>{"open", folder_, Page(page)});
    }

    xcb_window_t window = XCB_WINDOW_NONE;
    double startSeconds = 0;

private:
    void Stop() {
        Helper stop({"stop", pid_, folder_});
        if (stop.Wait(60s) != 0) ADD_FAILURE() << "the browser did not stop cleanly: " << stop.Said();
    }

    std::string pid_, folder_;
};

class RealBrowser : public ::testing::TestWithParam<std::string> {
protected:
    bool Shows(const Browser& browser, std::string_view title) {
        return screen.Caption(browser.window).find(title) != std::string::npos;
    }

    Program program;
    Screen screen;
};

TEST_P(RealBrowser, LeavesAPageForItsHomePageOnceQuellgateBlocksIt) {
    const pid_t pid = program.Start();
    ASSERT_TRUE(screen.Eventually([&] { return !screen.WindowsOf(pid).empty(); }, 20s, "splash"));
    ASSERT_TRUE(screen.Eventually([&] { return screen.WindowsOf(pid).empty(); }, 10s, "end of the splash"));
    Browser browser(screen, GetParam(), "facebook.html", "Facebook - Log In");
    ASSERT_TRUE(screen.Activate(browser.window));

    // Free: the page stays while ticks go by.
    const std::string caption = screen.Caption(browser.window);
    const auto until = Clock::now() + 1500ms;
    std::string seen = caption;
    x11::testing::WaitUntil(
        [&] { return (seen = screen.Caption(browser.window)) != caption || Clock::now() > until; });
    EXPECT_EQ(seen, caption) << "facebook is free, yet the page went; " << screen.Describe();
    EXPECT_EQ(screen.Active(), browser.window);

    const auto main = Unlock(screen, pid);
    ASSERT_TRUE(main);
    screen.ClickControl(main->id, layout::kMainWindow, layout::kNetworkIcon + 0);
    const auto switched = Clock::now();
    // Once the click has done its work, Qt has also asked for the focus it gives a clicked window.
    ASSERT_TRUE(screen.Eventually([&] { return program.Setting("A") == "True"; }, 3s, "facebook blocked"));
    ASSERT_TRUE(screen.Activate(browser.window));  // back to the page
    const auto backAtPage = Clock::now();
    ASSERT_TRUE(screen.Eventually([&] { return Shows(browser, kHomeTitle); }, 10s, "home page"));
    const auto home = Clock::now();
    const auto seconds = [](auto duration) { return std::chrono::duration<double>(duration).count(); };
    std::printf(
        "%s: started in %.2f s; blocked -> home page in %.3f s (the page had the focus again after %.3f s)\n",
        GetParam().c_str(), browser.startSeconds, seconds(home - switched), seconds(backAtPage - switched));
    EXPECT_LT(home - switched, 1500ms);

    ASSERT_TRUE(screen.Activate(main->id));
    screen.ClickControl(main->id, layout::kMainWindow, layout::kAddButton);
    ASSERT_TRUE(screen.WaitForDialog(pid, "Quellgate"));
    screen.Type("gossip");
    screen.Tap(kReturn);
    ASSERT_TRUE(screen.Eventually(
        [&] { return DecodeBlocklist(program.Blocklist()) == std::vector<std::string>{"gossip"}; }, 3s,
        "keyword saved"));
    const auto opener = browser.Open("gossip.html");
    bool opened = false;
    EXPECT_TRUE(screen.Eventually(
        [&] {
            if (opener->Ended() && !opened && screen.Active() != browser.window)
                screen.Activate(browser.window);
            // While it loads, a tab shows the file's name, which holds the keyword too.
            std::string now = screen.Caption(browser.window);
            std::transform(now.begin(), now.end(), now.begin(), ::tolower);
            opened = opened || now.find("gossip") != std::string::npos;
            return opened && Shows(browser, kHomeTitle);
        },
        20s, "the page opened, then home"))
        << "opened: " << opened << "; opener said: " << opener->Said();
}

INSTANTIATE_TEST_SUITE_P(Debian, RealBrowser, ::testing::Values("chromium", "firefox"),
                         [](const auto& test) { return test.param; });

}  // namespace
}  // namespace quellgate::journeys
