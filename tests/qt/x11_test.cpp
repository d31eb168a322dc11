// The windows on a real X server with a window manager (tools/with-x11.sh
// gives Xvfb with openbox): the keyboard focus and the window manager's
// states, which the offscreen platform cannot show.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <initializer_list>

#include "qt/desktop_hints.h"
#include "qt/main_window.h"
#include "qt/splash_window.h"
#include "qt_test_main.h"
#include "x11_probes.h"

namespace quellgate::qt::testing {
namespace {

using x11::testing::SharedDisplay;

class OnOpenbox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_FALSE(server.Words(server.Root(), "_NET_SUPPORTING_WM_CHECK").empty())
            << "no window manager: run through tools/with-x11.sh";
        qApp->installEventFilter(&offTaskBar);
    }
    static bool Eventually(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 10'000);
    }
    // Mapped and taken in by the window manager (WM_STATE NormalState).
    bool Managed(QWidget& window) const {
        const auto state = server.Words(static_cast<xcb_window_t>(window.winId()), "WM_STATE");
        return !state.empty() && state.front() == 1;
    }
    bool HasStates(QWidget& window, std::initializer_list<const char*> wanted) const {
        const auto states = server.Words(static_cast<xcb_window_t>(window.winId()), "_NET_WM_STATE");
        return std::all_of(wanted.begin(), wanted.end(), [&](const char* state) {
            return std::find(states.begin(), states.end(), server.Atom(state)) != states.end();
        });
    }

    const x11::testing::Client server{SharedDisplay()};
    OffTaskBar offTaskBar;
};

TEST_F(OnOpenbox, TheSplashLeavesTheFocusWithTheUsersProgram) {
    x11::testing::Probe browser(SharedDisplay(), "The user's browser");
    browser.Map();
    browser.Activate();
    SplashWindow splash;
    splash.ShowWithoutFocus();
    const int fullHeight = splash.height();
    ASSERT_TRUE(Eventually([&] { return Managed(splash); }));
    splash.activateWindow();  // as a window manager that focuses every new window would ask it
    ASSERT_TRUE(Eventually([&] { return splash.height() < fullHeight; })) << "settled: rolled up once since";
    EXPECT_EQ(server.Words(server.Root(), "_NET_ACTIVE_WINDOW"), std::vector<std::uint32_t>{browser.Id()});
    EXPECT_TRUE(
        HasStates(splash, {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}));
}

TEST_F(OnOpenbox, TheMainWindowStaysOffTheTaskBarEveryTimeItShows) {
    NoCommands commands;
    QtMainWindow window(commands);
    for (int time = 1; time <= 2; ++time) {
        window.ShowMain();
        ASSERT_TRUE(Eventually([&] { return Managed(window); })) << time;
        EXPECT_TRUE(HasStates(window, {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})) << time;
        window.HideMain();  // withdrawn, a window loses its states to the window manager
        ASSERT_TRUE(Eventually([&] { return !Managed(window); })) << time;
    }
}

}  // namespace
}  // namespace quellgate::qt::testing
