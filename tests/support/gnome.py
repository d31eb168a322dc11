# A headless GNOME Shell of the test's own (Wayland, with XWayland), with a
# session bus and an empty system bus of its own, run as nobody in a folder
# only nobody may enter. Quellgate and the desktop client run as nobody too,
# the session's own user; root, which runs the tests, may use the bus as
# another user (the bus lets it in, as it would not by default).
#
# The program's extension comes from the build (QUELLGATE_GNOME_EXTENSIONS).
# A test-only extension puts the shell in unsafe mode, so that the tests do
# what a user would through the shell's org.gnome.Shell.Eval: leave the
# overview, focus and minimise windows.
import json
import os
import shutil
import signal
import subprocess

import pytest

from desktop import NOBODY, Child, DesktopCli, hand_to_nobody, run, wait_until

EXTENSION = "quellgate-legacy@quellgate.org"  # the form Debian 12's GNOME 43 loads
HELPER = "unsafe@quellgate.test"
HELPER_FILES = {"metadata.json": '{"uuid": "%s", "name": "t", "description": "t", "shell-version": ["43"]}' % HELPER,
                "extension.js": "function init() {}\nfunction disable() {}\n"
                                "function enable() { global.context.unsafe_mode = true; }\n"}
BUS = "<busconfig><include>/usr/share/dbus-1/session.conf</include><policy context='mandatory'><allow user='root'/>" \
      "</policy></busconfig>"
DIALOGS, SPLASH = (3, 4), 8  # Meta.WindowType
WINDOWS = "global.get_window_actors().map(a => a.meta_window)"


class GnomeShell:
    # The session of the user whose folders `scratch` (desktop.Scratch) holds,
    # which become nobody's. `enabled`: the extension is installed and enabled
    # before the shell starts, as after a login; else install() puts it in
    # place while the shell runs.

    def __init__(self, scratch, enabled=True):
        self.root, self.processes = str(scratch.root), []
        self.extensions = os.path.join(self.root, "home", ".local", "share", "gnome-shell", "extensions")
        os.makedirs(os.path.join(self.extensions, HELPER))
        for path, text in [(self.root + "/bus.conf", BUS)] + [
                (os.path.join(self.extensions, HELPER, name), text) for name, text in HELPER_FILES.items()]:
            with open(path, "w") as f:
                f.write(text)
        if enabled:
            self.install()
        hand_to_nobody(self.root)
        self.env = dict(scratch.env, DBUS_SESSION_BUS_ADDRESS="unix:path=%s/bus" % self.root,
                        DBUS_SYSTEM_BUS_ADDRESS="unix:path=%s/system-bus" % self.root, PATH="/usr/bin:/bin")
        self.log = open(self.root + "/session.log", "wb")
        for bus, config in (("SYSTEM", "--session"), ("SESSION", "--config-file=%s/bus.conf" % self.root)):
            self.spawn("dbus-daemon", config, "--nofork", "--address=" + self.env["DBUS_%s_BUS_ADDRESS" % bus])
        if not wait_until(lambda: os.path.exists(self.root + "/bus") and os.path.exists(self.root + "/system-bus")):
            self.fail("no bus")
        subprocess.run(NOBODY + ["gsettings", "set", "org.gnome.shell", "enabled-extensions",
                                 str([HELPER] + [EXTENSION] * enabled)], env=self.env, check=True)
        self.spawn("gnome-shell", "--headless", "--wayland", "--virtual-monitor", "1280x800",
                   "--wayland-display=wayland-0")
        # GNOME opens the overview at start; a user's click would leave it.
        if not wait_until(lambda: self.eval("Main.overview.visible && (Main.overview.hide(), 1)"), 60) or \
                not wait_until(lambda: self.eval("Main.modalCount") == 0):
            self.fail("GNOME Shell did not start")
        display, authority = self.eval("[GLib.getenv('DISPLAY'), GLib.getenv('XAUTHORITY')]")
        self.env.update(WAYLAND_DISPLAY=os.path.join(self.env["XDG_RUNTIME_DIR"], "wayland-0"), DISPLAY=display,
                        XAUTHORITY=authority)

    def install(self):
        shutil.copytree(os.path.join(os.environ["QUELLGATE_GNOME_EXTENSIONS"], EXTENSION),
                        os.path.join(self.extensions, EXTENSION))

    def spawn(self, *command):
        # In a process group of its own, with what it starts (Xwayland, the
        # services the bus starts), all ended with it.
        self.processes.append(subprocess.Popen(NOBODY + list(command), env=self.env, stdin=subprocess.DEVNULL,
                                               stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True))

    def eval(self, code):
        # What the code gives, through JSON; None when it fails.
        answer = run("busctl", "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"], "--json=short", "call",
                     "org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval", "s", code, check=False)
        done, value = json.loads(answer)["data"] if answer else (False, "")
        return json.loads(value) if done and value else None

    def windows(self):
        # [[title, pid, focused, Meta.WindowType]], in the shell's stacking order.
        return self.eval(WINDOWS + ".map(w => [w.get_title(), w.get_pid(), w.has_focus(), w.get_window_type()])") or []

    def focus(self, title=None, pid=None):
        # Activated again until it has the focus, as a user clicks again.
        match = "w.get_pid() == %d" % pid if pid else "w.get_title() == %s" % json.dumps(title)
        return wait_until(lambda: self.eval("(w => w && (w.has_focus() || w.activate(global.get_current_time())))"
                                            "(%s.find(w => %s))" % (WINDOWS, match)), 5)

    def fail(self, what):
        self.close()
        raise AssertionError("%s: %s" % (what, open(self.root + "/session.log").read()[-3000:]))

    def close(self):
        for process in reversed(self.processes):
            os.killpg(process.pid, signal.SIGTERM)
            process.wait()
        self.log.close()
        # The document portal the session started lets go of its folder when it has ended.
        wait_until(lambda: self.env["XDG_RUNTIME_DIR"] + "/doc " not in open("/proc/self/mounts").read())


def quellgate(env):
    return Child(NOBODY + [os.environ.get("QUELLGATE", "quellgate")], env, stdin=subprocess.DEVNULL)


class NobodysCli(DesktopCli):
    # The program's GNOME back end, run as the session's user, or as root.
    def __init__(self, env, as_root=False):
        Child.__init__(self, ([] if as_root else NOBODY) + [os.environ["QUELLGATE_DESKTOP_CLI"], "gnome"], env)


@pytest.fixture
def gnome_shell(start, scratch):
    # Started when asked, so a test may choose whether the extension is enabled by then.
    def started(enabled=True):
        shell = start(GnomeShell(scratch, enabled))
        scratch.env = dict(shell.env, QT_QPA_PLATFORM="wayland")  # the probes' too
        return shell
    return started
