#!/usr/bin/env bash
# The picture of the Linux edition's windows for the README, docs/screenshots/linux.png:
# the main window (two networks blocked, two keywords), the info window and
# the start-up splash, side by side.
#   tools/with-x11.sh tools/linux-screenshot.sh
# Runs build/native/src/qt/quellgate with settings of its own, on the display
# tools/with-x11.sh makes (Xvfb with openbox).
set -euo pipefail

say() { echo "linux-screenshot: $*" >&2; }
: "${DISPLAY:?run me inside tools/with-x11.sh}"
root=$(cd "$(dirname "$0")/.." && pwd)
program=${QUELLGATE_BIN:-$root/build/native/src/qt/quellgate}
[ -x "$program" ] || { say "no program at $program; build the native preset"; exit 1; }

work=$(mktemp -d)
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
pid=''
cleanup() {
    [ -n "$pid" ] && { kill -CONT "$pid" 2>/dev/null; kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; }
    rm -rf "$work"
}
trap cleanup EXIT

# Poll a condition until it holds or SECONDS pass.
wait_for() { # SECONDS COMMAND...
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.02; done
}
# The program's visible window whose title is exactly TITLE (no regex characters but ".").
window() { # TITLE
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$(xprop -id "$id" _NET_WM_PID 2>/dev/null | awk '{print $3}')" = "$pid" ] && { echo "$id"; return 0; }
    done
    return 1
}
shown() { window "$1" >/dev/null; }
gone() { ! shown "$1"; }
geometry() { # ID -> x y width height of the client
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
                             /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}
# The window with its frame, cut from the whole screen.
grab() { # ID OUT
    local x y w h left right top bottom
    read -r x y w h < <(geometry "$1")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}')
    import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" +repage "$2"
}
# A click at a point of the main window's client area, in layout twips
# below the menu bar.
click_twips() { # ID LEFT TOP
    local x y w h
    read -r x y w h < <(geometry "$1")
    local menu=$((h - $(layout_height)))
    xdotool mousemove --sync $((x + $2 / 15)) $((y + menu + $3 / 15)) click 1
}
layout_height() { echo $((5925 / 15)); }

# The splash, held still as soon as it is on screen at its full height: it
# rolls up from its first 100 ms on. A start that misses that moment is tried again.
splash=''
for attempt in 1 2 3 4 5 6 7 8 9 10; do
    "$program" 2>"$work/stderr" &
    pid=$!
    wait_for 10 shown Quellgate || { say "no splash"; cat "$work/stderr" >&2; exit 1; }
    kill -STOP "$pid"
    id=$(window Quellgate)
    read -r _ _ _ height < <(geometry "$id")
    if [ "$height" -eq $((6480 / 15)) ]; then
        grab "$id" "$work/splash.png"
        # Drawn: the red title is there.
        if [ "$(convert "$work/splash.png" -fill black +opaque red -format '%[fx:mean>0]' info:)" = 1 ]; then
            splash=done
            kill -CONT "$pid"
            break
        fi
    fi
    kill -CONT "$pid"; kill "$pid"; wait "$pid" 2>/dev/null || true; pid=''
    say "attempt $attempt missed the splash at full height (it was ${height}px high)"
done
[ -n "$splash" ] || { say "could not catch the splash"; exit 1; }
wait_for 10 gone Quellgate

# F5 and the first-run password, then its warning.
xdotool key F5
wait_for 10 shown Quellgate
xdotool type --delay 30 lotus7391
xdotool key Return
wait_for 10 shown Quellgate
xdotool key Return
wait_for 10 shown "QUELLGATE V. 1.0." || { say "the main window did not show"; exit 1; }
main=$(window "QUELLGATE V. 1.0.")
xdotool windowmove --sync "$main" 40 40

# twitter and youtube blocked; two keywords of the user's.
click_twips "$main" 1035 1995
click_twips "$main" 1027 4867
for keyword in "celebrity gossip" "online poker"; do
    click_twips "$main" 4260 5220
    wait_for 10 shown Quellgate
    xdotool type --delay 30 "$keyword"
    xdotool key Return
    wait_for 10 gone Quellgate
done
# Nothing hovered or pressed.
xdotool mousemove 0 0

read -r x y w h < <(geometry "$main")
xdotool mousemove --sync $((x + 84)) $((y + 9)) click 1  # Info, in the menu bar
wait_for 10 shown Info || { say "the info window did not show"; exit 1; }
info=$(window Info)
xdotool windowmove --sync "$info" 800 40
xdotool mousemove 0 0
# Each with the focus, as the user would look at it.
xdotool windowactivate --sync "$main"
grab "$main" "$work/main.png"
xdotool windowactivate --sync "$info"
grab "$info" "$work/info.png"

out=$root/docs/screenshots/linux.png
convert -background white "$work/main.png" -size 24x1 xc:white "$work/info.png" -size 24x1 xc:white \
    "$work/splash.png" -gravity north +append -strip +dither -colors 256 -define png:compression-level=9 \
    "PNG8:$out"
say "$out $(identify -format '%wx%h' "$out")"
