# The Linux edition on KDE Plasma's Wayland desktop, a headless KWin: the back
# end against probe windows of the tests' own, its script in KWin whatever
# happens to it, and the running quellgate against a flood of renames and
# against the real browsers of browsers_test.py.
import glob
import os
import re
import signal
import subprocess
import time

from browsers_test import HOME, Browser
from desktop import *  # noqa: F401,F403
from kwin import NOBODY, KWinCli, on_kwin, quellgate_on_kwin

READY = ["script ok; keystrokes ok"]


class OnKWin(DesktopTest):
    def setUp(self):
        super().setUp()
        self.kwin = on_kwin(self)

    def test_lists_windows_and_sends_alt_home_to_the_focused_one(self):
        cli = self.start(KWinCli(self.scratch.env))
        self.assertEqual(cli.ask("state"), READY)
        first, second = self.probe("First Δίκτυο"), self.probe("Second")
        listed = lambda: sorted(cli.windows()[0].values())
        self.assertEventually(lambda: listed() == ["shown First Δίκτυο", "shown Second"], "listed")
        odd = "facebook \u202e\u200d😀 " + "ü" * 1500  # 3,000 bytes and more
        first.say("title " + odd)
        self.assertEventually(lambda: any(w.startswith("shown " + odd[:255]) for w in listed()), "renamed")
        self.assertTrue(self.kwin.on("Second", "minimise"))
        self.assertTrue(self.kwin.on(odd[:255], "activate"))
        self.assertEqual([cli.ask("althome") for _ in range(2)], [["ok"]] * 2)
        self.assertEventually(lambda: first.alt_homes() == 2, "both Alt+Home at the focused window")
        self.assertIn("shown Second", listed(), "minimised and still listed")
        second.close()
        self.assertEventually(lambda: len(listed()) == 1, "closed")

        cli.say("\n".join(["althome"] * 40))  # all in the same moment
        time.sleep(4)
        self.assertLess(first.alt_homes(), 42, "as many as a tick takes, not all that were asked")

    def test_one_script_whatever_happens_to_it(self):
        before = self.kwin.loaded_scripts()
        stale = self.start(KWinCli(self.scratch.env))
        self.assertEqual(stale.ask("state"), READY)
        os.kill(stale.process.pid, signal.SIGKILL)
        cli = self.start(KWinCli(self.scratch.env))
        self.assertEqual(cli.ask("state"), READY)
        self.assertEqual(self.kwin.loaded_scripts(), before + 1, "the one a killed copy left replaced")

        probe = self.probe("Before")
        self.assertEventually(lambda: "shown Before" in cli.windows()[0].values(), "listed")
        with open(glob.glob(self.scratch.root + "/runtime/*.kwin.js")[0]) as script:
            ours = re.search(r'"(:[0-9.]+)"', script.read()).group(1)  # where it calls
        subprocess.run(NOBODY + ["dbus-send", "--session", "--print-reply", "--dest=" + ours, "/org/quellgate/KWin",
                                 "org.quellgate.KWin.Reset"], env=self.scratch.env, capture_output=True)
        self.assertIn("shown Before", cli.windows()[0].values(), "a call from another program refused")
        self.kwin.qdbus("/Scripting", "org.kde.kwin.Scripting.unloadScript", "quellgate")
        probe.say("title After")
        self.assertEventually(lambda: "shown After" in cli.windows()[0].values(), "loaded again", 15)

        cli.process.stdin.close()  # as the program ends
        cli.process.wait(10)
        self.assertEqual(self.kwin.qdbus("/Scripting", "org.kde.kwin.Scripting.isScriptLoaded", "quellgate"), "false",
                         "unloaded at the end")

    def test_says_why_it_cannot_send_keys(self):
        applications = os.path.join(self.kwin.env["XDG_DATA_HOME"], "applications")
        os.rmdir(applications)
        open(applications, "w").close()  # where no entry can be written
        cli = self.start(KWinCli(self.scratch.env))
        self.assertRegex(cli.ask("state")[0], "^script ok; keystrokes KWin does not offer its fake input .*: "
                         + re.escape(applications + "/quellgate-kwin.desktop could not be written"))
        self.assertTrue(cli.ask("althome")[0].startswith("failed KWin does not offer"))

    def test_blocks_through_a_flood_of_renames(self):
        self.scratch.write("settings", "A=True\n")  # facebook BLOCKED
        target, flood = self.probe("facebook target"), self.probe("flood")
        quellgate_on_kwin(self)
        self.assertEventually(lambda: self.kwin.on("facebook target", "activate") and target.alt_homes() > 0, "blocking", 30)

        def alt_homes_in(seconds):
            before = target.alt_homes()
            time.sleep(seconds)
            return target.alt_homes() - before

        quiet = alt_homes_in(3)
        flood.say("flood 4")  # about 400 renames a second, long titles among them
        self.assertEventually(lambda: len(self.kwin.windows()) >= 6, "the flood's windows")
        self.assertTrue(self.kwin.on("facebook target", "activate"))
        self.assertGreaterEqual(alt_homes_in(3), quiet // 2, "as often during the flood as before it")


class BrowsersOnKWin(DesktopTest):
    # Started on a page whose title holds a blocked network, sent home.
    def browse(self, kind):
        kwin = on_kwin(self)
        self.scratch.write("settings", "A=True\n")  # facebook BLOCKED
        quellgate_on_kwin(self)
        os.mkdir(runtime := self.scratch.root + "/root", 0o700)  # Firefox, run by root, wants one of root's
        self.start(Browser(kind, dict(self.scratch.env, XDG_RUNTIME_DIR=runtime), True))
        shown = lambda text: [w for w in kwin.windows() if text in w[0]]
        self.assertEventually(lambda: shown("Facebook - Log In") or shown(HOME), "the page", 60)
        self.assertEventually(lambda: shown(HOME), "home from a blocked page", 10)

    def test_chromium(self):
        self.browse("chromium")

    def test_firefox(self):
        self.browse("firefox")
