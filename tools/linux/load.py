"""What the running quellgate costs, read from outside: 30 ordinary windows
and 20 keywords, none of them matching. First the display server without
quellgate, then with it, over the same wall time; then the reaction from a
caption that comes to hold a keyword to the Alt+Home that answers it.

    tools/with-x11.sh python3 tools/linux/load.py [SECONDS]   (make linux-load, on X11)
    python3 tools/linux/load.py --sway [SECONDS]              (make wayland-load, on a headless sway)
    python3 tools/linux/load.py --kwin [SECONDS]              (make kde-load, on a headless KWin)
    python3 tools/linux/load.py --gnome [SECONDS]             (make gnome-load, on a headless GNOME Shell)

The blocklist holds 19 plain words, which read back as 19 keywords that match
nothing; youtube, switched BLOCKED, is the 20th and the one the reaction is
timed with."""
import os
import pathlib
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
from desktop import NOBODY, Child, Probe, Scratch, Sway, focus, hand_to_nobody, wait_until  # noqa: E402
from gnome import GnomeShell  # noqa: E402
from kwin import KWin  # noqa: E402

CAPTIONS = ["Quarterly report 2026.odt - LibreOffice Writer", "Inbox (14) - alex@example.org - Mail",
            "Calendar - Week 49", "standup-notes.md - Text Editor", "Downloads - Files", "System Monitor",
            "alex@desk: ~/src/report - Terminal", "Weather forecast for Hamburg - Chromium",
            "Train timetable \u2014 Mozilla Firefox", "Design review - Video call", "Team channel - Chat"]
WORDS = ["casino", "poker", "roulette", "jackpot", "lottery", "betting", "slots", "torrent", "warez", "keygen",
         "crackz", "dating", "hookup", "gossip", "tabloid", "webcam", "chatroom", "memes", "clickbait"]


def cpu_seconds(pid):
    """Time on a CPU to the nanosecond, summed over the process's threads."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
                total += int(f.read().split()[0])
        except OSError:
            pass  # a thread that ended meanwhile
    return total / 1e9


def share(pids, seconds):
    before = [cpu_seconds(pid) for pid in pids]
    time.sleep(seconds)
    return [100 * (cpu_seconds(pid) - b) / seconds for pid, b in zip(pids, before)]


def status(pid, key):
    with open("/proc/%d/status" % pid) as f:
        return next(line.split(":", 1)[1].strip() for line in f if line.startswith(key + ":"))


def measure(seconds, server, env, windows, program, reader, focus_reader):
    """Prints the figures; `server` is the display server's pid."""
    print("%d windows, 20 keywords, %g s a phase" % (len(windows), seconds))
    print("display server without quellgate: %.3f %% of one core" % share([server], seconds)[0])
    program.start()
    ours, theirs = share([program.pid(), server], seconds)
    print("quellgate: %.3f %% of one core, peak memory %s; display server beside it: %.3f %%"
          % (ours, status(program.pid(), "VmHWM"), theirs))
    focus_reader()
    reactions = []
    for i in range(40):
        counted = reader.alt_homes()
        reader.say("title Video %d - youtube" % i)
        began = time.monotonic()
        if wait_until(lambda: reader.alt_homes() > counted, 2):
            reactions.append(1000 * (time.monotonic() - began))
        reader.say("title Reading list %d" % i)
        time.sleep(0.35 + (i % 7) * 0.04)  # anywhere in the tick
    reactions.sort()
    print("caption to Alt+Home, %d of 40: p50 %.0f ms, p90 %.0f ms, p99 %.0f ms, max %.0f ms" % (
        len(reactions), statistics.median(reactions), reactions[int(0.9 * (len(reactions) - 1))],
        reactions[int(0.99 * (len(reactions) - 1))], reactions[-1]))


class Quellgate:
    def __init__(self, scratch, as_nobody):
        scratch.file("blocklist").write_text("".join(word + "\r\n" for word in WORDS))
        scratch.file("settings").write_text("E=True\n")
        self.scratch, self.child, self.prefix = scratch, None, NOBODY if as_nobody else []
        if as_nobody:
            hand_to_nobody(scratch.root)

    def start(self):
        self.child = Child(self.prefix + [os.environ.get("QUELLGATE", "quellgate")], self.scratch.env, stdin=None)
        time.sleep(5)  # past its start and the splash

    def pid(self):
        return self.child.process.pid


def compositor_pid(session):
    """KWin's own process, under dbus-run-session."""
    with open("/proc/%d/task/%d/children" % (session, session)) as f:
        children = [int(pid) for pid in f.read().split()]
    for pid in children:
        with open("/proc/%d/comm" % pid) as f:
            if f.read().strip() == "kwin_wayland":
                return pid


def main(seconds, desktop):
    scratch = Scratch(pathlib.Path(tempfile.mkdtemp(prefix="quellgate-load-")))
    # KWin's script and GNOME's extension answer over the session bus, which is
    # nobody's here. Handed over before the desktop starts: GNOME's document
    # portal mounts a folder in the runtime folder that root may not enter.
    program = Quellgate(scratch, desktop in ("--kwin", "--gnome"))
    wayland = {"--sway": Sway, "--kwin": KWin, "--gnome": lambda: GnomeShell(scratch)}[desktop]() if desktop else None
    if wayland:
        scratch.env.update(wayland.env)
        if desktop != "--gnome":  # GNOME's own programs have XWayland's
            scratch.env.pop("DISPLAY", None)
        scratch.env["QT_QPA_PLATFORM"] = "wayland"  # the probes'
    titles = ["%s (%d)" % (CAPTIONS[i % len(CAPTIONS)], i) for i in range(30)]
    windows = [Probe(title, scratch.env) for title in titles]
    server = (compositor_pid(wayland.process.pid) if desktop == "--kwin" else wayland.processes[-1].pid
              if desktop == "--gnome" else wayland.process.pid if wayland
              else int(os.environ["XVFB_PID"]))  # tools/with-x11.sh names it
    focus_first = {None: lambda: focus(windows[0].id), "--sway": lambda: wayland.focus(titles[0]),
                   "--kwin": lambda: wayland.on(titles[0], "activate"),
                   "--gnome": lambda: wayland.focus(titles[0])}[desktop]
    measure(seconds, server, scratch.env, windows, program, windows[0], focus_first)
    for child in windows + [program.child] + ([wayland] if wayland else []):
        child.close()
    shutil.rmtree(scratch.root, ignore_errors=True)


if __name__ == "__main__":
    choices = ("--sway", "--kwin", "--gnome")
    arguments = [a for a in sys.argv[1:] if a not in choices]
    desktop = next((a for a in sys.argv[1:] if a in choices), None)
    main(float(arguments[0]) if arguments else float(os.environ.get("LOAD_SECONDS", 60)), desktop)
