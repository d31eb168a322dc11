# What the Linux tests drive a desktop with: xdotool, xprop and wmctrl on X11,
# swaymsg and wtype on sway, the tests' own probe window (probe.cpp) and
# desktop client (desktop_cli.cpp), and the real quellgate with folders of its
# own.
#
# The programs come from the build: QUELLGATE, QUELLGATE_PROBE and
# QUELLGATE_DESKTOP_CLI name them.
import json
import os
import pwd
import re
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

QUELLGATE = os.environ.get("QUELLGATE", "quellgate")
PROBE = os.environ.get("QUELLGATE_PROBE", "quellgate_probe")
DESKTOP_CLI = os.environ.get("QUELLGATE_DESKTOP_CLI", "quellgate_desktop_cli")


def wait_until(condition, timeout=10.0):
    # The condition's first true value, or its last false one when time runs out.
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.02)


def again_until(action, condition, tries=3):
    # Does `action` until `condition` holds, waiting 3, 6, then 12 s after
    # each try: for input that a busy program now and then loses.
    for attempt in range(tries):
        action()
        found = wait_until(condition, 3 * 2**attempt)
        if found:
            return found
    return found


def run(*command, check=True):
    return subprocess.run(command, capture_output=True, text=True, check=check).stdout.strip()


class Child:
    # A program with its standard input and output in our hands: what it
    # prints gathers in `lines` as it comes. Ended with the object.

    def __init__(self, command, env=None, stdin=subprocess.PIPE):
        self.process = subprocess.Popen(command, env=env, stdin=stdin, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, text=True, errors="replace", bufsize=1)
        self.lines = []
        threading.Thread(target=lambda: [self.lines.append(l.rstrip("\n")) for l in self.process.stdout],
                         daemon=True).start()

    def say(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def wait_for_line(self, prefix, since=0, timeout=20.0):
        found = wait_until(lambda: [l for l in self.lines[since:] if l.startswith(prefix)], timeout)
        if not found:
            raise AssertionError("%s said no %r; it said %r" % (self.process.args[0], prefix, self.lines[-20:]))
        return found[-1]

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        for pipe in (self.process.stdin, self.process.stdout):
            pipe and pipe.close()


class Probe(Child):
    # A window with a chosen title that counts the Alt+Home it receives.

    def __init__(self, title, env=None):
        super().__init__([PROBE, title], env)
        self.id = int(self.wait_for_line("ready").split()[1])

    def alt_homes(self):
        return self.lines.count("alt+home")

    def keys(self):
        return [line.split()[1] for line in self.lines if line.startswith("key ")]


class DesktopCli(Child):
    # The program's own desktop back end, asked one thing at a time.

    def __init__(self, env=None, *back_end):
        super().__init__([DESKTOP_CLI, *back_end], env)

    def ask(self, command, until=None):
        # Its answer: one line, or the lines before `until`.
        since = len(self.lines)
        self.say(command)
        if until is None:
            wait_until(lambda: len(self.lines) > since, 10)
            return self.lines[since:since + 1]
        wait_until(lambda: until in self.lines[since:], 10)
        answer = self.lines[since:]
        return answer[:answer.index(until)] if until in answer else []

    def windows(self):
        # {handle: "shown caption" or "hidden caption"}, and the handles in order.
        rows = [line.split(" ", 2) + [""] for line in self.ask("list", until=".")]
        return {int(r[0]): (r[1] + " " + r[2]).strip() for r in rows}, [int(r[0]) for r in rows]

    def listed(self, window):
        return self.windows()[0].get(window, "absent")


class Scratch:
    # Folders of its own for a program: home, configuration, runtime.

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="quellgate-test-")
        self.config = os.path.join(self.root, "config")
        for folder in ("home", "config/quellgate", "runtime"):
            os.makedirs(os.path.join(self.root, folder), mode=0o700)
        self.env = dict(os.environ, HOME=os.path.join(self.root, "home"), XDG_CONFIG_HOME=self.config,
                        XDG_RUNTIME_DIR=os.path.join(self.root, "runtime"))
        for name in ("XDG_SESSION_TYPE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"):
            self.env.pop(name, None)

    def file(self, name):
        return os.path.join(self.config, "quellgate", name)

    def write(self, name, text):
        with open(self.file(name), "w") as f:
            f.write(text)

    def read(self, name):
        with open(self.file(name)) as f:
            return f.read()

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


class DesktopTest(unittest.TestCase):
    # Each test gets a scratch folder; what it starts is ended with it.

    def setUp(self):
        self.scratch = Scratch()
        self.addCleanup(self.scratch.close)

    def start(self, child):
        self.addCleanup(child.close)
        return child

    def probe(self, title):
        return self.start(Probe(title, self.scratch.env))

    def quellgate(self):
        return self.start(Child([QUELLGATE], self.scratch.env, stdin=subprocess.DEVNULL))

    def on_sway(self):
        sway = self.start(Sway())
        self.scratch.env.update(sway.env)
        self.scratch.env.pop("DISPLAY", None)
        return sway

    def assertEventually(self, condition, what, timeout=10.0):
        self.assertTrue(wait_until(condition, timeout), what)


# X11, through well-kept tools.
def windows_of(pid, name=""):
    found = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", name, check=False)
    return [int(w) for w in found.split()]


def title(window):
    return run("xdotool", "getwindowname", str(window), check=False)


def states(window):
    return run("xprop", "-id", str(window), "_NET_WM_STATE", check=False)


def active():
    return int(run("xdotool", "getactivewindow", check=False) or 0)


def focus(window):
    run("xdotool", "windowactivate", "--sync", str(window), check=False)
    return wait_until(lambda: active() == window, 5)


def key(*keys):
    run("xdotool", "key", *keys)


def type_text(text):
    run("xdotool", "type", "--delay", "30", text)


class Sway:
    # A headless sway of the test's own, run as nobody (it refuses root) in a
    # folder only nobody may enter, which root, running the tests, reaches.
    # Its clients get `env`; wtype types and swaymsg focuses.

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="quellgate-sway-")
        with open(os.path.join(self.folder, "config"), "w") as f:
            f.write("output HEADLESS-1 resolution 1280x800\nxwayland disable\n")
        nobody = pwd.getpwnam("nobody")
        for name in ("", "config"):
            os.chown(os.path.join(self.folder, name), nobody.pw_uid, nobody.pw_gid)
        os.chmod(self.folder, 0o700)
        self.log = open(self.folder + ".log", "wb")
        self.process = subprocess.Popen(
            ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "sway", "-c", self.folder + "/config"],
            env={"PATH": "/usr/bin:/bin", "HOME": self.folder, "XDG_RUNTIME_DIR": self.folder,
                 "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"},
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT, start_new_session=True)
        sockets = lambda: ([n for n in os.listdir(self.folder) if n.startswith("wayland-") and "." not in n],
                           [n for n in os.listdir(self.folder) if n.startswith("sway-ipc.")])
        if not wait_until(lambda: all(sockets()), 20):
            raise AssertionError("sway did not start: %s" % open(self.folder + ".log").read()[-2000:])
        wayland, ipc = sockets()
        self.env = {"WAYLAND_DISPLAY": os.path.join(self.folder, wayland[0]),
                    "SWAYSOCK": os.path.join(self.folder, ipc[0]), "QT_QPA_PLATFORM": "wayland"}

    def msg(self, *command):
        return run("swaymsg", "-s", self.env["SWAYSOCK"], *command, check=False)

    def windows(self):
        # [(name, id, focused, pid)] of every window, in the tree's order.
        found, nodes = [], [json.loads(self.msg("-t", "get_tree", "-r") or "{}")]
        while nodes:
            node = nodes.pop(0)
            if node.get("pid"):
                found.append((node.get("name") or "", node["id"], node.get("focused", False), node["pid"]))
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
        return found

    def focused(self, title=None, other_than=None, pid=None):
        # The focused window's id, when it has that title (or its program that
        # pid) and is not `other_than`.
        return next((i for name, i, focused, owner in self.windows()
                     if focused and title in (None, name) and pid in (None, owner) and i != other_than), None)

    def focus(self, title=None, pid=None):
        self.msg(("[pid=%d] focus" % pid) if pid else '[title="^%s$"] focus' % re.escape(title))
        return wait_until(lambda: self.focused(title, pid=pid), 5)

    def type(self, *arguments):
        # wtype's keyboard is new each time: its first keys are lost until its
        # keymap has reached the window, its last ones if it goes at once.
        subprocess.run(["wtype", "-s", "300", *arguments, "-s", "150"], env=dict(os.environ, **self.env), check=True)

    def close(self):
        os.killpg(self.process.pid, 15)
        self.process.wait()
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)
        os.remove(self.folder + ".log")
