#!/usr/bin/python3
"""Starts and stops a real browser (Debian's chromium or firefox-esr) on $DISPLAY
for the browser tests: a throwaway profile whose home page is a local page,
and nothing that looks up a name on the network.

  browser.py start chromium|firefox PAGE_URL HOME_URL
      Starts it on PAGE_URL in a session of its own and prints
          BROWSER_PID=... BROWSER_DIR=...
      at once; its output goes to DIR/browser.log.
  browser.py open DIR URL
      Hands URL to the running browser of DIR, as a desktop opens a link: a new
      tab in its window.
  browser.py stop PID DIR
      SIGTERM, then SIGKILL after 15 s; waits until all its processes are
      gone; removes DIR.

Standard library only.
"""
import json
import os
import signal
import subprocess
import sys
import tempfile
import time


def wait_for(condition, timeout, interval=0.02):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(interval)


CHROMIUM = "/usr/lib/chromium/chromium"  # what the /usr/bin wrapper runs, without its extra flags
FIREFOX = "/usr/lib/firefox-esr/firefox-esr"
DBUS_DAEMON = "/usr/bin/dbus-daemon"
BROWSER_FOLDERS = ("/usr/lib/chromium/", "/usr/lib/firefox-esr/")

CHROMIUM_FLAGS = [
    "--no-sandbox",  # refuses to run as root otherwise
    "--test-type",  # no bar about the flag above
    "--no-first-run", "--no-default-browser-check", "--disable-default-apps", "--disable-sync",
    "--disable-background-networking", "--disable-component-update", "--disable-quic",
    "--disable-breakpad", "--password-store=basic", "--disable-gpu",
    "--disable-features=Translate,MediaRouter,OptimizationHints,NetworkTimeServiceQuerying,"
    "AutofillServerCommunication,CertificateTransparencyComponentUpdater",
    # Sign-in, network time and component updates look names up despite the
    # flags above; here no name resolves.
    "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1, EXCLUDE localhost",
    "--window-position=0,0", "--window-size=1024,768",
]

# A first run that asks nothing and reaches nothing: every connection goes to
# a proxy that is not there, so no name is looked up and nothing updates.
FIREFOX_PREFS = {
    "network.proxy.type": 1,
    "network.proxy.share_proxy_settings": True,
    "network.proxy.http": "127.0.0.1",
    "network.proxy.http_port": 9,
    "network.proxy.socks_remote_dns": True,
    "network.proxy.no_proxies_on": "",
    "network.dns.disablePrefetch": True,
    "network.trr.mode": 5,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "services.settings.server": "data:,#remote-settings-dummy/v1",  # with MOZ_REMOTE_SETTINGS_DEVTOOLS
    "app.update.disabledForTesting": True,
    "datareporting.policy.dataSubmissionEnabled": False,
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.aboutwelcome.enabled": False,
    "browser.sessionstore.resume_from_crash": False,
    "toolkit.startup.max_resumed_crashes": -1,  # no "start in safe mode?"
    "browser.warnOnQuit": False,
    "browser.startup.page": 0,  # only the page on the command line
    "ui.key.menuAccessKeyFocuses": False,  # Alt alone must not open the menu bar
}


def make_profile(kind, workdir, home_url):
    profile = os.path.join(workdir, "profile")
    if kind == "chromium":
        os.makedirs(os.path.join(profile, "Default"))
        # The home page is the new-tab page unless homepage_is_newtabpage is false.
        prefs = {
            "homepage": home_url, "homepage_is_newtabpage": False,
            "browser": {"check_default_browser": False, "has_seen_welcome_page": True},
            "session": {"restore_on_startup": 4},
            "profile": {"exit_type": "Normal", "exited_cleanly": True},
            "translate": {"enabled": False}, "safebrowsing": {"enabled": False},
            "credentials_enable_service": False, "search": {"suggest_enabled": False},
            "alternate_error_pages": {"enabled": False}, "net": {"network_prediction_options": 2},
        }
        with open(os.path.join(profile, "Default", "Preferences"), "w") as f:
            json.dump(prefs, f)
    else:
        os.makedirs(profile)
        with open(os.path.join(profile, "user.js"), "w") as f:
            for key, value in dict(FIREFOX_PREFS, **{"browser.startup.homepage": home_url}).items():
                f.write("user_pref(%s, %s);\n" % (json.dumps(key), json.dumps(value)))
    return profile


def browser_env(workdir):
    """Everything the browser writes stays in workdir."""
    env = dict(os.environ)
    home = os.path.join(workdir, "home")
    for sub in ("", ".config", ".cache", ".local/share", "runtime"):
        os.makedirs(os.path.join(home, sub), exist_ok=True)
    os.chmod(os.path.join(home, "runtime"), 0o700)
    env.update({
        "HOME": home,
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "XDG_CACHE_HOME": os.path.join(home, ".cache"),
        "XDG_DATA_HOME": os.path.join(home, ".local/share"),
        "XDG_RUNTIME_DIR": os.path.join(home, "runtime"),
        "TMPDIR": workdir,
        "MOZ_CRASHREPORTER_DISABLE": "1",
        "MOZ_DISABLE_AUTO_SAFE_MODE": "1",
        "MOZ_REMOTE_SETTINGS_DEVTOOLS": "1",
        "NO_AT_BRIDGE": "1",
        "GTK_A11Y": "none",
        "DBUS_SESSION_BUS_ADDRESS": "disabled:",  # Firefox gets a bus of its own
    })
    env.pop("WAYLAND_DISPLAY", None)
    return env


def command(kind, profile, url):
    if kind == "chromium":
        shm = os.statvfs("/dev/shm")
        # As Debian's wrapper does: a container's /dev/shm is often too small for its pages.
        small_shm = ["--disable-dev-shm-usage"] if shm.f_blocks * shm.f_frsize < 3800 * 2**20 else []
        return [CHROMIUM, *CHROMIUM_FLAGS, *small_shm, "--user-data-dir=" + profile, url]
    # Remoting stays on: a second start on the profile hands its page over.
    return [FIREFOX, "--profile", profile, url]


BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%s</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def start_private_bus(workdir, log):
    """Without a session bus a second Firefox on the profile cannot reach the
    first: it shows "Firefox is already running" and takes the focus. This
    one activates nothing (no service folder)."""
    config = os.path.join(workdir, "bus.conf")
    with open(config, "w") as f:
        f.write(BUS_CONFIG % os.path.join(workdir, "bus"))
    bus = subprocess.Popen([DBUS_DAEMON, "--config-file=" + config, "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=log, stdin=subprocess.DEVNULL,
                           start_new_session=True)
    address = bus.stdout.readline().decode().strip()  # once it listens
    bus.stdout.close()
    if not address:
        raise SystemExit("dbus-daemon did not start")
    return address


def processes(pgid, workdir, executables):
    """Live processes of these executables in the browser's group, or naming
    workdir on their command line: crash handlers and the bus leave the group."""
    found = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/stat" % entry, "rb") as f:
                stat = f.read()
            fields = stat[stat.rindex(b")") + 2:].split()
            if fields[0] == b"Z" or not os.readlink("/proc/%s/exe" % entry).startswith(executables):
                continue
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                if int(fields[2]) == pgid or workdir.encode() in f.read():
                    found.append(int(entry))
        except (OSError, ValueError):
            continue
    return found


def signal_all(pids, signum):
    for pid in pids:
        try:
            os.kill(pid, signum)
        except ProcessLookupError:
            pass


def stop(pid, workdir, timeout=15):
    """Returns the pids that had to be killed. On SIGTERM Chromium ends as at
    the end of a session, Firefox without its shutdown steps: neither matters
    to a profile thrown away."""
    left = lambda: processes(pid, workdir, BROWSER_FOLDERS)  # the browser leads its own group
    signal_all([pid], signal.SIGTERM)
    killed = []
    if not wait_for(lambda: not left(), timeout):
        killed = left()
        signal_all(killed, signal.SIGKILL)
        wait_for(lambda: not left(), 5)
    bus = lambda: processes(-1, workdir, (DBUS_DAEMON,))
    signal_all(bus(), signal.SIGTERM)
    wait_for(lambda: not bus(), 5)
    if os.path.basename(workdir).startswith("qg-browser-"):
        subprocess.run(["rm", "-rf", "--", workdir], check=False)
    return killed


def start(kind, page_url, home_url):
    if kind not in ("chromium", "firefox"):
        raise SystemExit("the browser is chromium or firefox")
    workdir = tempfile.mkdtemp(prefix="qg-browser-%s-" % kind)
    profile = make_profile(kind, workdir, home_url)
    env = browser_env(workdir)
    log = open(os.path.join(workdir, "browser.log"), "ab")
    if kind == "firefox":
        env["DBUS_SESSION_BUS_ADDRESS"] = start_private_bus(workdir, log)
    with open(os.path.join(workdir, "browser.json"), "w") as f:
        json.dump({"kind": kind, "profile": profile, "env": env}, f)
    # A session of its own: it outlives this script, and stop finds its group.
    browser = subprocess.Popen(command(kind, profile, page_url), env=env, stdin=subprocess.DEVNULL,
                               stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    print("BROWSER_PID=%d BROWSER_DIR=%s" % (browser.pid, workdir))


def open_page(workdir, url, timeout=30):
    with open(os.path.join(workdir, "browser.json")) as f:
        state = json.load(f)
    with open(os.path.join(workdir, "browser.log"), "ab") as log:
        second = subprocess.Popen(command(state["kind"], state["profile"], url), env=state["env"],
                                  stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
    try:
        return second.wait(timeout)
    except subprocess.TimeoutExpired:
        second.kill()
        raise SystemExit("%s did not hand %s over to the running browser" % (state["kind"], url))


def main(argv):
    if len(argv) == 4 and argv[0] == "start":
        start(*argv[1:])
        return 0
    if len(argv) == 3 and argv[0] == "open":
        return open_page(argv[1], argv[2])
    if len(argv) == 3 and argv[0] == "stop":
        killed = stop(int(argv[1]), argv[2])
        if killed:
            print("had to kill " + " ".join(map(str, killed)))
        return 1 if killed else 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
