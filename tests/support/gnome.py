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

from desktop import Child, DesktopCli, wait_until, run

EXTENSIONS = os.environ.get("QUELLGATE_GNOME_EXTENSIONS", "")
EXTENSION = "quellgate-legacy@quellgate.org"  # the form Debian 12's GNOME 43 loads
NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"]
HELPER = "unsafe@quellgate.test"
HELPER_FILES = {
    "metadata.json": json.dumps({"uuid": HELPER, "name": "unsafe", "description": "tests", "shell-version": ["43"]}),
    "extension.js": "function init() {}\nfunction enable() { global.context.unsafe_mode = true; }\n"
                    "function disable() {}\n",
}
BUS = """<busconfig><include>/usr/share/dbus-1/session.conf</include>
<policy context="mandatory"><allow user="root"/></policy></busconfig>"""
DIALOGS, SPLASH = (3, 4), 8  # Meta.WindowType
WINDOWS = "global.get_window_actors().map(a => a.meta_window)"


class GnomeShell:
    # The session of the user whose folders `scratch` (desktop.Scratch) holds:
    # they become nobody's. `enabled`: the extension is installed and enabled
    # before the shell starts, as after a login; else install() puts it in
    # place while the shell runs.

    def __init__(self, scratch, enabled=True):
        self.root = scratch.root
        self.extensions = os.path.join(self.root, "home", ".local", "share", "gnome-shell", "extensions")
        os.makedirs(os.path.join(self.extensions, HELPER))
        for name, text in HELPER_FILES.items():
            with open(os.path.join(self.extensions, HELPER, name), "w") as f:
                f.write(text)
        with open(os.path.join(self.root, "bus.conf"), "w") as f:
            f.write(BUS)
        if enabled:
            self.install()
        run("chown", "-R", "nobody:nogroup", self.root)
        self.env = dict(scratch.env, DBUS_SESSION_BUS_ADDRESS="unix:path=%s/bus" % self.root,
                        DBUS_SYSTEM_BUS_ADDRESS="unix:path=%s/system-bus" % self.root, PATH="/usr/bin:/bin")
        self.env.pop("DISPLAY", None)
        self.log = open(self.root + "/session.log", "wb")
        self.processes = [self.spawn("dbus-daemon", "--session", "--nofork",
                                     "--address=" + self.env["DBUS_SYSTEM_BUS_ADDRESS"]),
                          self.spawn("dbus-daemon", "--config-file=%s/bus.conf" % self.root, "--nofork",
                                     "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"])]
        if not wait_until(lambda: all(os.path.exists(self.root + name) for name in ("/bus", "/system-bus")), 10):
            raise AssertionError("no bus: %s" % open(self.root + "/session.log").read()[-2000:])
        self.as_nobody("gsettings", "set", "org.gnome.shell", "enabled-extensions",
                       str([HELPER] + ([EXTENSION] if enabled else [])))
        self.processes.append(self.spawn("gnome-shell", "--headless", "--wayland", "--virtual-monitor",
                                         "1280x800", "--wayland-display=wayland-0"))
        # GNOME opens the overview at start; a user's click would leave it.
        if not wait_until(lambda: self.eval("Main.overview.visible && (Main.overview.hide(), 1)"), 60) or \
                not wait_until(lambda: self.eval("Main.modalCount") == 0):
            raise AssertionError("GNOME Shell did not start: %s" % open(self.root + "/session.log").read()[-3000:])
        display, authority = self.eval("[GLib.getenv('DISPLAY'), GLib.getenv('XAUTHORITY')]")
        self.env.update(WAYLAND_DISPLAY=os.path.join(scratch.env["XDG_RUNTIME_DIR"], "wayland-0"), DISPLAY=display,
                        XAUTHORITY=authority)

    def install(self):
        shutil.copytree(os.path.join(EXTENSIONS, EXTENSION), os.path.join(self.extensions, EXTENSION))
        run("chown", "-R", "nobody:nogroup", os.path.join(self.extensions, EXTENSION))

    def spawn(self, *command):
        # In a process group of its own, with what it starts (Xwayland, the
        # services the bus starts), all ended with it.
        return subprocess.Popen(NOBODY + list(command), env=self.env, stdin=subprocess.DEVNULL, stdout=self.log,
                                stderr=subprocess.STDOUT, start_new_session=True)

    def as_nobody(self, *command):
        return subprocess.run(NOBODY + list(command), env=self.env, capture_output=True, text=True, check=True).stdout

    def eval(self, code):
        # What the code gives, through JSON; None when it fails.
        answer = run("busctl", "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"], "--json=short", "call",
                     "org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval", "s", code, check=False)
        done, value = json.loads(answer)["data"] if answer else (False, "")
        return json.loads(value) if done and value else None

    def windows(self):
        # [(title, pid, focused, minimised, Meta.WindowType)], in the shell's stacking order.
        return [tuple(w) for w in self.eval(WINDOWS + ".map(w => [w.get_title(), w.get_pid(), w.has_focus(), "
                                                      "w.minimized, w.get_window_type()])") or []]

    def focus(self, title=None, pid=None):
        # Activated again until it has the focus, as a user clicks again.
        match = "w.get_pid() == %d" % pid if pid else "w.get_title() == %s" % json.dumps(title)
        return wait_until(lambda: self.eval("(w => w && (w.has_focus() || w.activate(global.get_current_time())))"
                                            "(%s.find(w => %s))" % (WINDOWS, match)), 5)

    def minimise(self, title):
        self.eval(WINDOWS + ".find(w => w.get_title() == %s).minimize()" % json.dumps(title))

    def close(self):
        for process in reversed(self.processes):
            os.killpg(process.pid, signal.SIGTERM)
            process.wait()
        self.log.close()


def quellgate(env):
    return Child(NOBODY + [os.environ.get("QUELLGATE", "quellgate")], env, stdin=subprocess.DEVNULL)


class NobodysCli(DesktopCli):
    # The program's GNOME back end, run as the session's user, or as root.
    def __init__(self, env, as_root=False):
        Child.__init__(self, ([] if as_root else NOBODY) + [os.environ["QUELLGATE_DESKTOP_CLI"], "gnome"], env)
