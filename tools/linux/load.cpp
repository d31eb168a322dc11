// What the running quellgate costs on X11, read from outside: 30 ordinary
// windows and 20 keywords, none of them matching. First the X server without
// quellgate, then with it, each over the same wall time; then the reaction
// from a caption that comes to hold a keyword to the Alt+Home that answers it,
// timed by the X server's own clock.
//
//   quellgate_linux_load [SECONDS]    (else LOAD_SECONDS, else 60)
//
// Run it under tools/with-x11.sh (make linux-load), which says the X server's
// pid in XVFB_PID. Exits 1 when the numbers are not valid: quellgate did not
// start, or sent keys while nothing matched.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "blocklist/blocklist_file.h"
#include "journey.h"

namespace quellgate::journeys {
namespace {

const std::vector<std::string> kKeywords = {"casino",  "poker",    "roulette", "jackpot",   "lottery",
                                            "betting", "slots",    "torrent",  "warez",     "keygen",
                                            "crackz",  "dating",   "hookup",   "gossip",    "tabloid",
                                            "webcam",  "chatroom", "memes",    "clickbait", "horoscope"};

const std::vector<std::string> kCaptions = {
    "Quarterly report 2026.odt - LibreOffice Writer",
    "Budget forecast.ods - LibreOffice Calc",
    "Inbox (14) - alex@example.org - Mail",
    "Calendar - Week 49",
    "standup-notes.md - Text Editor",
    "Project plan.odp - LibreOffice Impress",
    "Downloads - Files",
    "Invoices - Files",
    "alex@desk: ~/src/report - Terminal",
    "System Monitor",
    "Settings",
    "IMG_2041.jpg - Image Viewer",
    "Morning playlist - Music",
    "Weather forecast for Hamburg - Chromium",
    "Train timetable \u2014 Mozilla Firefox",
    "Pull request #482: faster start-up - Chromium",
    "Lentil soup recipe \u2014 Mozilla Firefox",
    "man xcb_get_property - Terminal",
    "Design review - Video call",
    "Team channel - Chat",
    "Expenses November.ods - LibreOffice Calc",
    "Slides draft v3.odp - LibreOffice Impress",
    "Backups",
    "Passwords - KeePassXC",
    "Calculator",
    "Shopping list - Notes",
    "Printer queue",
    "Software updates",
    "Route to the office - Maps \u2014 Mozilla Firefox",
    "Bank statement 2026-11.pdf - Document Viewer",
};

double CpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), {});
    const auto end = stat.rfind(')');
    if (end == std::string::npos) return -1;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {  // utime and stime are fields 14 and 15
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The same to the nanosecond, summed over the process's threads.
double ScheduledSeconds(pid_t pid) {
    double total = 0;
    const auto tasks = std::filesystem::path("/proc") / std::to_string(pid) / "task";
    std::error_code gone;
    for (const auto& task : std::filesystem::directory_iterator(tasks, gone)) {
        std::ifstream file(task.path() / "schedstat");
        unsigned long long nanoseconds = 0;
        if (file >> nanoseconds) total += static_cast<double>(nanoseconds) / 1e9;
    }
    return total;
}

std::string Status(pid_t pid, std::string_view key) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(file, line);)
        if (line.starts_with(std::string(key) + ":")) {
            line.erase(0, key.size() + 1);
            line.erase(0, line.find_first_not_of(" \t"));
            return line;
        }
    return "?";
}

struct Share {
    double cpu = 0, scheduled = 0, wall = 0;
};
std::string Said(const Share& share) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "%.2f s cpu in %.1f s = %.3f %% of one core (by schedstat %.4f s = %.4f %%)", share.cpu,
                  share.wall, 100 * share.cpu / share.wall, share.scheduled,
                  100 * share.scheduled / share.wall);
    return text;
}

// CPU time of each process over `seconds` of wall time.
std::vector<Share> Sample(const std::vector<pid_t>& pids, double seconds) {
    std::vector<Share> before;
    for (const pid_t pid : pids) before.push_back({CpuSeconds(pid), ScheduledSeconds(pid), 0});
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<Share> shares;
    for (std::size_t i = 0; i < pids.size(); ++i)
        shares.push_back(
            {CpuSeconds(pids[i]) - before[i].cpu, ScheduledSeconds(pids[i]) - before[i].scheduled, wall});
    return shares;
}

// A probe of its own that reads its events itself, for the server's times:
// when its caption changed, when Alt+Home reached it.
class TimedProbe {
public:
    explicit TimedProbe(const std::string& display) : probe_(display, "Reading list \u2014 Mozilla Firefox") {
        probe_.Map();
        Focus(probe_, "Reading list \u2014 Mozilla Firefox");
        home_ = probe_.Connection().KeycodeOf(x11::testing::kHome);
        name_ = probe_.Connection().Atom("_NET_WM_NAME");
    }

    // Renames the probe; returns the server's time of the change.
    xcb_timestamp_t Rename(const std::string& caption) {
        probe_.Connection().SetText(probe_.Id(), "_NET_WM_NAME", "UTF8_STRING", caption);
        xcb_timestamp_t changed = 0;
        Read(std::chrono::milliseconds(2000), [&](const xcb_generic_event_t& event) {
            const auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY || property.atom != name_) return false;
            changed = property.time;
            return true;
        });
        return changed;
    }
    // The server's time of the next Alt+Home, or nothing within the time.
    std::optional<xcb_timestamp_t> NextAltHome(std::chrono::milliseconds timeout) {
        std::optional<xcb_timestamp_t> pressed;
        Read(timeout, [&](const xcb_generic_event_t& event) {
            const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
            if ((event.response_type & 0x7F) != XCB_KEY_PRESS || key.detail != home_ ||
                !(key.state & XCB_MOD_MASK_1))
                return false;
            pressed = key.time;
            return true;
        });
        return pressed;
    }

private:
    template <typename Wanted>
    void Read(std::chrono::milliseconds timeout, Wanted wanted) {
        xcb_connection_t* c = probe_.Connection().get();
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            while (auto* event = xcb_poll_for_event(c)) {
                const bool found = wanted(*event);
                std::free(event);
                if (found) return;
            }
            pollfd ready{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&ready, 1, 1);
        }
    }

    Probe probe_;
    xcb_keycode_t home_ = 0;
    xcb_atom_t name_ = XCB_ATOM_NONE;
};

int Run(double seconds) {
    const char* server = std::getenv("XVFB_PID");
    if (!server) {
        std::fprintf(stderr, "XVFB_PID is not set: run this under tools/with-x11.sh\n");
        return 1;
    }
    const pid_t xvfb = std::atoi(server);
    const std::string display = x11::testing::SharedDisplay();
    std::deque<Probe> windows;
    for (const auto& caption : kCaptions) windows.emplace_back(display, caption).Map();

    Program program;
    std::filesystem::create_directories(program.File(""));
    std::ofstream(program.File("blocklist"), std::ios::binary) << EncodeBlocklist(kKeywords);

    std::printf("%zu windows, %zu keywords, %.0f s a phase, on %s\n", windows.size(), kKeywords.size(),
                seconds, display.c_str());
    std::this_thread::sleep_for(2s);  // openbox decorates the new windows
    const Share idle = Sample({xvfb}, seconds).front();
    std::printf("X server without quellgate: %s\n", Said(idle).c_str());

    Screen screen;
    const pid_t pid = program.Start();
    if (!screen.Eventually([&] { return !screen.WindowsOf(pid).empty(); }, 20s, "splash") ||
        !screen.Eventually([&] { return screen.WindowsOf(pid).empty(); }, 10s, "end of the splash")) {
        std::fprintf(stderr, "quellgate did not start: %s\n", program.Output().c_str());
        return 1;
    }
    const auto busy = Sample({xvfb, pid}, seconds);
    std::printf("X server with quellgate:    %s\n", Said(busy[0]).c_str());
    std::printf("quellgate:                  %s\n", Said(busy[1]).c_str());
    std::printf("quellgate's memory: peak resident (VmHWM) %s, resident now (VmRSS) %s\n",
                Status(pid, "VmHWM").c_str(), Status(pid, "VmRSS").c_str());
    int stray = 0;
    for (Probe& window : windows) window.Pump(), stray += window.altHomes;
    if (stray) {
        std::fprintf(stderr, "quellgate sent %d Alt+Home while no caption held a keyword\n", stray);
        return 1;
    }

    // Changes land at any moment of the 300 ms tick.
    TimedProbe probe(display);
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> phase(0, 299);
    std::vector<double> reactions;
    for (int change = 0; change < 100; ++change) {
        std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
        const xcb_timestamp_t changed = probe.Rename("Casino royale tonight \u2014 Mozilla Firefox");
        const auto answered = probe.NextAltHome(3s);
        if (!changed || !answered) {
            std::fprintf(stderr, "change %d was not answered within 3 s\n", change);
            return 1;
        }
        reactions.push_back(static_cast<double>(*answered - changed));
        probe.Rename("Reading list \u2014 Mozilla Firefox");
        // Until a tick has seen the new caption: no Alt+Home for longer than one.
        while (probe.NextAltHome(400ms)) {
        }
    }
    std::sort(reactions.begin(), reactions.end());
    const auto at = [&](double q) {
        return reactions[static_cast<std::size_t>(q * static_cast<double>(reactions.size() - 1))];
    };
    std::printf(
        "caption change -> Alt+Home, %zu changes, by the X server's clock: p50 %.0f ms, p90 %.0f ms, "
        "p99 %.0f ms, max %.0f ms\n",
        reactions.size(), at(0.5), at(0.9), at(0.99), reactions.back());
    return 0;
}

}  // namespace
}  // namespace quellgate::journeys

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as it comes
    const char* fromEnvironment = std::getenv("LOAD_SECONDS");
    const double seconds = argc > 1 ? std::atof(argv[1]) : fromEnvironment ? std::atof(fromEnvironment) : 60;
    try {
        return quellgate::journeys::Run(seconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
