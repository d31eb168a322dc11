// The windows on a real X server with a window manager (tools/with-x11.sh
// gives Xvfb with openbox): what the offscreen platform cannot show, the
// keyboard focus and the window manager's states.
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include <xcb/xcb.h>

#include <gtest/gtest.h>
#include "qt/desktop_hints.h"
#include "qt/main_window.h"
#include "qt/splash_window.h"

namespace quellgate::qt::testing {
namespace {

constexpr int kPatienceMs = 10'000;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

// Reads the server's state through a connection of its own.
class Server {
public:
    Server() : connection_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_.get())).data->root;
    }

    xcb_connection_t* get() const { return connection_.get(); }
    xcb_window_t Root() const { return root_; }

    xcb_atom_t Atom(std::string_view name) const {
        const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(
            get(), xcb_intern_atom(get(), 0, static_cast<uint16_t>(name.size()), name.data()), nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    std::vector<uint32_t> Property(xcb_window_t window, std::string_view name) const {
        const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
            get(), xcb_get_property(get(), 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr));
        if (!reply || reply->format != 32) return {};
        const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
        return {values, values + xcb_get_property_value_length(reply.get()) / 4};
    }

    xcb_window_t ActiveWindow() const {
        const auto active = Property(root_, "_NET_ACTIVE_WINDOW");
        return active.empty() ? xcb_window_t{XCB_WINDOW_NONE} : active.front();
    }
    // Mapped and taken in by the window manager.
    bool Managed(WId window) const {
        const auto state = Property(static_cast<xcb_window_t>(window), "WM_STATE");
        return !state.empty() && state.front() == 1;  // NormalState
    }
    bool HasState(WId window, std::string_view state) const {
        const auto states = Property(static_cast<xcb_window_t>(window), "_NET_WM_STATE");
        return std::find(states.begin(), states.end(), Atom(state)) != states.end();
    }
    bool OffTaskBarAndPager(WId window) const {
        return HasState(window, "_NET_WM_STATE_SKIP_TASKBAR") && HasState(window, "_NET_WM_STATE_SKIP_PAGER");
    }

private:
    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
};

// Another program's window with the keyboard focus: the user's browser.
class ForeignWindow {
public:
    explicit ForeignWindow(const Server& server) : server_(server), id_(xcb_generate_id(server.get())) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(server.get())).data;
        xcb_create_window(server.get(), XCB_COPY_FROM_PARENT, id_, server.Root(), 0, 0, 300, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(server.get(), id_);
        xcb_flush(server.get());
    }
    ~ForeignWindow() {
        xcb_destroy_window(server_.get(), id_);
        xcb_flush(server_.get());
    }

    xcb_window_t Id() const { return id_; }
    bool TakeFocus() const {
        if (!QTest::qWaitFor([&] { return server_.Managed(id_); }, kPatienceMs)) return false;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = id_;
        message.type = server_.Atom("_NET_ACTIVE_WINDOW");
        message.data.data32[0] = 2;
        xcb_send_event(server_.get(), 0, server_.Root(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(server_.get());
        return QTest::qWaitFor([&] { return server_.ActiveWindow() == id_; }, kPatienceMs);
    }

private:
    const Server& server_;
    xcb_window_t id_;
};

class OnOpenbox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_FALSE(server.Property(server.Root(), "_NET_SUPPORTING_WM_CHECK").empty())
            << "no window manager: run through tools/with-x11.sh";
        qApp->installEventFilter(&offTaskBar);
    }

    Server server;
    OffTaskBar offTaskBar;
};

TEST_F(OnOpenbox, TheSplashLeavesTheFocusWithTheUsersProgram) {
    ForeignWindow browser(server);
    ASSERT_TRUE(browser.TakeFocus());
    SplashWindow splash;
    splash.ShowWithoutFocus();
    const int fullHeight = splash.height();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Managed(splash.winId()); }, kPatienceMs));
    // As a window manager that focuses every new window would ask it.
    splash.activateWindow();
    // Settled: rolled up once since.
    ASSERT_TRUE(QTest::qWaitFor([&] { return splash.height() < fullHeight; }, kPatienceMs));
    EXPECT_EQ(server.ActiveWindow(), browser.Id());
    EXPECT_TRUE(server.HasState(splash.winId(), "_NET_WM_STATE_ABOVE"));
    EXPECT_TRUE(server.OffTaskBarAndPager(splash.winId()));
}

TEST_F(OnOpenbox, TheMainWindowStaysOffTheTaskBarEveryTimeItShows) {
    QtMainWindow window;
    for (int time = 1; time <= 2; ++time) {
        SCOPED_TRACE(time);
        window.ShowMain();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.Managed(window.winId()); }, kPatienceMs));
        EXPECT_TRUE(server.OffTaskBarAndPager(window.winId()));
        // Withdrawn, the window loses its states to the window manager.
        window.HideMain();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Managed(window.winId()); }, kPatienceMs));
    }
}

}  // namespace
}  // namespace quellgate::qt::testing
