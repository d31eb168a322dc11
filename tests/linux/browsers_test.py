# Real browsers that no one here wrote, Debian's chromium and firefox-esr, with
# a local page as their home page: quellgate sends them home from a page whose
# title holds a blocked network, and F8 (on sway: quellgate --home-now) sends
# them home from any page. On X11 with openbox, and on a headless sway.
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from desktop import *  # noqa: E402,F401,F403

PAGES = "file://" + os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages")
HOME = "Quellgate Test Home"


class RealBrowser(DesktopTest):
    def on_x11(self):
        self.titles = lambda: [title(w) for w in windows_of(self.browser.process.pid)]
        self.focus = lambda text: focus(windows_of(self.browser.process.pid)[0])
        self.type_url = lambda url: (key("ctrl+l"), type_text(url), key("Return"))
        self.home_now = lambda: key("F8")

    def on_sway(self):
        sway = self.start(Sway())
        self.scratch.env.update(sway.env)
        self.scratch.env.pop("DISPLAY", None)
        self.titles = lambda: [name for name, _, _ in sway.windows()]
        self.focus = lambda text: sway.focus(next(t for t in self.titles() if text in t))
        self.type_url = lambda url: sway.type("-M", "ctrl", "l", "-m", "ctrl", url, "-k", "Return")
        self.home_now = lambda: subprocess.run([QUELLGATE, "--home-now"], env=self.scratch.env, check=True)

    def browse(self, kind, wayland):
        self.on_sway() if wayland else self.on_x11()
        self.scratch.write("settings", "A=True\n")  # facebook BLOCKED
        self.quellgate()
        began = time.monotonic()
        self.browser = self.start(Browser(kind, PAGES + "/facebook.html", PAGES + "/home.html", self.scratch.env,
                                          wayland))
        shown = lambda text: [t for t in self.titles() if text in t]
        self.assertEventually(lambda: shown("Facebook - Log In") or shown(HOME), "the page", 60)
        self.assertEventually(lambda: shown(HOME), "home from a blocked page", 10)
        print("\n%s: started and sent home in %.2f s" % (kind, time.monotonic() - began), end=" ")
        for attempt in range(3):  # a browser still busy with its first pages may miss the keys
            self.assertTrue(self.focus(HOME))
            self.type_url(PAGES + "/other.html")
            if wait_until(lambda: shown("Another Page"), 7):
                break
        self.assertTrue(shown("Another Page"), "another page")
        pressed = time.monotonic()
        self.home_now()
        self.assertEventually(lambda: shown(HOME), "home at once", 5)
        print("home at once in %.3f s" % (time.monotonic() - pressed), end=" ")

    def test_chromium(self):
        self.browse("chromium", False)

    def test_firefox(self):
        self.browse("firefox", False)

    def test_chromium_on_sway(self):
        self.browse("chromium", True)

    def test_firefox_on_sway(self):
        self.browse("firefox", True)


if __name__ == "__main__":
    unittest.main()
