// The Linux edition, started from its executable and used as a person would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "blocklist/blocklist_file.h"
#include "journey.h"
#include "linux/start_at_logon.h"

namespace quellgate::journeys {
namespace {

using layout::kMainWindow;
using x11::testing::kF4;
using x11::testing::kF8;

class Journey : public ::testing::Test {
protected:
    // Watches the probes for a while: what a person sees over a few ticks.
    void Observe(std::chrono::milliseconds duration, const std::vector<Probe*>& probes) {
        const auto until = Clock::now() + duration;
        x11::testing::WaitUntil([&] {
            for (Probe* probe : probes) probe->Pump();
            return Clock::now() > until;
        });
    }
    ::testing::AssertionResult AltHomesReach(Probe& probe, int count, std::chrono::milliseconds timeout) {
        return screen.Eventually(
            [&] { return probe.Pump(), probe.altHomes >= count; }, timeout,
            std::to_string(count) + " Alt+Home at \"" + screen.Caption(probe.Id()) + "\"");
    }
    // Every window the program has on screen stays out of the task bar.
    void ExpectOffTaskBar(pid_t pid) {
        for (const Shown& window : screen.WindowsOf(pid))
            EXPECT_TRUE(window.offTaskBar) << "\"" << window.caption << "\" has a task-bar entry";
    }
    // A masked box shows the same for any text of a length. Seen unfocused,
    // for the cursor blinks only in a focused box.
    void ExpectTypingHidden(xcb_window_t prompt, Probe& elsewhere) {
        const std::string other(kDefaultPassword.size(), 'a');
        screen.Type(other);
        Focus(elsewhere, "Elsewhere");
        std::vector<std::uint8_t> withOther = screen.Pixels(prompt);
        auto since = Clock::now();
        EXPECT_TRUE(screen.Eventually(
            [&] {
                auto now = screen.Pixels(prompt);
                if (now != withOther) withOther = std::move(now), since = Clock::now();
                return Clock::now() - since > 600ms;  // longer than the cursor's blink
            },
            5s, "still prompt"));
        ASSERT_FALSE(withOther.empty()) << "the prompt cannot be seen";
        ASSERT_TRUE(screen.Activate(prompt));
        for (std::size_t i = 0; i < other.size(); ++i) screen.Tap(kBackSpace);
        screen.Type(kDefaultPassword);
        Focus(elsewhere, "Elsewhere");
        EXPECT_TRUE(screen.Eventually([&] { return screen.Pixels(prompt) == withOther; }, 3s,
                                      "prompt that hides the typed password"));
        ASSERT_TRUE(screen.Activate(prompt));
        for (std::size_t i = 0; i < other.size(); ++i) screen.Tap(kBackSpace);
    }

    Program program;
    Screen screen;
    const std::string display = x11::testing::SharedDisplay();
};

TEST_F(Journey, FirstStartShowsOnlyTheSplashRefusesASecondCopyAndAsksBeforeEnding) {
    Probe probe(display, "F8 probe");
    probe.Map();
    Focus(probe, "F8 probe");
    const pid_t pid = program.Start();
    ASSERT_TRUE(screen.Eventually([&] { return !screen.WindowsOf(pid).empty(); }, 20s, "splash"));
    const auto splash = screen.WindowsOf(pid);
    ASSERT_EQ(splash.size(), 1u) << screen.Describe();
    EXPECT_EQ(splash[0].caption, "Quellgate");
    ExpectOffTaskBar(pid);
    // However long the splash stays, the focus stays with the user's window.
    std::vector<xcb_window_t> focused;
    EXPECT_TRUE(screen.Eventually(
        [&] {
            focused.push_back(screen.Active());
            return screen.WindowsOf(pid).empty();
        },
        10s, "empty screen once the splash has gone"));
    EXPECT_EQ(std::count(focused.begin(), focused.end(), probe.Id()), std::ssize(focused))
        << "the focus left the user's window while the splash showed; " << screen.Describe();

    std::ifstream entry(program.AutostartEntry());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(entry), {}),
              posix::DesktopEntry(std::filesystem::canonical(Program::Executable()).string()));
    EXPECT_EQ(program.Blocklist(), "") << "created empty";

    const pid_t second = program.Start();
    const auto refusal = screen.WaitForDialog(second, "Quellgate");
    ASSERT_TRUE(refusal);
    screen.Tap(kReturn);
    EXPECT_EQ(program.WaitForExit(second, 10s), 0) << screen.Describe();
    EXPECT_TRUE(program.Running(pid));

    Focus(probe, "F8 probe");
    probe.altHomes = 0;
    screen.Tap(kF8);
    EXPECT_TRUE(AltHomesReach(probe, 1, 3s));
    Observe(1s, {&probe});  // three more ticks send nothing
    EXPECT_EQ(probe.altHomes, 1);

    const auto main = Unlock(screen, pid, [&](xcb_window_t prompt) {
        ExpectOffTaskBar(pid);
        ExpectTypingHidden(prompt, probe);
    });
    ASSERT_TRUE(main);
    ExpectOffTaskBar(pid);

    std::filesystem::remove(program.File("blocklist"));
    screen.Close(main->id);
    ASSERT_TRUE(screen.WaitForDialog(pid, "Quellgate"));
    ExpectOffTaskBar(pid);
    screen.Tap(kReturn);  // Yes
    EXPECT_EQ(program.WaitForExit(pid, 10s), 0) << program.Output();
    EXPECT_EQ(program.Blocklist(), "") << "saved before it ends";
}

TEST_F(Journey, UnlockBlockANetworkAddAKeywordAndHide) {
    const pid_t pid = program.Start();
    Probe facebook(display, "Facebook - Log In");
    facebook.Map();
    Focus(facebook, "Facebook - Log In");
    Observe(1s, {&facebook});
    EXPECT_EQ(facebook.altHomes, 0) << "facebook is free at first";

    const auto main = Unlock(screen, pid);
    ASSERT_TRUE(main);
    screen.ClickControl(main->id, kMainWindow, layout::kNetworkIcon + 0);
    EXPECT_TRUE(screen.Eventually([&] { return program.Setting("A") == "True"; }, 3s, "facebook blocked"));
    Focus(facebook, "Facebook - Log In");
    facebook.altHomes = 0;
    EXPECT_TRUE(AltHomesReach(facebook, 3, 5s)) << "one a tick while the page stays";
    facebook.Withdraw();  // else the prompt below gets Alt+Home every tick

    ASSERT_TRUE(screen.Activate(main->id));
    screen.ClickControl(main->id, kMainWindow, layout::kAddButton);
    ASSERT_TRUE(screen.WaitForDialog(pid, "Quellgate"));
    screen.Type("Gossip Corner");
    screen.Tap(kReturn);
    EXPECT_TRUE(screen.Eventually([&] { return program.Blocklist() == EncodeBlocklist({"gossip corner"}); },
                                  3s, "keyword saved"))
        << program.Blocklist();
    Probe gossip(display, "Gossip Corner - News");
    gossip.Map();
    Focus(gossip, "Gossip Corner - News");
    EXPECT_TRUE(AltHomesReach(gossip, 1, 3s));

    screen.Tap(kF4);
    EXPECT_TRUE(
        screen.Eventually([&] { return screen.WindowsOf(pid).empty(); }, 3s, "empty screen after F4"));
}

TEST_F(Journey, BlocksWhileAStartUpMessageWaitsForAnAnswer) {
    std::filesystem::create_directories(program.File("blocklist"));  // a folder in the file's place
    std::ofstream(program.File("settings")) << "A=True\n";
    Probe facebook(display, "Facebook - Log In");
    facebook.Map();
    const pid_t pid = program.Start();
    const auto message = screen.WaitForDialog(pid, "Quellgate");
    ASSERT_TRUE(message);
    Focus(facebook, "Facebook - Log In");
    facebook.altHomes = 0;
    EXPECT_TRUE(AltHomesReach(facebook, 3, 5s)) << "the message has not stopped the watch";
    EXPECT_TRUE(screen.Find(pid, "Quellgate")) << "the message still waits; " << screen.Describe();
}

}  // namespace
}  // namespace quellgate::journeys
