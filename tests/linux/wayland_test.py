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

