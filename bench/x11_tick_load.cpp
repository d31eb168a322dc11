// What one watch tick costs on a real X server: the window listing and the
// five key queries of a tick, against 30 top-level windows. Run it under
// tools/with-x11.sh (make x11-load).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "linux/x11_desktop.h"
#include "x11_probes.h"

namespace quellgate::x11 {
namespace {

using Clock = std::chrono::steady_clock;

struct Phase {
    std::vector<double> micros;
    X11Desktop::Traffic traffic;
};

// One tick as the watch does it: the listing, then F4, F8, F5, F4, F5.
std::size_t Tick(X11Desktop& desktop) {
    std::size_t shown = 0;
    desktop.EnumerateWindows([&](const TopLevelWindow& window) {
        if (window.visible && !window.caption.empty()) ++shown;
    });
    for (const Key key : {Key::F4, Key::F8, Key::F5, Key::F4, Key::F5}) desktop.IsKeyPressed(key);
    return shown;
}

template <typename BeforeTick>
Phase Measure(X11Desktop& desktop, int ticks, BeforeTick beforeTick) {
    Phase phase;
    const auto start = desktop.TrafficSoFar();
    for (int i = 0; i < ticks; ++i) {
        beforeTick(i);
        const auto begin = Clock::now();
        Tick(desktop);
        phase.micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - begin).count());
    }
    const auto end = desktop.TrafficSoFar();
    phase.traffic = {end.requests - start.requests, end.roundTrips - start.roundTrips};
    return phase;
}

void Report(const char* name, Phase phase, int ticks) {
    std::sort(phase.micros.begin(), phase.micros.end());
    double sum = 0;
    for (const double m : phase.micros) sum += m;
    const auto at = [&](double q) {
        return phase.micros[static_cast<std::size_t>(q * static_cast<double>(phase.micros.size() - 1))];
    };
    std::printf("%-28s %8.1f %8.1f %8.1f %8.1f   %6.2f %6.2f\n", name, sum / ticks, at(0.5), at(0.99),
                phase.micros.back(), static_cast<double>(phase.traffic.requests) / ticks,
                static_cast<double>(phase.traffic.roundTrips) / ticks);
}

int Run(int windows, int ticks) {
    const std::string display = testing::SharedDisplay();
    std::deque<testing::Probe> probes;
    for (int i = 0; i < windows; ++i) {
        probes.emplace_back(display, "Window " + std::to_string(i) + " — a page title of ordinary length");
        probes.back().Map();
    }
    X11Desktop desktop(display.c_str());
    if (!testing::WaitUntil([&] { return Tick(desktop) >= static_cast<std::size_t>(windows); })) {
        std::fprintf(stderr, "the desktop never listed all %d windows\n", windows);
        return 1;
    }
    std::printf("%d windows, %d ticks a phase; microseconds a tick, and X traffic a tick\n", windows, ticks);
    std::printf("%-28s %8s %8s %8s %8s   %6s %6s\n", "phase", "mean", "median", "p99", "max", "reqs",
                "waits");
    Report("quiet desktop", Measure(desktop, ticks, [](int) {}), ticks);
    Report("one caption changes a tick",
           Measure(desktop, ticks,
                   [&](int i) {
                       testing::Probe& probe = probes[static_cast<std::size_t>(i) % probes.size()];
                       probe.Connection().SetText(probe.Id(), "_NET_WM_NAME", "UTF8_STRING",
                                                  "Changed title " + std::to_string(i));
                   }),
           ticks);
    Report("one window comes and goes",
           Measure(desktop, ticks,
                   [&](int i) {
                       if (i % 2 == 0) {
                           probes.emplace_back(display, "Newcomer " + std::to_string(i));
                           probes.back().Map();
                       } else {
                           probes.pop_back();
                       }
                   }),
           ticks);
    return 0;
}

}  // namespace
}  // namespace quellgate::x11

int main(int argc, char** argv) {
    const int windows = argc > 1 ? std::atoi(argv[1]) : 30;
    const int ticks = argc > 2 ? std::atoi(argv[2]) : 2000;
    try {
        return quellgate::x11::Run(windows, ticks);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
