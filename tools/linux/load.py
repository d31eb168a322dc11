"""What the running quellgate costs on X11, read from outside: 30 ordinary
windows and 20 keywords, none of them matching. First the X server without
quellgate, then with it, over the same wall time; then the reaction from a
caption that comes to hold a keyword to the Alt+Home that answers it.

    tools/with-x11.sh python3 tools/linux/load.py [SECONDS]   (make linux-load)

The blocklist holds 19 plain words, which read back as 19 keywords that match
nothing; youtube, switched BLOCKED, is the 20th and the one the reaction is
timed with."""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
from desktop import Probe, Scratch, Child, focus, wait_until, windows_of  # noqa: E402

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


def measure(seconds, server, env, windows, program, reader):
    """Prints the figures; `server` is the display server's pid."""
    print("%d windows, 20 keywords, %g s a phase" % (len(windows), seconds))
    print("display server without quellgate: %.3f %% of one core" % share([server], seconds)[0])
    program.start()
    ours, theirs = share([program.pid(), server], seconds)
    print("quellgate: %.3f %% of one core, peak memory %s; display server beside it: %.3f %%"
          % (ours, status(program.pid(), "VmHWM"), theirs))
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
    def __init__(self, scratch):
        scratch.write("blocklist", "".join(word + "\r\n" for word in WORDS))
        scratch.write("settings", "E=True\n")
        self.scratch, self.child = scratch, None

    def start(self):
        self.child = Child([os.environ.get("QUELLGATE", "quellgate")], self.scratch.env, stdin=None)
        wait_until(lambda: windows_of(self.child.process.pid), 20)
        wait_until(lambda: not windows_of(self.child.process.pid), 10)

    def pid(self):
        return self.child.process.pid


def main(seconds):
    scratch = Scratch()
    windows = [Probe("%s (%d)" % (CAPTIONS[i % len(CAPTIONS)], i), scratch.env) for i in range(30)]
    program = Quellgate(scratch)
    focus(windows[0].id)
    measure(seconds, int(os.environ["XVFB_PID"]), scratch.env, windows, program, windows[0])
    for child in windows + [program.child]:
        child.close()
    scratch.close()


if __name__ == "__main__":
    main(float(sys.argv[1]) if len(sys.argv) > 1 else float(os.environ.get("LOAD_SECONDS", 60)))
