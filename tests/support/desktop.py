# What the Linux tests drive a desktop with: xdotool, xprop and wmctrl on X11,
# swaymsg and wtype on sway, the tests' own probe window (probe.cpp) and
# desktop client (desktop_cli.cpp), and the real quellgate with folders of its
# own. A pytest plugin (python3 -m pytest -p desktop): its fixtures end what a
# test started, after the test.
#
# The programs come from the build: QUELLGATE, QUELLGATE_PROBE and
# QUELLGATE_DESKTOP_CLI name them.
import os
import pathlib
import pwd
import re
import shutil
import subprocess
import tempfile
import threading
import time

import i3ipc
import pytest

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


def eventually(condition, what, timeout=10.0):
    assert wait_until(condition, timeout), what


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
    # prints gathers in `lines` as it comes.

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
        assert found, "%s said no %r; it said %r" % (self.process.args[0], prefix, self.lines[-20:])
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
    # A window with a chosen title that says which keys it receives.

    def __init__(self, title, env=None):
        super().__init__([PROBE, title], env)
        self.id = int(self.wait_for_line("ready").split()[1])

    def alt_homes(self):
        return self.lines.count("alt+home")

    def alt_homes_in(self, seconds):
        # How many come in the next `seconds`.
        before = self.alt_homes()
        time.sleep(seconds)
        return self.alt_homes() - before

    def keys(self):
        return [line.split()[1] for line in self.lines if line.startswith("key ")]

    def strokes(self):
        # (press or release, keysym, modifier state) of each key it received.
        return [tuple(line.split()) for line in self.lines if line.startswith(("press ", "release "))]

    def alt_down(self):
        since = len(self.lines)
        self.say("modifiers")
        return self.wait_for_line("modifiers", since) == "modifiers alt"


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
        # {handle: "shown caption" or "hidden caption"}
        rows = [line.split(" ", 2) + [""] for line in self.ask("list", until=".")]
        return {int(r[0]): (r[1] + " " + r[2]).strip() for r in rows}

    def listed(self, window):
        return self.windows().get(window, "absent")


class Scratch:
    # Folders of its own for a program: home, configuration, runtime.

    def __init__(self, root):
        self.root = root
        for folder in ("home", "config/quellgate", "runtime"):
            os.makedirs(root / folder, mode=0o700)
        self.env = dict(os.environ, HOME=str(root / "home"), XDG_CONFIG_HOME=str(root / "config"),
                        XDG_RUNTIME_DIR=str(root / "runtime"))
        for name in ("XDG_SESSION_TYPE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"):
            self.env.pop(name, None)

    def file(self, name):
        # A path (pathlib) to one of the program's own files.
        return self.root / "config" / "quellgate" / name


NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]


def hand_to_nobody(path):
    subprocess.run(["chown", "-R", "nobody:nogroup", str(path)], check=True)


@pytest.fixture
def scratch(request):
    # Short, as a socket's path must fit in 108 bytes, and where nobody may
    # come once it is handed over: the Wayland desktops run as nobody.
    root = pathlib.Path(tempfile.mkdtemp(prefix="quellgate-test-"))
    request.addfinalizer(lambda: shutil.rmtree(root, ignore_errors=True))
    return Scratch(root)


@pytest.fixture
def start(request):
    # Starts nothing itself: what it is given is ended after the test.
    def started(child):
        request.addfinalizer(child.close)
        return child
    return started


@pytest.fixture
def probe(start, scratch):
    return lambda title: start(Probe(title, scratch.env))


@pytest.fixture
def quellgate(start, scratch):
    return lambda: start(Child([QUELLGATE], scratch.env, stdin=subprocess.DEVNULL))


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
    # Its clients get `env`; wtype types, and its IPC lists and focuses.

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
        self.ipc = i3ipc.Connection(self.env["SWAYSOCK"])

    def windows(self):
        # The windows, every program's, in the tree's order.
        return [node for node in self.ipc.get_tree() if node.pid]

    def focused(self, title=None, other_than=None, pid=None):
        # The focused window's id, when it has that title (or its program that
        # pid) and is not `other_than`.
        return next((w.id for w in self.windows() if w.focused and title in (None, w.name) and
                     pid in (None, w.pid) and w.id != other_than), None)

    def focus(self, title=None, pid=None):
        self.ipc.command(("[pid=%d] focus" % pid) if pid else '[title="^%s$"] focus' % re.escape(title))
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


@pytest.fixture
def sway(start, scratch):
    # The test's programs run on it, not on the X display.
    desktop = start(Sway())
    scratch.env.update(desktop.env)
    scratch.env.pop("DISPLAY", None)
    return desktop
