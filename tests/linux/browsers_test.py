# Real browsers that no one here wrote, Debian's chromium and firefox-esr, with
# a local page as their home page: quellgate sends them home from a page whose
# title holds a blocked network, and F8 (on sway: quellgate --home-now) sends
# them home from any page. On X11 with openbox, and on a headless sway; on a
# headless GNOME Shell the first only, as no tool types there.
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

from desktop import *  # noqa: F401,F403
from gnome import GnomeShell, quellgate

HERE = os.path.dirname(os.path.abspath(__file__))
PAGES = "file://" + os.path.join(HERE, "pages")
HOME = "Quellgate Test Home"


class Browser:
    # Debian's chromium or firefox-esr in a throwaway profile (browsers/) whose
    # home page is a local page, reaching nothing on the network; `wayland`
    # runs it as a Wayland program. Ended, with all its processes, with the object.

    def __init__(self, kind, env, wayland):
        self.folder = tempfile.mkdtemp(prefix="quellgate-browser-")
        profile = os.path.join(self.folder, "profile")
        env = dict(env, HOME=self.folder, TMPDIR=self.folder, MOZ_CRASHREPORTER_DISABLE="1",
                   DBUS_SESSION_BUS_ADDRESS="disabled:", NO_AT_BRIDGE="1", MOZ_ENABLE_WAYLAND=str(int(wayland)))
        if wayland:  # nothing of another user's session: Firefox refuses to run as root in one (GNOME's)
            env = dict({k: env[k] for k in env if k not in ("DISPLAY", "XAUTHORITY")}, XDG_RUNTIME_DIR=self.folder)
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
        self.log = open(os.path.join(self.folder, "browser.log"), "wb")
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
        shutil.rmtree(self.folder, ignore_errors=True)


class RealBrowser(DesktopTest):
    def browse(self, kind, desktop):
        start_quellgate = self.quellgate
        if desktop == "sway":
            sway = self.on_sway()
            titles = lambda: [window[0] for window in sway.windows()]
            focus_browser = lambda: sway.focus(pid=browser.process.pid)
            type_url = lambda url: sway.type("-M", "ctrl", "l", "-m", "ctrl", url, "-k", "Return")
            home_now = lambda: subprocess.run([QUELLGATE, "--home-now"], env=self.scratch.env, check=True)
        elif desktop == "gnome":
            shell = self.start(GnomeShell(self.scratch))
            self.scratch.env = shell.env
            titles = lambda: [window[0] for window in shell.windows()]
            focus_browser = lambda: shell.focus(pid=browser.process.pid)
            start_quellgate = lambda: self.start(quellgate(shell.env))
        else:
            titles = lambda: [title(w) for w in windows_of(browser.process.pid)]
            focus_browser = lambda: focus(windows_of(browser.process.pid)[0])
            type_url = lambda url: (key("ctrl+l"), type_text(url), key("Return"))
            home_now = lambda: key("F8")
        self.scratch.write("settings", "A=True\n")  # facebook BLOCKED
        start_quellgate()
        began = time.monotonic()
        browser = self.start(Browser(kind, self.scratch.env, desktop != "x11"))
        shown = lambda text: [t for t in titles() if text in t]
        self.assertEventually(lambda: shown("Facebook - Log In") or shown(HOME), "the page", 60)
        # GNOME gives a new window the focus unless it comes while the splash shows.
        self.assertEventually(lambda: (desktop != "gnome" or focus_browser()) and shown(HOME),
                              "home from a blocked page", 10)
        print("\n%s: started and sent home in %.2f s" % (kind, time.monotonic() - began), end=" ")
        if desktop == "gnome":
            return
        def go_elsewhere():
            self.assertTrue(focus_browser())
            type_url(PAGES + "/other.html")

        # A browser still busy with its first pages may miss the keys (Firefox
        # on sway about one time in two).
        self.assertTrue(again_until(go_elsewhere, lambda: shown("Another Page")), "another page, not %r" % titles())
        pressed = time.monotonic()
        home_now()
        self.assertEventually(lambda: shown(HOME), "home at once", 5)
        print("home at once in %.3f s" % (time.monotonic() - pressed), end=" ")

    def test_chromium(self):
        self.browse("chromium", "x11")

    def test_firefox(self):
        self.browse("firefox", "x11")

    def test_chromium_on_sway(self):
        self.browse("chromium", "sway")

    def test_firefox_on_sway(self):
        self.browse("firefox", "sway")

    def test_chromium_on_gnome(self):
        self.browse("chromium", "gnome")

    def test_firefox_on_gnome(self):
        self.browse("firefox", "gnome")

