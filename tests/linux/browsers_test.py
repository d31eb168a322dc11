# Real browsers that no one here wrote, Debian's chromium and firefox-esr, with
# a local page as their home page: quellgate sends them home from a page whose
# title holds a blocked network, and F8 (on sway: quellgate --home-now) sends
# them home from any page. On X11 with openbox, and on a headless sway; on a
# headless GNOME Shell the first only, as no tool types there.
import json
import os
import signal
import subprocess
import time

import pytest

import gnome
from desktop import *  # noqa: F401,F403
from gnome import gnome_shell  # noqa: F401 (a fixture)

HERE = os.path.dirname(os.path.abspath(__file__))
PAGES = "file://" + os.path.join(HERE, "pages")
HOME = "Quellgate Test Home"


class Browser:
    # Debian's chromium or firefox-esr in a throwaway profile (browsers/) in
    # `folder`, whose home page is a local page, reaching nothing on the
    # network; `wayland` runs it as a Wayland program. Ended, with all its
    # processes, by close().

    def __init__(self, kind, env, wayland, folder):
        profile = os.path.join(folder, "profile")
        env = dict(env, HOME=folder, TMPDIR=folder, MOZ_CRASHREPORTER_DISABLE="1",
                   DBUS_SESSION_BUS_ADDRESS="disabled:", NO_AT_BRIDGE="1", MOZ_ENABLE_WAYLAND=str(int(wayland)))
        if wayland:  # nothing of another user's session: Firefox refuses to run as root in one (GNOME's)
            env = dict({k: env[k] for k in env if k not in ("DISPLAY", "XAUTHORITY")}, XDG_RUNTIME_DIR=folder)
        fixture = lambda name: open(os.path.join(HERE, "browsers", name))
        if kind == "chromium":
            os.makedirs(os.path.join(profile, "Default"))
            with fixture("chromium-preferences.json") as f:
                preferences = dict(json.load(f), homepage=PAGES + "/home.html")
            with open(os.path.join(profile, "Default", "Preferences"), "w") as f:
                json.dump(preferences, f)
            with fixture("chromium.flags") as f:
                flags = [line.strip() for line in f if line.strip() and not line.startswith("#")]
            command = ["/usr/lib/chromium/chromium", *flags, "--user-data-dir=" + profile]
            command += ["--ozone-platform=wayland"] if wayland else []
        else:
            os.makedirs(profile)
            with fixture("firefox-user.js") as f, open(os.path.join(profile, "user.js"), "w") as out:
                out.write(f.read() + 'user_pref("browser.startup.homepage", "%s/home.html");\n' % PAGES)
            command = ["/usr/lib/firefox-esr/firefox-esr", "--no-remote", "--profile", profile]
        self.log = open(os.path.join(folder, "browser.log"), "wb")
        self.process = subprocess.Popen(command + [PAGES + "/facebook.html"], env=env, stdin=subprocess.DEVNULL,
                                        stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True)

    def close(self):
        os.killpg(self.process.pid, signal.SIGTERM)
        try:
            self.process.wait(15)
        except subprocess.TimeoutExpired:
            pass
        try:
            os.killpg(self.process.pid, signal.SIGKILL)  # what it left behind, crash handlers among them
        except ProcessLookupError:
            pass
        self.process.wait()
        self.log.close()


@pytest.mark.parametrize("kind, desktop", [(kind, desktop) for desktop in ("x11", "sway", "gnome")
                                            for kind in ("chromium", "firefox")],
                         ids=["chromium", "firefox", "chromium_on_sway", "firefox_on_sway", "chromium_on_gnome",
                              "firefox_on_gnome"])
def test_browser(kind, desktop, request, scratch, start, quellgate, tmp_path_factory):
    start_quellgate = quellgate
    if desktop == "sway":
        sway = request.getfixturevalue("sway")
        titles = lambda: [window.name for window in sway.windows()]
        focus_browser = lambda: sway.focus(pid=browser.process.pid)
        type_url = lambda url: sway.type("-M", "ctrl", "l", "-m", "ctrl", url, "-k", "Return")
        home_now = lambda: subprocess.run([QUELLGATE, "--home-now"], env=scratch.env, check=True)
    elif desktop == "gnome":
        shell = request.getfixturevalue("gnome_shell")()
        titles = lambda: [window[0] for window in shell.windows()]
        focus_browser = lambda: shell.focus(pid=browser.process.pid)
        start_quellgate = lambda: start(gnome.quellgate(shell.env))
    else:
        titles = lambda: [title(w) for w in windows_of(browser.process.pid)]
        focus_browser = lambda: focus(windows_of(browser.process.pid)[0])
        type_url = lambda url: (key("ctrl+l"), type_text(url), key("Return"))
        home_now = lambda: key("F8")
    scratch.file("settings").write_text("A=True\n")  # facebook BLOCKED
    start_quellgate()
    began = time.monotonic()
    # A short folder: the browser's own sockets must fit in 108 bytes.
    browser = start(Browser(kind, scratch.env, desktop != "x11", str(tmp_path_factory.mktemp("browser"))))
    shown = lambda text: [t for t in titles() if t and text in t]
    eventually(lambda: shown("Facebook - Log In") or shown(HOME), "the page", 60)
    # GNOME gives a new window the focus unless it comes while the splash shows.
    eventually(lambda: (desktop != "gnome" or focus_browser()) and shown(HOME), "home from a blocked page", 10)
    print("\n%s: started and sent home in %.2f s" % (kind, time.monotonic() - began), end=" ")
    if desktop == "gnome":
        return  # no tool types there

    def go_elsewhere():
        assert focus_browser()
        type_url(PAGES + "/other.html")

    # A browser still busy with its first pages may miss the keys (Firefox
    # on sway about one time in two).
    assert again_until(go_elsewhere, lambda: shown("Another Page")), "another page, not %r" % titles()
    pressed = time.monotonic()
    home_now()
    eventually(lambda: shown(HOME), "home at once", 5)
    print("home at once in %.3f s" % (time.monotonic() - pressed), end=" ")
