# The Linux edition on a Wayland desktop of the wlroots family, a headless sway:
# the back end against probe windows of the tests' own, and the running
# quellgate answering the commands that take the place of F4, F5 and F8.
import os
import signal
import subprocess
import time

from desktop import *  # noqa: F401,F403


class OnSway(DesktopTest):
    def setUp(self):
        super().setUp()
        self.sway = self.on_sway()

    def command(self, word):
        started = time.monotonic()
        done = subprocess.run([QUELLGATE, "--" + word], env=self.scratch.env, capture_output=True, text=True)
        self.assertLess(time.monotonic() - started, 2, "answered within a second")
        return done.returncode, done.stderr.strip()

    def test_lists_windows_by_title_and_sends_alt_home_to_the_focused_one(self):
        cli = self.start(DesktopCli(self.scratch.env, "wayland"))
        self.assertEqual(cli.ask("state"), ["connected yes missing"])
        first, second = self.probe("First Δίκτυο"), self.probe("Second")
        listed = lambda: sorted(cli.windows()[0].values())
        self.assertEventually(lambda: listed() == ["shown First Δίκτυο", "shown Second"], "listed")
        order = cli.windows()[1]
        first.say("title facebook — Log in")
        self.assertEventually(lambda: listed() == ["shown Second", "shown facebook — Log in"], "renamed")
        self.assertEqual(cli.windows()[1], order, "in a stable order")
        self.assertTrue(self.sway.focus("Second"))
        self.assertEqual(cli.ask("althome"), ["ok"])
        self.assertEventually(lambda: second.alt_homes() == 1, "Alt+Home at the focused window")
        self.assertEqual(first.alt_homes(), 0, "only there")
        second.close()
        self.assertEventually(lambda: listed() == ["shown facebook — Log in"], "closed")
        self.assertEqual(cli.ask("pressed F5"), ["no"], "no key is watched here")

    def test_answers_the_three_commands_also_after_a_kill(self):
        self.assertEqual(self.command("hide"), (1, "quellgate: no Quellgate runs for this session"))
        other = self.probe("Elsewhere")
        program = self.quellgate()
        names = lambda: [w[0] for w in self.sway.windows()]
        self.assertEventually(lambda: "Quellgate" in names(), "the splash", 20)  # which takes the focus here
        self.assertEventually(lambda: "Quellgate" not in names(), "the end of the splash")
        self.assertTrue(self.sway.focus("Elsewhere"))
        self.assertEqual(self.command("home-now"), (0, ""))
        self.assertEventually(lambda: other.alt_homes() == 1, "home now")

        self.assertEqual(self.command("show"), (0, ""))
        prompt = wait_until(lambda: self.sway.focused("Quellgate"))
        self.assertTrue(prompt, "the password prompt, focused")
        self.sway.type("lotus7391", "-k", "Return")
        self.assertEventually(lambda: self.sway.focused("Quellgate", prompt), "the warning")
        self.sway.type("-k", "Return")
        self.assertEventually(lambda: self.sway.focused("QUELLGATE V. 1.0."), "the main window")
        self.assertEqual(self.command("hide"), (0, ""))
        self.assertEventually(lambda: "QUELLGATE V. 1.0." not in names(), "hidden")

        os.kill(program.process.pid, signal.SIGKILL)
        program.process.wait()
        self.assertEqual(self.command("hide"), (1, "quellgate: no Quellgate runs for this session"))
        self.quellgate()
        self.assertEventually(lambda: self.command("hide") == (0, ""), "the new copy takes over the socket")


    def test_blocks_through_a_flood_of_renames_and_after_a_pause(self):
        self.scratch.write("settings", "A=True\n")  # facebook BLOCKED
        target, flood = self.probe("facebook target"), self.probe("flood")
        program = self.quellgate()
        self.assertEventually(lambda: self.sway.focus("facebook target") and target.alt_homes() > 0, "blocking", 20)

        def alt_homes_in(seconds):
            before = target.alt_homes()
            time.sleep(seconds)
            return target.alt_homes() - before

        quiet = alt_homes_in(3)
        flood.say("flood 4")  # about 400 renames a second, long titles among them
        self.assertEventually(lambda: len(self.sway.windows()) >= 6, "the flood's windows")
        self.assertTrue(self.sway.focus("facebook target"))
        self.assertGreaterEqual(alt_homes_in(3), quiet // 2, "as often during the flood as before it")

        # Stopped for a while, the program falls behind and the compositor
        # drops it; it connects again. The new keyboard reaches the window
        # the user focuses next.
        os.kill(program.process.pid, signal.SIGSTOP)
        time.sleep(10)
        os.kill(program.process.pid, signal.SIGCONT)
        time.sleep(3)
        self.sway.focus("flood")
        self.sway.focus("facebook target")
        self.assertEventually(lambda: alt_homes_in(1) > 0, "blocking again after the pause")
