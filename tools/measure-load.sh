#!/usr/bin/env bash
# What the watch costs, read from outside Wine: runs quellgate_load under
# tools/with-wine.sh and samples the Linux process that runs Quellgate.exe
# (and the prefix's wineserver, which answers its window queries) when the
# measured time starts and when it ends.
#   tools/measure-load.sh [--match]        extra arguments go to quellgate_load
# Environment:
#   LOAD_SECONDS        measured wall time (default 60)
#   QUELLGATE_BUILD_DIR Windows build folder (default build/windows)
#   QUELLGATE_EXE       the program (default $QUELLGATE_BUILD_DIR/src/win32/Quellgate.exe)
#   QUELLGATE_LOAD_EXE  the load tool (default $QUELLGATE_BUILD_DIR/tools/win32/quellgate_load.exe)
#   QUELLGATE_WINE_DIR  passed on to tools/with-wine.sh (default build/wine)
set -euo pipefail
cd "$(dirname "$0")/.."

say() { echo "measure-load: $*"; }
seconds=${LOAD_SECONDS:-60}
build=${QUELLGATE_BUILD_DIR:-build/windows}
exe=${QUELLGATE_EXE:-$build/src/win32/Quellgate.exe}
load=${QUELLGATE_LOAD_EXE:-$build/tools/win32/quellgate_load.exe}
wine_dir=${QUELLGATE_WINE_DIR:-$PWD/build/wine}
for file in "$exe" "$load"; do
    [ -f "$file" ] || { say "$file is missing; build the windows preset first"; exit 1; }
done
# The harness maps an absolute Unix path to drive Z:.
QUELLGATE_EXE=$(realpath "$exe")
mkdir -p "$wine_dir"
QUELLGATE_WINE_DIR=$(cd "$wine_dir" && pwd)
prefix=$QUELLGATE_WINE_DIR/prefix
export QUELLGATE_EXE QUELLGATE_WINE_DIR
hz=$(getconf CLK_TCK)

# Other prefixes may run their own copies with the same Windows names and
# ids, so a process counts only when it runs in our prefix.
in_our_prefix() { tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix"; }
find_process() { # COMM [CMDLINE-SUBSTRING]
    local pid
    for pid in $(pgrep -x "$1"); do  # an ERE: wineserver runs as wineserver64
        [ -z "${2-}" ] || tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF "$2" || continue
        in_our_prefix "$pid" && { echo "$pid"; return 0; }
    done
    return 1
}
# utime+stime (fields 14 and 15) in clock ticks, counted after the command
# name, which may hold spaces.
cpu_ticks() {
    local stat fields
    stat=$(<"/proc/$1/stat")
    read -ra fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}
status_kib() { sed -n "s/^$2:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$1/status"; }
now() { date +%s.%N; }

tmp=$(mktemp -d)
trap 'exec {reply}>&- 2>/dev/null; rm -rf "$tmp"' EXIT
mkfifo "$tmp/reply"
# Held open read-write so that neither side blocks on opening the pipe.
exec {reply}<>"$tmp/reply"

program='' server='' start_wall='' start_cpu='' start_server=''
while IFS= read -r line; do
    line=${line%$'\r'}
    echo "$line"
    case $line in
    LOAD-START*)
        folder=${line##*folder=}
        program=$(find_process Quellgate.exe "$folder\\Quellgate.exe") || { say "Quellgate.exe not found"; program=''; }
        server=$(find_process "wineserver(64)?") || server=''
        start_wall=$(now)
        [ -n "$program" ] && start_cpu=$(cpu_ticks "$program")
        [ -n "$server" ] && start_server=$(cpu_ticks "$server")
        ;;
    LOAD-END)
        end_wall=$(now)
        if [ -n "$program" ] && [ -d "/proc/$program" ]; then
            end_cpu=$(cpu_ticks "$program")
            hwm=$(status_kib "$program" VmHWM)
            rss=$(status_kib "$program" VmRSS)
        fi
        [ -n "$server" ] && [ -d "/proc/$server" ] && end_server=$(cpu_ticks "$server")
        echo >&"$reply"  # the load tool may end the program now
        ;;
    esac
done < <(tools/with-wine.sh wine "$load" "$seconds" --handshake "$@" <&"$reply" 2>&1)
wait $! && rc=0 || rc=$?

[ -n "${end_wall-}" ] || { say "the load tool ended before the measured time was over (exit code $rc)"; exit 1; }
share() { awk -v t="$1" -v hz="$hz" -v w="$2" 'BEGIN { printf "%.3f s = %.2f %% of one core", t / hz, 100 * t / hz / w }'; }
wall=$(awk -v a="$start_wall" -v b="$end_wall" 'BEGIN { printf "%.2f", b - a }')
say "sampled from Linux over $wall s of wall time"
if [ -n "${end_cpu-}" ]; then
    say "Quellgate.exe (pid $program) cpu $(share $((end_cpu - start_cpu)) "$wall")"
    say "Quellgate.exe peak RSS (VmHWM) $hwm KiB, RSS at the end $rss KiB"
else
    say "Quellgate.exe could not be sampled"
fi
[ -n "${end_server-}" ] &&
    say "wineserver (pid $server, also serves the load tool) cpu $(share $((end_server - start_server)) "$wall")"
exit "$rc"
