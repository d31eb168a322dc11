# The X11 desktop back end against real X servers: the one tools/with-x11.sh
# gives, with openbox, and servers of the test's own.
import os
import subprocess

import pytest

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


@pytest.fixture
def cli(start):
    return start(DesktopCli())


def test_lists_shown_and_minimised_windows_by_their_captions_but_not_withdrawn_ones(cli, probe):
    utf8, plain, withdrawn = probe("Δίκτυο — 日本語 🙂"), probe("plain"), probe("Withdrawn")
    run("xprop", "-id", str(plain.id), "-remove", "_NET_WM_NAME")
    run("xprop", "-id", str(plain.id), "-f", "WM_NAME", "8s", "-set", "WM_NAME", "The ICCCM name")
    run("xdotool", "windowminimize", "--sync", str(plain.id))
    run("xdotool", "windowunmap", "--sync", str(withdrawn.id))
    wanted = {utf8.id: "shown Δίκτυο — 日本語 🙂", plain.id: "shown The ICCCM name", withdrawn.id: "absent"}
    eventually(lambda: {w: cli.listed(w) for w in wanted} == wanted, "listed as they are")
    utf8.say("title facebook — Log in")
    eventually(lambda: cli.listed(utf8.id) == "shown facebook — Log in", "renamed")
    utf8.close()
    eventually(lambda: cli.listed(utf8.id) == "absent", "closed")
    assert cli.ask("state") == ["connected yes manager yes keystrokes yes keys yes"]


def test_alt_home_reaches_the_focused_window_as_alt_and_home_whatever_the_keyboard_map(cli, probe):
    first, second = probe("First"), probe("Second")
    for focused in (first, second):
        assert focus(focused.id)
        assert cli.ask("althome") == ["ok"]
        eventually(lambda: focused.alt_homes() == 1, "Alt+Home at the focused window")
    assert first.alt_homes() == 1, "only the focused window"
    # As the X server tells it: each key's keysym (Alt_L, Home: not the
    # keypad's) and the modifiers held (Mod1 is Alt); Alt is up again after.
    assert first.strokes() == [("press", "ffe9", "0"), ("press", "ff50", "8"), ("release", "ff50", "8"),
                               ("release", "ffe9", "8")]
    assert not first.alt_down()
    # Home moves to another key, as a keyboard layout may put it.
    home = run("xmodmap", "-pke").split("\n")
    old = next(line for line in home if line.split("=")[-1].split()[:1] == ["Home"]).split()[1]
    run("xmodmap", "-e", "keycode %s = NoSymbol" % old, "-e", "keycode 250 = Home")
    try:
        eventually(lambda: cli.ask("althome") and second.alt_homes() > 1, "a moved Home key")
    finally:
        run("xmodmap", "-e", "keycode 250 = NoSymbol", "-e", "keycode %s = Home" % old)


def test_sees_keys_without_taking_them_from_the_focused_window(cli, probe):
    focused = probe("Typing")
    assert focus(focused.id)
    assert cli.ask("pressed F5") == ["no"]
    key("F5")
    eventually(lambda: focused.keys() == ["F5"], "F5 reached the window")
    assert cli.ask("pressed F5") == ["yes"], "a tap between queries is seen"
    assert cli.ask("pressed F5") == ["no"], "once"
    assert cli.ask("pressed F4") + cli.ask("pressed F8") == ["no", "no"]
    run("xdotool", "keydown", "F8")
    eventually(lambda: cli.ask("pressed F8") == ["yes"], "F8 held")
    assert cli.ask("pressed F8") == ["yes"], "still held"
    run("xdotool", "keyup", "F8")
    eventually(lambda: cli.ask("pressed F8") == ["no"], "F8 let go")


@pytest.fixture
def own(start, scratch, monkeypatch):
    # An X server of the test's own, for the tools too, and the back end on it.
    def server(*options):
        started = start(OwnServer(*options))
        scratch.env["DISPLAY"] = started.display
        monkeypatch.setenv("DISPLAY", started.display)
        return started, start(DesktopCli(scratch.env))
    return server


def test_without_a_window_manager_lists_the_roots_children_until_one_comes(own, probe, start, scratch):
    server, cli = own()
    lower, upper = probe("Lower"), probe("Upper")
    eventually(lambda: cli.listed(upper.id) == "shown Upper", "mapped")  # so only the unmapping can tell
    run("xdotool", "windowunmap", "--sync", str(upper.id))
    eventually(lambda: cli.listed(upper.id) == "hidden Upper", "unmapped")
    assert cli.ask("state")[0].split()[3] == "no"
    manager = start(Child(["openbox", "--sm-disable"], scratch.env, stdin=subprocess.DEVNULL))
    eventually(lambda: cli.windows() and cli.ask("state")[0].split()[3] == "yes", "its clients")  # a listing looks
    eventually(lambda: cli.listed(lower.id) == "shown Lower", "managed")
    manager.close()
    eventually(lambda: cli.listed(upper.id) == "hidden Upper" and cli.ask("state")[0].split()[3] == "no", "gone")


def test_without_xtest_or_a_server_it_sends_and_lists_nothing_and_never_fails(own, probe):
    server, cli = own("-extension", "XTEST")
    still = probe("Still here")
    assert cli.ask("state") == ["connected yes manager no keystrokes no keys yes"]
    assert cli.ask("althome") == ["failed the X server lacks the XTest extension"]
    eventually(lambda: cli.listed(still.id) == "shown Still here", "listed all the same")
    server.close()
    eventually(lambda: cli.windows() == {}, "nothing listed")
    assert cli.ask("althome") + cli.ask("pressed F5") == ["failed the connection to the X server is broken", "no"]
