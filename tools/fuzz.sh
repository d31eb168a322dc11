#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build folder and runs
# each in turn.
#   FUZZ_SECONDS   how long to fuzz each target (default 30)
#   FUZZ_TARGETS   which (default: blocklist settings captions)
#   FUZZ_BUILD_DIR build folder (default build/fuzz); the corpora it grows
#                  live in its corpus/<target>
#   FUZZ_KEEP=1    afterwards, add the inputs that reach new code to the kept
#                  corpus tests/fuzz/corpus/<target>, from which every run
#                  starts and which make test replays
# Exits non-zero when a fuzzer found a fault; the input that shows it is kept
# under findings/ and named in the output: copy it into the target's kept
# corpus once the fault is mended, so that make test replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-30}
targets=${FUZZ_TARGETS:-blocklist settings captions}
build=${FUZZ_BUILD_DIR:-build/fuzz}
kept=tests/fuzz/corpus

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELLGATE_WERROR=ON \
    -DQUELLGATE_FUZZ=ON -DQUELLGATE_BENCHMARKS=OFF -DBUILD_TESTING=OFF >/dev/null
for target in $targets; do cmake --build "$build" --target "quellgate_${target}_fuzz"; done

# One folder per run, so a run never mixes its findings with older ones.
findings=$build/findings/$(date +%Y%m%d-%H%M%S)
mkdir -p "$findings"
found=0
for target in $targets; do
    fuzzer=$build/tests/fuzz/quellgate_${target}_fuzz
    corpus=$build/corpus/$target
    mkdir -p "$corpus" "$findings/$target"
    mkdir -p "$kept/$target"
    log=$findings/$target/fuzz.log
    set +e
    "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/$target/" "$corpus" "$kept/$target" >"$log" 2>&1
    rc=$?
    set -e
    stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -n 1; }
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
    printf 'fuzz %-9s %6s s  executions %-9s exec/s %-6s %s  peak RSS %s MB\n' "$target" "$seconds" \
        "$(stat number_of_executed_units)" "$(stat average_exec_per_sec)" \
        "$(sed -n 's/.*\(cov: [0-9]*\).*\(ft: [0-9]*\).*\(corp: [^ ]*\).*/\1  \2  \3/p' <<<"$last")" \
        "$(stat peak_rss_mb)"
    if [ "${FUZZ_KEEP:-0}" = 1 ]; then
        "$fuzzer" -merge=1 "$kept/$target" "$corpus" >>"$log" 2>&1
        echo "fuzz: kept corpus $(find "$kept/$target" -type f | wc -l) files in $kept/$target"
    fi
    mapfile -t artifacts < <(find "$findings/$target" -type f ! -name fuzz.log | sort)
    if [ "$rc" -ne 0 ] || [ ${#artifacts[@]} -gt 0 ]; then
        found=1
        echo "fuzz: $target found ${#artifacts[@]} (fuzzer exit code $rc)"
        grep -E 'property violated|ERROR: AddressSanitizer|runtime error|ERROR: libFuzzer' "$log" | head -n 20 || true
        for artifact in "${artifacts[@]}"; do echo "fuzz:   $artifact ($(wc -c <"$artifact") bytes)"; done
    fi
done
[ "$found" = 0 ] && echo "fuzz: findings none"
exit "$found"
