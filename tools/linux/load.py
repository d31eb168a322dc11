"""What the running quellgate costs, read from outside: 30 ordinary windows
and 20 keywords, none of them matching. First the display server without
quellgate, then with it, over the same wall time; then the reaction from a
caption that comes to hold a keyword to the Alt+Home that answers it.

    tools/with-x11.sh python3 tools/linux/load.py [SECONDS]   (make linux-load, on X11)
    python3 tools/linux/load.py --sway [SECONDS]              (make wayland-load, on a headless sway)
    python3 tools/linux/load.py --gnome [SECONDS]             (make gnome-load, on a headless GNOME Shell,
                                                              quellgate run as its user)

The blocklist holds 19 plain words, which read back as 19 keywords that match
nothing; youtube, switched BLOCKED, is the 20th and the one the reaction is
timed with."""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
from desktop import Probe, Scratch, Child, Sway, focus, wait_until  # noqa: E402
from gnome import GnomeShell, quellgate  # noqa: E402

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
    def __init__(self, scratch, as_session_user):
        scratch.write("blocklist", "".join(word + "\r\n" for word in WORDS))
        scratch.write("settings", "E=True\n")
        self.scratch, self.child, self.as_session_user = scratch, None, as_session_user

    def start(self):
        if self.as_session_user:
            self.child = quellgate(self.scratch.env)
        else:
            self.child = Child([os.environ.get("QUELLGATE", "quellgate")], self.scratch.env, stdin=None)
        time.sleep(5)  # past its start and the splash

    def pid(self):
        return self.child.process.pid


def main(seconds, desktop):
    scratch = Scratch()
    sway = Sway() if desktop == "sway" else None
    shell = GnomeShell(scratch) if desktop == "gnome" else None
    if sway:
        scratch.env.update(sway.env)
        scratch.env.pop("DISPLAY", None)
    if shell:
        scratch.env = dict(shell.env, QT_QPA_PLATFORM="wayland")
    titles = ["%s (%d)" % (CAPTIONS[i % len(CAPTIONS)], i) for i in range(30)]
    windows = [Probe(title, scratch.env) for title in titles]
    program = Quellgate(scratch, bool(shell))
    server = sway.process.pid if sway else shell.processes[-1].pid if shell else int(os.environ["XVFB_PID"])
    focus_reader = (lambda: sway.focus(titles[0])) if sway else (lambda: shell.focus(titles[0])) if shell else (
        lambda: focus(windows[0].id))
    measure(seconds, server, scratch.env, windows, program, windows[0], focus_reader)
    for child in windows + [program.child] + [desktop for desktop in (sway, shell) if desktop]:
        child.close()
    scratch.close()


if __name__ == "__main__":
    arguments = [a for a in sys.argv[1:] if not a.startswith("--")]
    desktop = "sway" if "--sway" in sys.argv else "gnome" if "--gnome" in sys.argv else "x11"
    main(float(arguments[0]) if arguments else float(os.environ.get("LOAD_SECONDS", 60)), desktop)
