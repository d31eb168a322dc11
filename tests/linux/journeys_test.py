# The Linux edition as a person uses it: the real quellgate, driven and
# watched only through the X server (xdotool, xprop, wmctrl) and the files it
# keeps, on Xvfb with openbox.
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from desktop import *  # noqa: E402,F401,F403

MAIN_TITLE = "QUELLGATE V. 1.0."


def centre_of(window, left, top, width, height):
    # A control's centre in the main window, from its place in twips: Qt puts
    # the layout's canvas at the bottom of the window, under the menu bar.
    size = run("xdotool", "getwindowgeometry", str(window)).split("Geometry: ")[1].split("x")
    return (left + width // 2) // 15, int(size[1]) - (5925 - top - height // 2) // 15


FACEBOOK_ICON = (600, 600, 870, 870)  # the networks frame's offset and the icon's place
ADD_BUTTON = (4080, 5040, 360, 360)


class Journey(DesktopTest):
    def window(self, program, name, previous=None):
        # The program's focused window of that title, other than `previous`.
        found = wait_until(lambda: [w for w in windows_of(program.process.pid, "^%s$" % name)
                                    if w != previous and active() == w], 10)
        self.assertTrue(found, "no focused window %r; windows: %r" % (
            name, [title(w) for w in windows_of(program.process.pid)]))
        return found[0]

    def assertOffTaskBar(self, program):
        for window in windows_of(program.process.pid):
            self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", states(window), title(window))

    def unlock(self, program):
        key("F5")
        prompt = self.window(program, "Quellgate")
        self.assertOffTaskBar(program)
        type_text("lotus7391")
        key("Return")
        self.window(program, "Quellgate", prompt)  # the warning about the default password
        key("Return")
        main = self.window(program, MAIN_TITLE)
        self.assertOffTaskBar(program)
        return main

    def test_first_start_shows_the_splash_only_refuses_a_second_copy_and_asks_before_ending(self):
        probe = self.probe("F8 probe")
        self.assertTrue(focus(probe.id))
        program = self.quellgate()
        splash = wait_until(lambda: windows_of(program.process.pid), 20)
        self.assertEqual([title(w) for w in splash], ["Quellgate"])
        self.assertIn("_NET_WM_STATE_ABOVE", states(splash[0]))
        self.assertOffTaskBar(program)
        focused = []
        self.assertEventually(lambda: focused.append(active()) or not windows_of(program.process.pid),
                              "the splash goes")
        self.assertEqual(set(focused), {probe.id}, "the splash leaves the focus where it was")
        with open(os.path.join(self.scratch.config, "autostart", "quellgate.desktop")) as entry:
            self.assertIn("\nExec=%s\n" % os.path.realpath(QUELLGATE), entry.read())
        self.assertEqual(os.path.getsize(self.scratch.file("blocklist")), 0, "created empty")

        second = self.quellgate()
        self.window(second, "Quellgate")
        key("Return")
        self.assertEqual(second.process.wait(10), 0)
        self.assertIsNone(program.process.poll())

        self.assertTrue(focus(probe.id))
        key("F8")
        self.assertEventually(lambda: probe.alt_homes() == 1, "F8 sends Alt+Home")
        time.sleep(1)  # three ticks, which must send nothing more
        self.assertEqual(probe.alt_homes(), 1)

        main = self.unlock(program)
        os.remove(self.scratch.file("blocklist"))
        close(main)
        self.window(program, "Quellgate")
        key("Return")  # Yes
        self.assertEqual(program.process.wait(10), 0)
        self.assertTrue(os.path.exists(self.scratch.file("blocklist")), "saved before it ends")

    def test_unlock_block_a_network_add_a_keyword_hide_and_show_again(self):
        program = self.quellgate()
        facebook = self.probe("Facebook - Log In")
        self.assertTrue(focus(facebook.id))
        time.sleep(1)
        self.assertEqual(facebook.alt_homes(), 0, "facebook is free at first")
        main = self.unlock(program)
        click(main, *centre_of(main, *FACEBOOK_ICON))
        self.assertEventually(lambda: "A=True" in open(self.scratch.file("settings")).read(), "stored")
        self.assertTrue(focus(facebook.id))
        self.assertEventually(lambda: facebook.alt_homes() >= 3, "one Alt+Home a tick", 5)
        facebook.close()  # else the prompt below gets Alt+Home at every tick

        self.assertTrue(focus(main))
        click(main, *centre_of(main, *ADD_BUTTON))
        self.window(program, "Quellgate")
        type_text("Gossip Corner")
        key("Return")
        self.assertEventually(lambda: os.path.getsize(self.scratch.file("blocklist")) == len("gossip corner\r\n"),
                              "saved, one enciphered line")
        gossip = self.probe("Gossip Corner - News")
        self.assertTrue(focus(gossip.id))
        self.assertEventually(lambda: gossip.alt_homes() >= 1, "the keyword is blocked")
        gossip.close()

        key("F4")
        self.assertEventually(lambda: not windows_of(program.process.pid), "hidden by F4")
        self.unlock(program)  # off the task bar again

    def test_blocks_while_a_start_up_message_waits_for_an_answer(self):
        os.makedirs(self.scratch.file("blocklist"))  # a folder in the file's place
        self.scratch.write("settings", "A=True\n")
        facebook = self.probe("Facebook - Log In")
        program = self.quellgate()
        self.window(program, "Quellgate")
        self.assertTrue(focus(facebook.id))
        self.assertEventually(lambda: facebook.alt_homes() >= 3, "the message has not stopped the watch", 5)
        self.assertTrue(windows_of(program.process.pid, "^Quellgate$"), "the message still waits")


if __name__ == "__main__":
    unittest.main()
