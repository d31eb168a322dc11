# The Linux edition on GNOME Shell's Wayland session, a headless shell: the
# back end against probe windows through the program's extension, which
# answers it alone, the running quellgate through a flood of renames, and a
# start before the shell has loaded the extension.
import subprocess
import time

from desktop import *  # noqa: F401,F403
from gnome import DIALOGS, NOBODY, SPLASH, WINDOWS, GnomeShell, NobodysCli, quellgate


class OnGnome(DesktopTest):
    def on_gnome(self, enabled=True):
        shell = self.start(GnomeShell(self.scratch, enabled))
        self.scratch.env = dict(shell.env, QT_QPA_PLATFORM="wayland")  # the probes' too
        return shell

    def quellgate_on(self, shell):
        # Once its splash, which takes the focus, has come and gone; its windows of some Meta.WindowTypes.
        program = self.start(quellgate(shell.env))
        ours = lambda *kinds: [w for w in shell.windows() if w[1] == program.process.pid and w[3] in kinds]
        self.assertEventually(lambda: ours(SPLASH), "the splash", 30)
        self.assertEventually(lambda: not ours(SPLASH), "the splash gone")
        return ours

    def test_lists_windows_and_sends_alt_home_to_the_focused_one_for_quellgate_alone(self):
        shell = self.on_gnome()
        cli = self.start(NobodysCli(shell.env))
        first, second = self.probe("First Δίκτυο"), self.probe("Second")
        listed = lambda: sorted(cli.windows()[0].values())
        self.assertEventually(lambda: listed() == ["shown First Δίκτυο", "shown Second"], "listed")
        first.say("title facebook — Log in")
        self.assertEventually(lambda: listed() == ["shown Second", "shown facebook — Log in"], "renamed")
        self.assertTrue(shell.eval("(w => (w.minimize(), w.minimized))(%s.find(w => w.get_title() == %r))"
                                   % (WINDOWS, "facebook — Log in")), "minimised")
        odd = "é\u0301𝔘\u202e✓ " * 200  # 3000 bytes: combining, astral, right-to-left
        second.say("title " + odd)
        self.assertEventually(lambda: listed() == ["shown facebook — Log in", "shown " + odd[:255]],
                              "still listed, and cut whole characters at 255")
        self.assertTrue(shell.focus(pid=second.process.pid))
        self.assertEqual(cli.ask("althome"), ["ok"])
        self.assertEventually(lambda: second.alt_homes() == 1, "Alt+Home at the focused window")
        second.close()
        self.assertEventually(lambda: listed() == ["shown facebook — Log in"], "closed")

        # Only Quellgate of the session's user is answered.
        cli.close()
        other = subprocess.run(NOBODY + ["busctl", "--address=" + shell.env["DBUS_SESSION_BUS_ADDRESS"], "call",
                                         "org.gnome.Shell", "/org/quellgate/Windows", "org.quellgate.Windows", "List"],
                               env=shell.env, capture_output=True, text=True)
        self.assertIn("Access denied", other.stderr, "another program of the user")
        root = self.start(NobodysCli(shell.env, as_root=True))
        self.assertEqual(root.wait_for_line("opened"), "opened failed", "another user's, though it holds the name")

    def test_blocks_through_a_flood_of_renames(self):
        shell = self.on_gnome()
        self.scratch.write("settings", "A=True\n")  # facebook BLOCKED
        target, flood = self.probe("facebook target"), self.probe("flood")
        self.quellgate_on(shell)
        self.assertEventually(lambda: shell.focus("facebook target") and target.alt_homes() > 0, "blocking")

        def alt_homes_in(seconds):
            before = target.alt_homes()
            time.sleep(seconds)
            return target.alt_homes() - before

        quiet = alt_homes_in(3)
        target.say("title target")
        self.assertEventually(lambda: alt_homes_in(1) == 0, "no keyword, no Alt+Home")
        flood.say("flood 4")  # about 400 renames a second, long titles among them
        self.assertEventually(lambda: [w for w in shell.windows() if w[2] and w[0].startswith("flood 3 ")],
                              "the flood's last window, which takes the focus as it comes")
        self.assertTrue(shell.focus("target"))
        target.say("title facebook target")  # told during the flood
        self.assertGreaterEqual(alt_homes_in(3), quiet // 2, "as often during the flood as before it")

    def test_tells_once_that_an_extension_installed_during_the_session_needs_a_new_login(self):
        shell = self.on_gnome(enabled=False)
        shell.install()
        self.assertEqual(self.start(NobodysCli(shell.env)).wait_for_line("opened"), "opened not-loaded")

        self.scratch.write("settings", "A=True\n")  # facebook BLOCKED
        ours = self.quellgate_on(shell)
        self.assertEqual([w[0] for w in ours(*DIALOGS)], ["Quellgate"], "one message")
        # Meanwhile the windows of X11 programs are watched.
        x11 = self.start(Probe("facebook on X11", dict(shell.env, QT_QPA_PLATFORM="xcb")))
        self.assertEventually(lambda: shell.focus("facebook on X11") and x11.alt_homes() > 0, "blocking")
