#!/usr/bin/env bash
# Builds the libFuzzer target with clang in its own build folder and runs it.
#   FUZZ_SECONDS   how long to fuzz (default 60)
#   FUZZ_BUILD_DIR build folder (default build/fuzz); the corpus it grows
#                  lives in its corpus/
#   FUZZ_KEEP=1    afterwards, add the inputs that reach new code to the kept
#                  corpus tests/fuzz/corpus, which the unit tests replay
# Exits non-zero when the fuzzer found a fault; the input that shows it is
# kept under findings/ and named in the output.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build/fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELLGATE_WERROR=ON \
    -DQUELLGATE_FUZZ=ON -DQUELLGATE_BENCHMARKS=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target quellgate_blocklist_fuzz

corpus=$build/corpus
kept=tests/fuzz/corpus
# One folder per run, so a run never mixes its findings with older ones.
findings=$build/findings/$(date +%Y%m%d-%H%M%S)
mkdir -p "$corpus" "$findings"

log=$findings/fuzz.log
echo "fuzz: running for ${seconds} s; log in $log"
set +e
"$build/tests/fuzz/quellgate_blocklist_fuzz" \
    -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$kept" >"$log" 2>&1
rc=$?
set -e

final_stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -n 1; }
last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
echo "fuzz: executions     $(final_stat number_of_executed_units)"
echo "fuzz: exec/s         $(final_stat average_exec_per_sec)"
echo "fuzz: peak RSS MB    $(final_stat peak_rss_mb)"
echo "fuzz: coverage       $(sed -n 's/.*\(cov: [0-9]*\).*\(ft: [0-9]*\).*\(corp: [^ ]*\).*/\1  \2  \3/p' <<<"$last")"
echo "fuzz: corpus files   $(find "$corpus" -type f | wc -l)"

if [ "${FUZZ_KEEP:-0}" = 1 ]; then
    "$build/tests/fuzz/quellgate_blocklist_fuzz" -merge=1 "$kept" "$corpus" >>"$log" 2>&1
    echo "fuzz: kept corpus    $(find "$kept" -type f | wc -l) files in $kept"
fi

mapfile -t artifacts < <(find "$findings" -type f ! -name fuzz.log | sort)
if [ "$rc" -eq 0 ] && [ ${#artifacts[@]} -eq 0 ]; then
    echo "fuzz: findings       none"
    exit 0
fi
echo "fuzz: findings       ${#artifacts[@]} (fuzzer exit code $rc)"
grep -E 'property violated|ERROR: AddressSanitizer|runtime error|ERROR: libFuzzer' "$log" | head -n 20 || true
for artifact in "${artifacts[@]}"; do
    echo "fuzz:   $artifact ($(wc -c <"$artifact") bytes)"
done
exit 1
