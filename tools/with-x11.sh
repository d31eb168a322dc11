#!/usr/bin/env bash
# shellcheck disable=SC2317  # cleanup only runs from traps
# Run a command on a private X display with openbox as its window manager.
#   tools/with-x11.sh [--display-from-env] COMMAND ARGS...
# --display-from-env uses $DISPLAY as it is when it is set.
set -u

use_env_display=0
if [ "${1-}" = --display-from-env ]; then use_env_display=1; shift; fi
[ $# -gt 0 ] || { echo "usage: $0 [--display-from-env] COMMAND ARGS..." >&2; exit 2; }

say() { echo "with-x11: $*" >&2; }

# Poll a condition until it holds or SECONDS pass.
wait_for() { # SECONDS COMMAND...
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.05; done
}

work='' xvfb_pid='' wm_pid='' child=''
cleanup() {
    [ -n "$child" ] && kill "$child" 2>/dev/null
    [ -n "$wm_pid" ] && { kill "$wm_pid" 2>/dev/null; wait "$wm_pid" 2>/dev/null; }
    [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; }
    [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP; trap 'exit 130' INT; trap 'exit 143' TERM

if [ "$use_env_display" = 1 ] && [ -n "${DISPLAY-}" ]; then
    exec "$@"
fi

work=$(mktemp -d) || exit 1
alive() { kill -0 "$1" 2>/dev/null; }

# Xvfb picks a free display number itself and writes it once it listens.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" </dev/null >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
xvfb_answered() { [ -s "$work/display" ] || ! alive "$xvfb_pid"; }
if ! wait_for 20 xvfb_answered || ! alive "$xvfb_pid"; then
    say "Xvfb did not start:"; cat "$work/xvfb.log" >&2; exit 1
fi
DISPLAY=:$(tr -d ' \n' <"$work/display")
# The server's pid too, for tools that measure what it costs.
XVFB_PID=$xvfb_pid
export DISPLAY XVFB_PID

# openbox is ready once it runs its --startup command: it puts its EWMH check
# window on the root earlier, but drops the windows mapped before it is done.
openbox --sm-disable --startup "touch $work/ready" </dev/null >"$work/openbox.log" 2>&1 &
wm_pid=$!
wm_ready() {
    [ -e "$work/ready" ] && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
wm_settled() { wm_ready || ! alive "$wm_pid"; }
if ! wait_for 20 wm_settled || ! alive "$wm_pid"; then
    say "openbox did not start on $DISPLAY:"; cat "$work/openbox.log" >&2; exit 1
fi
[ "$use_env_display" = 1 ] && say "DISPLAY is not set; running on a private invisible Xvfb $DISPLAY"

# In the background, so that a signal to this script is handled at once;
# stdin is passed on because a background job would get /dev/null.
"$@" <&0 &
child=$!
wait "$child"
rc=$?
child=''
exit "$rc"
