#!/usr/bin/env bash
# Pictures of Quellgate's windows for the README, in docs/screenshots/.
#   tools/with-wine.sh tools/screenshot.sh
# Needs DISPLAY and WINEPREFIX, as tools/with-wine.sh sets them.
#   QUELLGATE_TOUR  the tour program (build/windows/tools/win32/quellgate_tour.exe)
#   QUELLGATE_EXE   the Quellgate.exe it drives (by default the one of the same build)
# The tour prints "SHOT <name>" whenever the screen shows a state worth a
# picture and waits for a line from us before it moves on.
set -euo pipefail

say() { echo "screenshot: $*" >&2; }
: "${DISPLAY:?run me inside tools/with-wine.sh}" "${WINEPREFIX:?run me inside tools/with-wine.sh}"

tour=$(realpath "${QUELLGATE_TOUR:-build/windows/tools/win32/quellgate_tour.exe}")
build=$(dirname "$(dirname "$(dirname "$tour")")")
QUELLGATE_EXE=$(realpath "${QUELLGATE_EXE:-$build/src/win32/Quellgate.exe}")
export QUELLGATE_EXE  # read by the tour as a Unix path
[ -f "$tour" ] || { say "no tour program at $tour; build target quellgate_tour"; exit 1; }
[ -f "$QUELLGATE_EXE" ] || { say "no Quellgate.exe at $QUELLGATE_EXE"; exit 1; }

out=$(cd "$(dirname "$0")/.." && pwd)/docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
tour_pid=''
cleanup() {
    [ -n "$tour_pid" ] && kill "$tour_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# ImageMagick by full path: another "convert" may come first on PATH.
im_convert=/usr/bin/convert

# Xvfb's root window is a fine weave, not a flat colour that -trim could take
# away; the windows are whatever differs from the screen taken before any of
# them showed.
/usr/bin/import -window root "$work/empty.png"

# Small, lossless and still crisp: the windows use few colours.
save_png() { # SOURCE DESTINATION
    "$im_convert" "$1" -strip +dither -colors 256 -define png:compression-level=9 "PNG8:$2.tmp" &&
        mv "$2.tmp" "$2"
}

grab() { # NAME
    local name=$1 shot=$work/$1.png box
    /usr/bin/import -window root "$shot"
    box=$("$im_convert" "$shot" "$work/empty.png" -compose difference -composite -format '%@' info:)
    case $box in
        0x0+* | '') say "$name: nothing on screen"; return 1 ;;
    esac
    "$im_convert" "$shot" -crop "$box" +repage "$work/$name-cropped.png"
    save_png "$work/$name-cropped.png" "$out/$name.png"
    say "$name.png $box"
}

start=$SECONDS
coproc TOUR { exec wine "$tour" 2>&1; }
# shellcheck disable=SC2153  # TOUR_PID is set by coproc
tour_pid=$TOUR_PID
# Our own copies: bash drops TOUR's as soon as the tour ends, before we have
# read its last words.
exec {from_tour}<&"${TOUR[0]}" {to_tour}>&"${TOUR[1]}"
shots=() failed=''
while :; do
    IFS= read -r -t 120 line <&"$from_tour" || {
        [ $? -gt 128 ] && failed="no word from the tour for 120 s"
        break
    }
    line=${line%$'\r'}
    case $line in
        "SHOT "*)
            name=${line#SHOT }
            grab "$name" || { failed="no picture of $name"; break; }
            shots+=("$name")
            echo >&"$to_tour"
            ;;
        "FAILED "*) failed=${line#FAILED }; break ;;
        *) say "tour: $line" ;;
    esac
done
status=0
if [ -z "$failed" ]; then
    wait "$tour_pid" || status=$?
    tour_pid=''
    [ "$status" = 0 ] || failed="the tour ended with status $status"
fi
[ -z "$failed" ] || { say "FAILED: $failed"; exit 1; }

for name in splash main info password add-keyword; do
    [[ " ${shots[*]} " == *" $name "* ]] || { say "FAILED: the tour took no picture of $name"; exit 1; }
done

# The README's picture: the main window, the Info window and the splash.
# A gap of 16 px before each, and none before the first; tops aligned.
"$im_convert" -background none "$out/main.png" "$out/info.png" "$out/splash.png" \
    -gravity west -splice 16x0 -gravity north +append +gravity -chop 16x0 "$work/overview.png"
save_png "$work/overview.png" "$out/overview.png"

say "done in $((SECONDS - start)) s:"
for name in "${shots[@]}" overview; do
    say "  docs/screenshots/$name.png $(stat -c %s "$out/$name.png") bytes"
done
