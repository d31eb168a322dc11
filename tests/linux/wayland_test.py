# The Linux edition on a Wayland desktop of the wlroots family, a headless sway:
# the back end against probe windows of the tests' own, and the running
# quellgate answering the commands that take the place of F4, F5 and F8.
import os
import signal
import subprocess
import time

from desktop import *  # noqa: F401,F403


def command(scratch, word):
    started = time.monotonic()
    done = subprocess.run([QUELLGATE, "--" + word], env=scratch.env, capture_output=True, text=True)
    assert time.monotonic() - started < 2, "answered within a second"
    return done.returncode, done.stderr.strip()


def test_lists_windows_by_title_and_sends_alt_home_to_the_focused_one(sway, scratch, start, probe):
    cli = start(DesktopCli(scratch.env, "wayland"))
    assert cli.ask("state") == ["connected yes missing"]
    first, second = probe("First Δίκτυο"), probe("Second")
    listed = lambda: sorted(cli.windows().values())
    eventually(lambda: listed() == ["shown First Δίκτυο", "shown Second"], "listed")
    first.say("title facebook — Log in")
    eventually(lambda: listed() == ["shown Second", "shown facebook — Log in"], "renamed")
    assert sway.focus("Second")
    assert cli.ask("althome") == ["ok"]
    eventually(lambda: second.alt_homes() == 1, "Alt+Home at the focused window")
    assert first.alt_homes() == 0, "only there"
    # As the compositor tells it: each key's keysym (Alt_L, Home: not the
    # keypad's) and the modifiers held (Mod1 is Alt); Alt is up again after.
    assert second.strokes() == [("press", "ffe9", "0"), ("press", "ff50", "8"), ("release", "ff50", "8"),
                                ("release", "ffe9", "8")]
    assert not second.alt_down()
    second.close()
    eventually(lambda: listed() == ["shown facebook — Log in"], "closed")
    assert cli.ask("pressed F5") == ["no"], "no key is watched here"


def test_answers_the_three_commands_also_after_a_kill(sway, scratch, probe, quellgate):
    assert command(scratch, "hide") == (1, "quellgate: no Quellgate runs for this session")
    other = probe("Elsewhere")
    program = quellgate()
    names = lambda: [w.name for w in sway.windows()]
    eventually(lambda: "Quellgate" in names(), "the splash", 20)  # which takes the focus here
    eventually(lambda: "Quellgate" not in names(), "the end of the splash")
    assert sway.focus("Elsewhere")
    assert command(scratch, "home-now") == (0, "")
    eventually(lambda: other.alt_homes() == 1, "home now")

    assert command(scratch, "show") == (0, "")
    prompt = wait_until(lambda: sway.focused("Quellgate"))
    assert prompt, "the password prompt, focused"
    sway.type("lotus7391", "-k", "Return")
    eventually(lambda: sway.focused("Quellgate", prompt), "the warning")
    sway.type("-k", "Return")
    eventually(lambda: sway.focused("QUELLGATE V. 1.0."), "the main window")
    assert command(scratch, "hide") == (0, "")
    eventually(lambda: "QUELLGATE V. 1.0." not in names(), "hidden")

    os.kill(program.process.pid, signal.SIGKILL)
    program.process.wait()
    assert command(scratch, "hide") == (1, "quellgate: no Quellgate runs for this session")
    quellgate()
    eventually(lambda: command(scratch, "hide") == (0, ""), "the new copy takes over the socket")


def test_blocks_through_a_flood_of_renames_and_after_a_pause(sway, scratch, probe, quellgate):
    scratch.file("settings").write_text("A=True\n")  # facebook BLOCKED
    target, flood = probe("facebook target"), probe("flood")
    program = quellgate()
    eventually(lambda: sway.focus("facebook target") and target.alt_homes() > 0, "blocking", 20)

    quiet = target.alt_homes_in(3)
    flood.say("flood 4")  # about 400 renames a second, long titles among them
    eventually(lambda: len(sway.windows()) >= 6, "the flood's windows")
    assert sway.focus("facebook target")
    assert target.alt_homes_in(3) >= quiet // 2, "as often during the flood as before it"

    # Stopped for a while, the program falls behind and the compositor drops
    # it; it connects again. The new keyboard reaches the window the user
    # focuses next.
    os.kill(program.process.pid, signal.SIGSTOP)
    time.sleep(10)
    os.kill(program.process.pid, signal.SIGCONT)
    time.sleep(3)
    sway.focus("flood")
    sway.focus("facebook target")
    eventually(lambda: target.alt_homes_in(1) > 0, "blocking again after the pause")
