#!/usr/bin/env bash
# Fails when a C++ file of the project is not as .clang-format would write it.
#   tools/check-format.sh        check
#   tools/check-format.sh --fix  rewrite the files in place
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1-}" = --fix ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! clang-format --dry-run -Werror "${files[@]}" 2>"$report"; then
    grep -E '^[^ ].*: (warning|error):' "$report" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
    echo "check-format: run tools/check-format.sh --fix" >&2
    exit 1
fi
