// The X11 desktop on an Xvfb of the test's own: no window manager, or one the
// test plays, or a server that lacks XTest or goes away.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "linux/x11_desktop.h"
#include "x11_probes.h"

namespace quellgate::x11::testing {
namespace {

// Plays a window manager: WM_STATE for the clients, and the check window by
// which a manager says it is there.
void SetWmState(const Client& wm, xcb_window_t window, std::uint32_t state) {
    const std::uint32_t value[2] = {state, XCB_WINDOW_NONE};
    wm.SetProperty(window, "WM_STATE", wm.Atom("WM_STATE"), 32, 2, value);
}

xcb_window_t ArriveAsWindowManager(const Client& wm) {
    const xcb_window_t check = xcb_generate_id(wm.get());
    xcb_create_window(wm.get(), 0, check, wm.Root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    wm.SetWindows(check, "_NET_SUPPORTING_WM_CHECK", {check});
    wm.SetWindows(wm.Root(), "_NET_SUPPORTING_WM_CHECK", {check});
    return check;
}

TEST(OwnServer, WithoutWindowManagerListsTheRootsChildrenBottomToTop) {
    const PrivateServer server;
    const std::string& display = server.Display();
    X11Desktop desktop(display.c_str());
    Probe lower(display, "Lower"), upper(display, "Upper"), nameless(display, {});
    const Probe unmapped(display, "Not mapped");
    std::optional<Probe> leaving(std::in_place, display, "Leaving");
    for (Probe* probe : {&lower, &upper, &nameless, &*leaving}) probe->Map();
    const xcb_window_t leavingId = leaving->Id();
    ExpectListed(desktop, {{lower.Id(), "shown \"Lower\""},
                           {upper.Id(), "shown \"Upper\""},
                           {unmapped.Id(), "hidden \"Not mapped\""},
                           {nameless.Id(), "shown \"\""},
                           {leavingId, "shown \"Leaving\""}});
    EXPECT_FALSE(desktop.ListsWindowManagerClients());
    const auto lowerIsAbove = [&] {
        const auto order = ListOrder(desktop);
        return std::find(order.begin(), order.end(), lower.Id()) >
               std::find(order.begin(), order.end(), upper.Id());
    };
    EXPECT_FALSE(lowerIsAbove());
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(lower.Connection().get(), lower.Id(), XCB_CONFIG_WINDOW_STACK_MODE, &above);
    lower.Connection().Sync();
    EXPECT_TRUE(WaitUntil(lowerIsAbove)) << "raised";

    leaving.reset();
    upper.Withdraw();
    lower.Connection().SetText(lower.Id(), "_NET_WM_NAME", "UTF8_STRING", "Renamed");
    ExpectListed(
        desktop,
        {{leavingId, "absent"}, {upper.Id(), "hidden \"Upper\""}, {lower.Id(), "shown \"Renamed\""}});
}

TEST(OwnServer, FollowsAWindowManagersClientListUntilTheManagerGoes) {
    const PrivateServer server;
    const std::string& display = server.Display();
    X11Desktop desktop(display.c_str());
    Probe normal(display, "Normal");
    const Probe iconic(display, "Iconic"), withdrawn(display, "Withdrawn");
    ListByWindow(desktop);
    // The manager arrives once its clients are set up.
    const Client wm(display);
    SetWmState(wm, normal.Id(), 1);
    SetWmState(wm, iconic.Id(), 3);
    SetWmState(wm, withdrawn.Id(), 0);  // withdrawn, and not yet taken off the list
    wm.SetWindows(wm.Root(), "_NET_CLIENT_LIST_STACKING", {withdrawn.Id(), iconic.Id(), normal.Id()});
    const xcb_window_t check = ArriveAsWindowManager(wm);
    const std::vector<xcb_window_t> stacking{withdrawn.Id(), iconic.Id(), normal.Id()};
    EXPECT_TRUE(WaitUntil([&] { return ListOrder(desktop) == stacking; }));
    EXPECT_TRUE(desktop.ListsWindowManagerClients());
    ExpectListed(desktop, {{withdrawn.Id(), "hidden \"Withdrawn\""},
                           {iconic.Id(), "shown \"Iconic\""},
                           {normal.Id(), "shown \"Normal\""}});

    wm.SetWindows(wm.Root(), "_NET_CLIENT_LIST_STACKING", {normal.Id(), iconic.Id()});
    SetWmState(wm, iconic.Id(), 0);
    EXPECT_TRUE(WaitUntil([&] {
        return ListOrder(desktop) == std::vector<xcb_window_t>{normal.Id(), iconic.Id()};
    }));
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

TEST(OwnServer, ReadsAfreshAWindowWhoseIdANewWindowTakesOver) {
    const PrivateServer server;
    const std::string& display = server.Display();
    X11Desktop desktop(display.c_str());
    const Client wm(display);
    std::optional<Probe> old(std::in_place, display, "Old");
    const xcb_window_t id = old->Id();
    old.reset();
    ASSERT_TRUE(WaitUntil([&] { return !wm.Exists(id); }));
    // A manager that is behind still lists the window that went.
    wm.SetWindows(wm.Root(), "_NET_CLIENT_LIST_STACKING", {id});
    ArriveAsWindowManager(wm);
    EXPECT_TRUE(WaitUntil([&] { return ListByWindow(desktop), desktop.ListsWindowManagerClients(); }));
    const Probe newcomer(display, "Newcomer");
    ASSERT_EQ(newcomer.Id(), id) << "the server hands the freed id to the next client";
    SetWmState(wm, id, 1);
    ExpectListed(desktop, {{id, "shown \"Newcomer\""}});
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
