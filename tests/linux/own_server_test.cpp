// The X11 desktop on an Xvfb of the test's own: no window manager, or one the
// test plays, or a server that lacks XTest or goes away.
#include <gtest/gtest.h>

#include <optional>

#include "linux/x11_desktop.h"
#include "x11_probes.h"

namespace quellgate::x11::testing {
namespace {

void SetWmState(Client& wm, xcb_window_t window, std::uint32_t state) {
    const std::uint32_t value[2] = {state, XCB_WINDOW_NONE};
    wm.SetProperty(window, "WM_STATE", wm.Atom("WM_STATE"), 32, 2, value);
}

TEST(OwnServer, WithoutWindowManagerListsTheRootsChildren) {
    PrivateServer server;
    const std::string& display = server.Display();
    X11Desktop desktop(display.c_str());
    Probe lower(display, "Lower"), upper(display, "Upper"), unmapped(display, "Not mapped"),
        nameless(display, {});
    std::optional<Probe> leaving(std::in_place, display, "Leaving");
    for (Probe* probe : {&lower, &upper, &nameless, &*leaving}) probe->Map();
    const xcb_window_t leavingId = leaving->Id();
    ExpectListed(desktop, {{lower.Id(), "shown \"Lower\""},
                           {upper.Id(), "shown \"Upper\""},
                           {unmapped.Id(), "hidden \"Not mapped\""},
                           {nameless.Id(), "shown \"\""},
                           {leavingId, "shown \"Leaving\""}});
    EXPECT_FALSE(desktop.ListsWindowManagerClients());

    const auto position = [&](xcb_window_t window) {
        const auto order = ListOrder(desktop);
        return std::find(order.begin(), order.end(), window) - order.begin();
    };
    EXPECT_LT(position(lower.Id()), position(upper.Id())) << "bottom to top";
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(lower.Connection().get(), lower.Id(), XCB_CONFIG_WINDOW_STACK_MODE, &above);
    lower.Connection().Sync();
    EXPECT_TRUE(WaitUntil([&] { return position(lower.Id()) > position(upper.Id()); })) << "raised";

    leaving.reset();
    upper.Withdraw();
    lower.Connection().SetText(lower.Id(), "_NET_WM_NAME", "UTF8_STRING", "Renamed");
    ExpectListed(
        desktop,
        {{leavingId, "absent"}, {upper.Id(), "hidden \"Upper\""}, {lower.Id(), "shown \"Renamed\""}});
}

TEST(OwnServer, FollowsAWindowManagersClientListUntilTheManagerGoes) {
    PrivateServer server;
    const std::string& display = server.Display();
    X11Desktop desktop(display.c_str());
    Probe normal(display, "Normal"), iconic(display, "Iconic"), withdrawn(display, "Withdrawn");
    ListByWindow(desktop);

    // The test plays the manager: a check window, WM_STATE and the client list.
    Client wm(display);
    const xcb_window_t check = xcb_generate_id(wm.get());
    xcb_create_window(wm.get(), 0, check, wm.Root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    wm.SetWindows(check, "_NET_SUPPORTING_WM_CHECK", {check});
    SetWmState(wm, normal.Id(), 1);
    SetWmState(wm, iconic.Id(), 3);
    SetWmState(wm, withdrawn.Id(), 0);  // withdrawn, and not yet taken off the list
    wm.SetWindows(wm.Root(), "_NET_CLIENT_LIST_STACKING", {withdrawn.Id(), iconic.Id(), normal.Id()});
    wm.SetWindows(wm.Root(), "_NET_SUPPORTING_WM_CHECK", {check});
    const std::vector<xcb_window_t> firstOrder{withdrawn.Id(), iconic.Id(), normal.Id()};
    EXPECT_TRUE(WaitUntil([&] { return ListOrder(desktop) == firstOrder; }));
    EXPECT_TRUE(desktop.ListsWindowManagerClients());
    ExpectListed(desktop, {{withdrawn.Id(), "hidden \"Withdrawn\""},
                           {iconic.Id(), "shown \"Iconic\""},
                           {normal.Id(), "shown \"Normal\""}});

    wm.SetWindows(wm.Root(), "_NET_CLIENT_LIST_STACKING", {normal.Id(), iconic.Id()});
    SetWmState(wm, iconic.Id(), 0);
    const std::vector<xcb_window_t> secondOrder{normal.Id(), iconic.Id()};
    EXPECT_TRUE(WaitUntil([&] { return ListOrder(desktop) == secondOrder; }));
    ExpectListed(desktop, {{iconic.Id(), "hidden \"Iconic\""}, {withdrawn.Id(), "absent"}});

    // A manager that ends leaves its root property behind, not its check window.
    xcb_destroy_window(wm.get(), check);
    wm.Sync();
    EXPECT_TRUE(WaitUntil([&] { return ListByWindow(desktop), !desktop.ListsWindowManagerClients(); }));
    normal.Map();
    ExpectListed(
        desktop,
        {{normal.Id(), "shown \"Normal\""}, {withdrawn.Id(), "hidden \"Withdrawn\""}, {check, "absent"}});
}

TEST(OwnServer, WithoutXTestOrServerItSendsAndListsNothingAndNeverThrows) {
    X11Desktop nowhere(":4711");
    EXPECT_FALSE(nowhere.IsConnected());
    EXPECT_TRUE(ListByWindow(nowhere).empty());

    PrivateServer server({"-extension", "XTEST"});
    X11Desktop desktop(server.Display().c_str());
    Probe probe(server.Display(), "Still here");
    probe.Map();
    EXPECT_FALSE(desktop.CanSendKeystrokes());
    EXPECT_FALSE(desktop.SendAltHome());
    EXPECT_TRUE(desktop.IsKeyWatchAvailable());
    ExpectListed(desktop, {{probe.Id(), "shown \"Still here\""}});

    server.Stop();
    EXPECT_TRUE(WaitUntil([&] { return ListByWindow(desktop).empty(); }));
    EXPECT_FALSE(desktop.IsConnected());
    EXPECT_FALSE(desktop.SendAltHome());
    EXPECT_FALSE(desktop.IsKeyPressed(Key::F5));
    EXPECT_FALSE(desktop.IsKeyWatchAvailable());
}

}  // namespace
}  // namespace quellgate::x11::testing
