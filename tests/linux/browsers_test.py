"""Real browsers that no one here wrote, Debian's chromium and firefox-esr, with
a local page as their home page: quellgate sends them home from a page whose
title holds a blocked network, and F8 sends them home from any page."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from desktop import *  # noqa: E402,F401,F403

PAGES = "file://" + os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages")
HOME = "Quellgate Test Home"


class RealBrowser(DesktopTest):
    def browse(self, kind):
        self.scratch.write("settings", "A=True\n")  # facebook BLOCKED
        program = self.quellgate()
        self.assertEventually(lambda: windows_of(program.process.pid), "the splash", 20)
        self.assertEventually(lambda: not windows_of(program.process.pid), "the end of the splash")
        began = time.monotonic()
        browser = self.start(Browser(kind, PAGES + "/facebook.html", PAGES + "/home.html", self.scratch.env))
        shown = lambda text: [w for w in windows_of(browser.process.pid) if text in title(w)]
        self.assertEventually(lambda: shown("Facebook - Log In") or shown(HOME), "the page", 60)
        self.assertEventually(lambda: shown(HOME), "home from a blocked page", 10)
        print("\n%s: started and sent home in %.2f s" % (kind, time.monotonic() - began), end=" ")
        self.assertTrue(focus(shown(HOME)[0]))
        key("ctrl+l")
        type_text(PAGES + "/other.html")
        key("Return")
        self.assertEventually(lambda: shown("Another Page"), "another page", 20)
        pressed = time.monotonic()
        key("F8")
        self.assertEventually(lambda: shown(HOME), "home by F8", 5)
        print("F8 to home in %.3f s" % (time.monotonic() - pressed), end=" ")

    def test_chromium(self):
        self.browse("chromium")

    def test_firefox(self):
        self.browse("firefox")


if __name__ == "__main__":
    unittest.main()
