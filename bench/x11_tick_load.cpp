// What one watch tick costs on a real X server: the window listing and the
// five key queries of a tick, against 30 top-level windows. Run it under
// tools/with-x11.sh (make x11-load).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <thread>

#include "linux/x11/x11_desktop.h"

namespace quellgate::x11 {
namespace {

using Clock = std::chrono::steady_clock;

// A plain top-level window on the display, on the bench's own connection.
class Window {
public:
    Window(xcb_connection_t* c, const std::string& title) : c_(c), id_(xcb_generate_id(c)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, id_, screen->root, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        Retitle(title);
        xcb_map_window(c, id_);
        xcb_flush(c);
    }
    ~Window() {
        xcb_destroy_window(c_, id_);
        xcb_flush(c_);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    void Retitle(const std::string& title) {
        const auto utf8 = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, 11, "UTF8_STRING"), nullptr);
        const auto name = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, 12, "_NET_WM_NAME"), nullptr);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, id_, name->atom, utf8->atom, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
        std::free(utf8);
        std::free(name);
        xcb_flush(c_);
    }

private:
    xcb_connection_t* c_;
    xcb_window_t id_;
};

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
    const std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> c(xcb_connect(nullptr, nullptr),
                                                                           xcb_disconnect);
    if (xcb_connection_has_error(c.get())) return std::fprintf(stderr, "no X display\n"), 1;
    std::deque<Window> probes;
    for (int i = 0; i < windows; ++i)
        probes.emplace_back(c.get(), "Window " + std::to_string(i) + " — a page title of ordinary length");
    X11Desktop desktop;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Tick(desktop) < static_cast<std::size_t>(windows)) {
        if (Clock::now() > deadline) return std::fprintf(stderr, "never listed all %d windows\n", windows), 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::printf("%d windows, %d ticks a phase; microseconds a tick, and X traffic a tick\n", windows, ticks);
    std::printf("%-28s %8s %8s %8s %8s   %6s %6s\n", "phase", "mean", "median", "p99", "max", "reqs",
                "waits");
    Report("quiet desktop", Measure(desktop, ticks, [](int) {}), ticks);
    Report("one caption changes a tick",
           Measure(desktop, ticks,
                   [&](int i) {
                       probes[static_cast<std::size_t>(i) % probes.size()].Retitle("Changed title " +
                                                                                   std::to_string(i));
                   }),
           ticks);
    Report("one window comes and goes",
           Measure(desktop, ticks,
                   [&](int i) {
                       if (i % 2 == 0)
                           probes.emplace_back(c.get(), "Newcomer " + std::to_string(i));
                       else
                           probes.pop_back();
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
