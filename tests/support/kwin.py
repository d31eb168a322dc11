# A headless KWin of the test's own, for the tests of KDE Plasma's Wayland
# desktop, and what drives it: qdbus, and scripts KWin runs. KWin, the
# program and its back end run as nobody in one session bus, which is how a
# user's session has them; the probes and browsers, which need no bus, run
# as root.
import json
import os
import re
import shutil
import subprocess
import tempfile

import pytest

from desktop import DESKTOP_CLI, NOBODY, QUELLGATE, Child, DesktopCli, hand_to_nobody, wait_until

ALL_WINDOWS = "const all = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"


class KWin:
    # kwin_wayland --virtual in a folder only nobody may enter, which root
    # reaches. The installed binary carries a file capability that a
    # container may not grant: a plain copy runs. Its clients get `env`.

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="quellgate-kwin-")
        shutil.copy("/usr/bin/kwin_wayland", self.folder)
        os.makedirs(os.path.join(self.folder, "data", "applications"))
        hand_to_nobody(self.folder)
        os.chmod(self.folder, 0o700)
        self.log_path, self.scripts_run = self.folder + ".log", 0
        self.log = open(self.log_path, "wb")
        data, bus = os.path.join(self.folder, "data"), os.path.join(self.folder, "bus")
        self.process = subprocess.Popen(
            NOBODY + ["dbus-run-session", "--", "sh", "-c",
                      'echo "$DBUS_SESSION_BUS_ADDRESS" >bus.new && mv bus.new bus && '
                      'exec ./kwin_wayland --virtual --socket wayland-0'],
            cwd=self.folder, env={"PATH": "/usr/bin:/bin", "HOME": self.folder, "XDG_RUNTIME_DIR": self.folder,
                                  # No settings: it would write them as it ends, after the folder went.
                                  "XDG_DATA_HOME": data, "XDG_CONFIG_HOME": "/nonexistent"},
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True)
        self.env = {"WAYLAND_DISPLAY": os.path.join(self.folder, "wayland-0"), "QT_QPA_PLATFORM": "wayland",
                    "XDG_DATA_HOME": data}
        if wait_until(lambda: os.path.exists(bus), 20):
            with open(bus) as address:
                self.env["DBUS_SESSION_BUS_ADDRESS"] = address.read().strip()
        if not wait_until(lambda: os.path.exists(self.env["WAYLAND_DISPLAY"]) and self.qdbus("/Scripting", check=False), 20):
            raise AssertionError("KWin did not start: %s" % self.said()[-20:])

    def qdbus(self, *call, check=True):
        done = subprocess.run(NOBODY + ["qdbus", "org.kde.KWin", *call], env=dict(os.environ, **self.env),
                              capture_output=True, text=True)
        if check and done.returncode != 0:
            raise AssertionError("qdbus %s: %s" % (call, done.stderr))
        return done.stdout.strip() if done.returncode == 0 else None

    def said(self):
        with open(self.log_path, errors="replace") as log:
            return log.read().splitlines()

    def script(self, body):
        # Runs JavaScript inside KWin: `body` returns a value, given back here.
        self.scripts_run += 1
        name = "quellgate-test-%d" % self.scripts_run
        path = os.path.join(self.folder, name + ".js")
        with open(path, "w") as f:
            f.write('print("%s " + JSON.stringify((() => {\n%s\n})()));\n' % (name, body))
        hand_to_nobody(path)
        self.qdbus("/Scripting", "org.kde.kwin.Scripting.loadScript", path, name)
        self.qdbus("/Scripting", "org.kde.kwin.Scripting.start")
        found = wait_until(lambda: [l for l in self.said() if l.startswith("js: %s " % name)], 10)
        self.qdbus("/Scripting", "org.kde.kwin.Scripting.unloadScript", name)
        if not found:
            raise AssertionError("KWin ran no script %s: %s" % (name, self.said()[-20:]))
        return json.loads(found[0].split(" ", 2)[2])

    def windows(self):
        # [(caption, active, minimised)] of every window, KWin 5 or 6.
        return self.script(ALL_WINDOWS + "const active = workspace.activeWindow || workspace.activeClient;\n"
                           "return all.map(w => [w.caption, w === active, w.minimized]);")

    def on(self, caption, what):
        # Activates ("activate") or minimises ("minimise") the window whose
        # caption begins so; whether it is then.
        minimise = what == "minimise"
        self.script(ALL_WINDOWS + "const w = all.find(w => w.caption.startsWith(%s));\n"
                    "if (w && %s) w.minimized = true;\n"
                    "else if (w && workspace.windowList) workspace.activeWindow = w;\n"
                    "else if (w) workspace.activeClient = w;\nreturn null;" % (json.dumps(caption), json.dumps(minimise)))
        return wait_until(lambda: [w for w in self.windows() if w[0].startswith(caption) and w[2 if minimise else 1]], 5)

    def loaded_scripts(self):
        # How many scripts KWin has loaded: each has an object on the bus.
        return sum(1 for path in self.qdbus().split() if re.fullmatch(r"/(Scripting/Script)?\d+", path))

    def close(self):
        os.killpg(self.process.pid, 15)
        self.process.wait()
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)
        os.remove(self.log_path)


class KWinCli(DesktopCli):
    # The program's KWin back end, as nobody on KWin's bus.

    def __init__(self, env):
        Child.__init__(self, NOBODY + [DESKTOP_CLI, "kwin"], env)


@pytest.fixture
def kwin(start, scratch):
    desktop = start(KWin())
    scratch.env.update(desktop.env)
    scratch.env.pop("DISPLAY", None)
    hand_to_nobody(scratch.root)
    return desktop


@pytest.fixture
def quellgate(start, scratch, kwin):
    def started():
        hand_to_nobody(scratch.root)
        return start(Child(NOBODY + [QUELLGATE], scratch.env, stdin=subprocess.DEVNULL))
    return started
