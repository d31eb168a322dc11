# The Linux edition on GNOME Shell's Wayland session, a headless shell: the
# back end against probe windows through the program's extension, which
# answers it alone, the running quellgate through a flood of renames, and a
# start before the shell has loaded the extension.
import subprocess

from desktop import *  # noqa: F401,F403
from gnome import DIALOGS, NOBODY, SPLASH, WINDOWS, NobodysCli, gnome_shell, quellgate  # noqa: F401 (a fixture)


def quellgate_on(shell, start):
    # Once its splash, which takes the focus, has come and gone; its windows of some Meta.WindowTypes.
    program = start(quellgate(shell.env))
    ours = lambda *kinds: [w for w in shell.windows() if w[1] == program.process.pid and w[3] in kinds]
    eventually(lambda: ours(SPLASH), "the splash", 30)
    eventually(lambda: not ours(SPLASH), "the splash gone")
    return ours


def test_lists_windows_and_sends_alt_home_to_the_focused_one_for_quellgate_alone(gnome_shell, start, probe):
    shell = gnome_shell()
    cli = start(NobodysCli(shell.env))
    first, second = probe("First Δίκτυο"), probe("Second")
    listed = lambda: sorted(cli.windows().values())
    eventually(lambda: listed() == ["shown First Δίκτυο", "shown Second"], "listed")
    first.say("title facebook — Log in")
    eventually(lambda: listed() == ["shown Second", "shown facebook — Log in"], "renamed")
    assert shell.eval("(w => (w.minimize(), w.minimized))(%s.find(w => w.get_title() == %r))"
                      % (WINDOWS, "facebook — Log in")), "minimised"
    odd = "é\u0301𝔘\u202e✓ " * 200  # 3000 bytes: combining, astral, right-to-left
    second.say("title " + odd)
    eventually(lambda: listed() == ["shown facebook — Log in", "shown " + odd[:255]],
               "still listed, and cut whole characters at 255")
    assert shell.focus(pid=second.process.pid)
    assert cli.ask("althome") == ["ok"]
    eventually(lambda: second.alt_homes() == 1, "Alt+Home at the focused window")
    second.close()
    eventually(lambda: listed() == ["shown facebook — Log in"], "closed")

    # Only Quellgate of the session's user is answered.
    cli.close()
    other = subprocess.run(NOBODY + ["busctl", "--address=" + shell.env["DBUS_SESSION_BUS_ADDRESS"], "call",
                                     "org.gnome.Shell", "/org/quellgate/Windows", "org.quellgate.Windows", "List"],
                           env=shell.env, capture_output=True, text=True)
    assert "Access denied" in other.stderr, "another program of the user"
    root = start(NobodysCli(shell.env, as_root=True))
    assert root.wait_for_line("opened") == "opened failed", "another user's, though it holds the name"


def test_blocks_through_a_flood_of_renames(gnome_shell, scratch, start, probe):
    shell = gnome_shell()
    scratch.file("settings").write_text("A=True\n")  # facebook BLOCKED
    target, flood = probe("facebook target"), probe("flood")
    quellgate_on(shell, start)
    eventually(lambda: shell.focus("facebook target") and target.alt_homes() > 0, "blocking")

    quiet = target.alt_homes_in(3)
    target.say("title target")
    eventually(lambda: target.alt_homes_in(1) == 0, "no keyword, no Alt+Home")
    flood.say("flood 4")  # about 400 renames a second, long titles among them
    eventually(lambda: [w for w in shell.windows() if w[2] and w[0].startswith("flood 3 ")],
               "the flood's last window, which takes the focus as it comes")
    assert shell.focus("target")
    target.say("title facebook target")  # told during the flood
    assert target.alt_homes_in(3) >= quiet // 2, "as often during the flood as before it"


def test_tells_once_that_an_extension_installed_during_the_session_needs_a_new_login(gnome_shell, scratch, start):
    shell = gnome_shell(enabled=False)
    shell.install()
    assert start(NobodysCli(shell.env)).wait_for_line("opened") == "opened not-loaded"

    scratch.file("settings").write_text("A=True\n")  # facebook BLOCKED
    ours = quellgate_on(shell, start)
    assert [w[0] for w in ours(*DIALOGS)] == ["Quellgate"], "one message"
    # Meanwhile the windows of X11 programs are watched.
    x11 = start(Probe("facebook on X11", dict(shell.env, QT_QPA_PLATFORM="xcb")))
    eventually(lambda: shell.focus("facebook on X11") and x11.alt_homes() > 0, "blocking")
