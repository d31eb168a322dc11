# The X11 desktop back end against real X servers: the one tools/with-x11.sh
# gives, with openbox, and servers of the test's own.
import os
import subprocess
import unittest
import unittest.mock

from desktop import *  # noqa: F401,F403


class OwnServer:
    # An Xvfb of the test's own, on a display number it picks itself.

    def __init__(self, *options):
        read, write = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", *options],
                                        pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.display = ":" + f.readline().strip()

    def close(self):
        self.process.terminate()
        self.process.wait()


class OnOpenbox(DesktopTest):
    def setUp(self):
        super().setUp()
        self.cli = self.start(DesktopCli())

    def test_lists_shown_and_minimised_windows_by_their_captions_but_not_withdrawn_ones(self):
        utf8, plain, withdrawn = self.probe("Δίκτυο — 日本語 🙂"), self.probe("plain"), self.probe("Withdrawn")
        run("xprop", "-id", str(plain.id), "-remove", "_NET_WM_NAME")
        run("xprop", "-id", str(plain.id), "-f", "WM_NAME", "8s", "-set", "WM_NAME", "The ICCCM name")
        run("xdotool", "windowminimize", "--sync", str(plain.id))
        run("xdotool", "windowunmap", "--sync", str(withdrawn.id))
        wanted = {utf8.id: "shown Δίκτυο — 日本語 🙂", plain.id: "shown The ICCCM name", withdrawn.id: "absent"}
        wait_until(lambda: all(self.cli.listed(w) == c for w, c in wanted.items()))
        for window, caption in wanted.items():
            self.assertEqual(self.cli.listed(window), caption)
        utf8.say("title facebook — Log in")
        self.assertEventually(lambda: self.cli.listed(utf8.id) == "shown facebook — Log in", "renamed")
        utf8.close()
        self.assertEventually(lambda: self.cli.listed(utf8.id) == "absent", "closed")
        self.assertEqual(self.cli.ask("state"), ["connected yes manager yes keystrokes yes keys yes"])

    def test_alt_home_reaches_the_focused_window_whatever_the_keyboard_map(self):
        first, second = self.probe("First"), self.probe("Second")
        for focused in (first, second):
            self.assertTrue(focus(focused.id))
            self.assertEqual(self.cli.ask("althome"), ["ok"])
            self.assertEventually(lambda: focused.alt_homes() == 1, "Alt+Home at the focused window")
        self.assertEqual(first.alt_homes(), 1, "only the focused window")
        # Home moves to another key, as a keyboard layout may put it.
        home = run("xmodmap", "-pke").split("\n")
        old = next(line for line in home if line.split("=")[-1].split()[:1] == ["Home"]).split()[1]
        run("xmodmap", "-e", "keycode %s = NoSymbol" % old, "-e", "keycode 250 = Home")
        self.addCleanup(run, "xmodmap", "-e", "keycode 250 = NoSymbol", "-e", "keycode %s = Home" % old)
        self.assertEventually(lambda: self.cli.ask("althome") and second.alt_homes() > 1, "a moved Home key")

    def test_sees_keys_without_taking_them_from_the_focused_window(self):
        focused = self.probe("Typing")
        self.assertTrue(focus(focused.id))
        self.assertEqual(self.cli.ask("pressed F5"), ["no"])
        key("F5")
        self.assertEventually(lambda: focused.keys() == ["F5"], "F5 reached the window")
        self.assertEqual(self.cli.ask("pressed F5"), ["yes"], "a tap between queries is seen")
        self.assertEqual(self.cli.ask("pressed F5"), ["no"], "once")
        self.assertEqual(self.cli.ask("pressed F4") + self.cli.ask("pressed F8"), ["no", "no"])
        run("xdotool", "keydown", "F8")
        self.assertEventually(lambda: self.cli.ask("pressed F8") == ["yes"], "F8 held")
        self.assertEqual(self.cli.ask("pressed F8"), ["yes"], "still held")
        run("xdotool", "keyup", "F8")
        self.assertEventually(lambda: self.cli.ask("pressed F8") == ["no"], "F8 let go")


class OwnServers(DesktopTest):
    def own(self, *options):
        server = self.start(OwnServer(*options))
        self.scratch.env["DISPLAY"] = server.display
        display = unittest.mock.patch.dict(os.environ, DISPLAY=server.display)  # for the tools too
        display.start()
        self.addCleanup(display.stop)
        return server, self.start(DesktopCli(self.scratch.env))

    def test_without_a_window_manager_lists_the_roots_children_bottom_to_top_until_one_comes(self):
        server, cli = self.own()
        lower, upper = self.probe("Lower"), self.probe("Upper")
        order = lambda: [w for w in cli.windows()[1] if w in (lower.id, upper.id)]
        self.assertEventually(lambda: order() == [lower.id, upper.id], "bottom to top")
        run("xdotool", "windowraise", str(lower.id))
        self.assertEventually(lambda: order() == [upper.id, lower.id], "raised")
        run("xdotool", "windowunmap", "--sync", str(upper.id))
        self.assertEventually(lambda: cli.listed(upper.id) == "hidden Upper", "unmapped")
        self.assertEqual(cli.ask("state")[0].split()[3], "no")
        manager = self.start(Child(["openbox", "--sm-disable"], self.scratch.env, stdin=subprocess.DEVNULL))
        self.assertEventually(lambda: cli.windows() and cli.ask("state")[0].split()[3] == "yes", "its clients")
        self.assertEventually(lambda: cli.listed(lower.id) == "shown Lower", "managed")
        run("xdotool", "windowmap", "--sync", str(upper.id))
        self.assertTrue(focus(lower.id))
        self.assertEventually(lambda: order() == [upper.id, lower.id], "as the manager stacks them")
        manager.close()
        self.assertEventually(lambda: cli.windows() and cli.ask("state")[0].split()[3] == "no", "gone")

    def test_without_xtest_or_a_server_it_sends_and_lists_nothing_and_never_fails(self):
        server, cli = self.own("-extension", "XTEST")
        probe = self.probe("Still here")
        self.assertEqual(cli.ask("state"), ["connected yes manager no keystrokes no keys yes"])
        self.assertEqual(cli.ask("althome"), ["failed the X server lacks the XTest extension"])
        self.assertEventually(lambda: cli.listed(probe.id) == "shown Still here", "listed all the same")
        server.close()
        self.assertEventually(lambda: cli.windows() == ({}, []), "nothing listed")
        self.assertEqual(cli.ask("althome") + cli.ask("pressed F5"),
                         ["failed the connection to the X server is broken", "no"])

