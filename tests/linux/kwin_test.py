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

import pytest

from browsers_test import HOME, Browser
from desktop import *  # noqa: F401,F403
from kwin import NOBODY, KWinCli, kwin, quellgate  # noqa: F401 (fixtures)

READY = ["script ok; keystrokes ok"]


def test_lists_windows_and_sends_alt_home_to_the_focused_one(kwin, scratch, start, probe):
    cli = start(KWinCli(scratch.env))
    assert cli.ask("state") == READY
    first, second = probe("First Δίκτυο"), probe("Second")
    listed = lambda: sorted(cli.windows().values())
    eventually(lambda: listed() == ["shown First Δίκτυο", "shown Second"], "listed")
    odd = "facebook \u202e\u200d😀 " + "ü" * 1500  # 3,000 bytes and more
    first.say("title " + odd)
    eventually(lambda: any(w.startswith("shown " + odd[:255]) for w in listed()), "renamed")
    assert kwin.on("Second", "minimise")
    assert kwin.on(odd[:255], "activate")
    assert [cli.ask("althome") for _ in range(2)] == [["ok"]] * 2
    eventually(lambda: first.alt_homes() == 2, "both Alt+Home at the focused window")
    assert "shown Second" in listed(), "minimised and still listed"
    second.close()
    eventually(lambda: len(listed()) == 1, "closed")

    cli.say("\n".join(["althome"] * 40))  # all in the same moment
    time.sleep(4)
    assert first.alt_homes() < 42, "as many as a tick takes, not all that were asked"


def test_one_script_whatever_happens_to_it(kwin, scratch, start, probe):
    before = kwin.loaded_scripts()
    stale = start(KWinCli(scratch.env))
    assert stale.ask("state") == READY
    os.kill(stale.process.pid, signal.SIGKILL)
    cli = start(KWinCli(scratch.env))
    assert cli.ask("state") == READY
    assert kwin.loaded_scripts() == before + 1, "the one a killed copy left replaced"

    window = probe("Before")
    eventually(lambda: "shown Before" in cli.windows().values(), "listed")
    with open(glob.glob(str(scratch.root / "runtime" / "*.kwin.js"))[0]) as script:
        ours = re.search(r'"(:[0-9.]+)"', script.read()).group(1)  # where it calls
    subprocess.run(NOBODY + ["dbus-send", "--session", "--print-reply", "--dest=" + ours, "/org/quellgate/KWin",
                             "org.quellgate.KWin.Reset"], env=scratch.env, capture_output=True)
    assert "shown Before" in cli.windows().values(), "a call from another program refused"
    kwin.qdbus("/Scripting", "org.kde.kwin.Scripting.unloadScript", "quellgate")
    window.say("title After")
    eventually(lambda: "shown After" in cli.windows().values(), "loaded again", 15)

    cli.process.stdin.close()  # as the program ends
    cli.process.wait(10)
    assert kwin.qdbus("/Scripting", "org.kde.kwin.Scripting.isScriptLoaded", "quellgate") == "false", \
        "unloaded at the end"


def test_says_why_it_cannot_send_keys(kwin, scratch, start):
    applications = os.path.join(kwin.env["XDG_DATA_HOME"], "applications")
    os.rmdir(applications)
    open(applications, "w").close()  # where no entry can be written
    cli = start(KWinCli(scratch.env))
    assert re.match("^script ok; keystrokes KWin does not offer its fake input .*: "
                    + re.escape(applications + "/quellgate-kwin.desktop could not be written"), cli.ask("state")[0])
    assert cli.ask("althome")[0].startswith("failed KWin does not offer")


def test_blocks_through_a_flood_of_renames(kwin, scratch, probe, quellgate):
    scratch.file("settings").write_text("A=True\n")  # facebook BLOCKED
    target, flood = probe("facebook target"), probe("flood")
    quellgate()
    eventually(lambda: kwin.on("facebook target", "activate") and target.alt_homes() > 0, "blocking", 30)

    quiet = target.alt_homes_in(3)
    flood.say("flood 4")  # about 400 renames a second, long titles among them
    eventually(lambda: len(kwin.windows()) >= 6, "the flood's windows")
    assert kwin.on("facebook target", "activate")
    assert target.alt_homes_in(3) >= quiet // 2, "as often during the flood as before it"


@pytest.mark.parametrize("kind", ["chromium", "firefox"])
def test_browser_is_sent_home(kind, kwin, scratch, start, quellgate, tmp_path_factory):
    # Started on a page whose title holds a blocked network.
    scratch.file("settings").write_text("A=True\n")  # facebook BLOCKED
    quellgate()
    # A short folder: the browser's own sockets must fit in 108 bytes.
    start(Browser(kind, scratch.env, True, str(tmp_path_factory.mktemp("browser"))))
    shown = lambda text: [w for w in kwin.windows() if text in w[0]]
    eventually(lambda: shown("Facebook - Log In") or shown(HOME), "the page", 60)
    eventually(lambda: shown(HOME), "home from a blocked page", 10)
