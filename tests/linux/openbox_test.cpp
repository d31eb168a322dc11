// The X11 desktop on a display that openbox manages: tools/with-x11.sh gives one.
#include <gtest/gtest.h>

#include <memory>

#include "linux/x11_desktop.h"
#include "x11_probes.h"

namespace quellgate::x11::testing {
namespace {

class OnOpenbox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.IsConnected()) << "cannot reach " << display;
        ASSERT_TRUE(WaitUntil([&] { return ListByWindow(desktop), desktop.ListsWindowManagerClients(); }))
            << "no EWMH window manager on " << display << ": run the tests through tools/with-x11.sh";
    }

    const std::string display = SharedDisplay();
    X11Desktop desktop{display.c_str()};
};

TEST_F(OnOpenbox, ListsShownAndMinimisedClientsWithTheirCaptionsButNotWithdrawnOnes) {
    Probe utf8(display, "Δίκτυο — 日本語 🙂"), latin1(display, {}), compound(display, {});
    Probe broken(display, "ab\xFF\xC3"), both(display, "The EWMH name"), withdrawn(display, "Withdrawn");
    const Probe neverMapped(display, "Never mapped");
    latin1.Connection().SetText(latin1.Id(), "WM_NAME", "STRING", "Caf\xE9 cr\xE8me");
    compound.Connection().SetText(compound.Id(), "WM_NAME", "COMPOUND_TEXT",
                                  "Caf\xE9 \x1B%G\xE6\x97\xA5\xE6\x9C\xAC\x1B%@ ok");
    both.Connection().SetText(both.Id(), "WM_NAME", "STRING", "The ICCCM name");
    for (Probe* probe : {&utf8, &latin1, &compound, &broken, &both, &withdrawn}) probe->Map();
    latin1.Iconify();
    withdrawn.Withdraw();
    ExpectListed(desktop, {{utf8.Id(), "shown \"Δίκτυο — 日本語 🙂\""},
                           {latin1.Id(), "shown \"Café crème\""},
                           {compound.Id(), "shown \"Café 日本 ok\""},
                           {broken.Id(), "shown \"ab\uFFFD\uFFFD\""},
                           {both.Id(), "shown \"The EWMH name\""},
                           {withdrawn.Id(), "absent"},
                           {neverMapped.Id(), "absent"}});

    utf8.Connection().SetText(utf8.Id(), "_NET_WM_NAME", "UTF8_STRING", "facebook — Log in");
    latin1.Connection().SetText(latin1.Id(), "WM_NAME", "STRING", "twitter");
    xcb_delete_property(both.Connection().get(), both.Id(), both.Connection().Atom("_NET_WM_NAME"));
    both.Connection().Sync();
    ExpectListed(desktop, {{utf8.Id(), "shown \"facebook — Log in\""},
                           {latin1.Id(), "shown \"twitter\""},
                           {both.Id(), "shown \"The ICCCM name\""}});
}

TEST_F(OnOpenbox, AltHomeReachesTheFocusedWindowWhateverTheKeyboardMap) {
    Probe first(display, "First probe"), second(display, "Second probe");
    first.Map();
    second.Map();
    for (Probe* focused : {&first, &second}) {
        focused->Activate();
        ASSERT_TRUE(desktop.SendAltHome());
        ASSERT_TRUE(WaitUntil([&] { return focused->Pump(), focused->altHomes == 1; }));
    }
    first.Pump();
    EXPECT_EQ(first.altHomes, 1) << "only the focused window";

    // Home moves to another key; the old one gives nothing.
    const Client& keyboard = first.Connection();
    const xcb_keycode_t home = keyboard.KeycodeOf(kHome), spare = keyboard.UnusedKeycode();
    const auto homeKeysyms = keyboard.Keysyms(home), spareKeysyms = keyboard.Keysyms(spare);
    keyboard.SetKeysyms(spare, homeKeysyms);
    keyboard.SetKeysyms(home, spareKeysyms);
    EXPECT_TRUE(WaitUntil([&] { return desktop.SendAltHome(), second.Pump(), second.altHomes > 1; }));
    keyboard.SetKeysyms(home, homeKeysyms);
    keyboard.SetKeysyms(spare, spareKeysyms);
}

TEST_F(OnOpenbox, SeesKeysWithoutTakingThemFromTheFocusedWindow) {
    Probe focused(display, "Typing probe");
    focused.Map();
    focused.Activate();
    const Client keyboard(display);
    EXPECT_FALSE(desktop.IsKeyPressed(Key::F5));
    keyboard.Key(kF5, true);
    keyboard.Key(kF5, false);
    EXPECT_TRUE(WaitUntil([&] { return focused.Pump(), focused.f5Presses == 1; })) << "F5 reached the window";
    EXPECT_TRUE(WaitUntil([&] { return desktop.IsKeyPressed(Key::F5); })) << "a tap between queries is seen";
    EXPECT_FALSE(desktop.IsKeyPressed(Key::F5)) << "once";
    EXPECT_FALSE(desktop.IsKeyPressed(Key::F4));
    EXPECT_FALSE(desktop.IsKeyPressed(Key::F8));
    keyboard.Key(kF8, true);
    EXPECT_TRUE(WaitUntil([&] { return desktop.IsKeyPressed(Key::F8); }));
    EXPECT_TRUE(desktop.IsKeyPressed(Key::F8)) << "still held";
    keyboard.Key(kF8, false);
    EXPECT_TRUE(WaitUntil([&] { return !desktop.IsKeyPressed(Key::F8); }));
}

}  // namespace
}  // namespace quellgate::x11::testing
