#!/usr/bin/env bash
# shellcheck disable=SC2317  # some functions only run from traps and wait_for
# Run a command with a private Wine prefix, a running wineserver and an X display.
#   tools/with-wine.sh [--display-from-env] COMMAND ARGS...
# The prefix lives in ${QUELLGATE_WINE_DIR:-$PWD/build/wine}/prefix and is reused.
# Runs sharing one prefix are serialised; give parallel jobs their own
# QUELLGATE_WINE_DIR.
set -u

use_env_display=0
if [ "${1-}" = --display-from-env ]; then use_env_display=1; shift; fi
[ $# -gt 0 ] || { echo "usage: $0 [--display-from-env] COMMAND ARGS..." >&2; exit 2; }

say() { echo "with-wine: $*" >&2; }
dir=${QUELLGATE_WINE_DIR:-$PWD/build/wine}
mkdir -p "$dir" || exit 1
dir=$(cd "$dir" && pwd)
prefix=$dir/prefix

# Poll a condition until it holds or SECONDS pass.
wait_for() { # SECONDS COMMAND...
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.05; done
}

xvfb_pid='' child='' boot='' server=0
cleanup() {
    [ -n "$child" ] && kill "$child" 2>/dev/null
    [ -n "$boot" ] && { WINEPREFIX=$boot wineserver -k >/dev/null 2>&1; rm -rf "$boot"; }
    [ "$server" = 1 ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT
trap 'exit 129' HUP; trap 'exit 130' INT; trap 'exit 143' TERM

# Whatever we start must not inherit the lock, or a lingering Wine service
# would keep the prefix locked after we exit.
exec {lock_fd}>"$dir/lock" || exit 1
if ! flock -n "$lock_fd"; then
    say "waiting for another run using $prefix"
    flock "$lock_fd"
fi
# Children run in the background so that a signal to this script is handled
# at once; stdin is passed on because a background job would get /dev/null.
run() {
    "$@" {lock_fd}>&- <&0 &
    child=$!; wait "$child"; local rc=$?; child=''; return "$rc"
}

# Our own Xvfb is ready once its socket exists and the lock file names it
# (not a rival that grabbed the same number a moment earlier).
xvfb_ready() {
    [ -S "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' \n' < "/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb_pid" ]
}
xvfb_settled() { xvfb_ready || ! kill -0 "$xvfb_pid" 2>/dev/null; }
start_xvfb() {
    for n in $(seq 90 150); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp {lock_fd}>&- </dev/null >/dev/null 2>&1 &
        xvfb_pid=$!
        if wait_for 15 xvfb_settled && xvfb_ready; then
            DISPLAY=:$n; return 0
        fi
        kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=''
    done
    say "could not start Xvfb on any display :90..:150"; return 1
}

if [ "$use_env_display" = 1 ] && [ -n "${DISPLAY-}" ]; then
    :
else
    start_xvfb || exit 1
    [ "$use_env_display" = 1 ] && say "DISPLAY is not set; running on a private invisible Xvfb $DISPLAY"
fi

export DISPLAY WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Wine refuses a prefix owned by another user; say so plainly.
if [ -e "$prefix" ] && [ ! -O "$prefix" ]; then
    say "$prefix belongs to another user; remove it or set QUELLGATE_WINE_DIR"; exit 1
fi

if [ ! -d "$prefix" ]; then
    # Leftovers from an interrupted boot of a run that is gone.
    for d in "$dir"/prefix.boot.*; do
        [ -d "$d" ] && ! kill -0 "${d##*.}" 2>/dev/null &&
            { WINEPREFIX=$d wineserver -k >/dev/null 2>&1; rm -rf "$d"; }
    done
    boot=$dir/prefix.boot.$$
    rm -rf "$boot"
    say "booting Wine prefix $prefix (once, about 10 s)"
    # Without a window manager, managed windows stall about 2 s on every hide.
    if ! WINEPREFIX=$boot run wineboot -i </dev/null >/dev/null 2>&1 ||
       ! WINEPREFIX=$boot run wine reg add 'HKCU\Software\Wine\X11 Driver' \
             /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1; then
        say "wineboot failed"; exit 1
    fi
    # Stopping the server flushes the registry to disk before the move.
    WINEPREFIX=$boot wineserver -k >/dev/null 2>&1
    mv -T "$boot" "$prefix" || { say "cannot move $boot to $prefix"; exit 1; }
    boot=''
fi
export WINEPREFIX=$prefix

# A persistent server spares each Wine process a 1-2 s cold start. The first
# Wine process starts the background services, which inherit its stdio and
# would hold pipes of COMMAND open; start them here with /dev/null instead.
# That process removes Quellgate's logon entry, which an earlier run leaves:
# run as a plain wineboot does at session start, it would start a copy that
# every program started here would find running.
server=1
run wineserver -p </dev/null >/dev/null 2>&1
run wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Quellgate /f \
    </dev/null >/dev/null 2>&1
# The same for the desktop process: the first program to touch a window would
# start it, and it outlives that program by about a second, during which CTest
# waits for the test's output to close.
wine explorer.exe /desktop {lock_fd}>&- </dev/null >/dev/null 2>&1 &
desktop_up() { grep -qsaF 'system32\explorer.exe' /proc/[0-9]*/cmdline; }
wait_for 10 desktop_up || say "the Wine desktop did not start"
run "$@"
