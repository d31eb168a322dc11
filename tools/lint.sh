#!/usr/bin/env bash
# clang-tidy (.clang-tidy) over the program's sources: the core and the Linux
# edition as the native build compiles them, the Windows edition as the
# MinGW build does. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
report=$(mktemp)
trap 'rm -f "$report"' EXIT

# clang finds MinGW's C library but not its C++ one: hand it the compiler's
# C++ headers (its intrinsics are its own; clang has its own too).
windows_args=(--extra-arg=--target=x86_64-w64-mingw32)
while read -r dir; do
    windows_args+=(--extra-arg=-isystem --extra-arg="$dir")
done < <(echo | x86_64-w64-mingw32-g++-posix -xc++ -E -v - 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search/{s/^ //p}' | grep -E '/c\+\+|/x86_64-w64-mingw32/include$')

status=0
git ls-files 'src/*.cpp' | grep -v '^src/win32/' |
    xargs -P "$jobs" -n 4 clang-tidy -p build/native --quiet >>"$report" 2>/dev/null || status=1
git ls-files 'src/win32/*.cpp' |
    xargs -P "$jobs" -n 4 clang-tidy -p build/windows --quiet "${windows_args[@]}" >>"$report" 2>/dev/null ||
    status=1
findings=$(grep -cE '(warning|error):' "$report" || true)
if [ "$status" != 0 ] || [ "$findings" != 0 ]; then
    grep -E -A3 '(warning|error):' "$report" | head -n 200
    echo "lint: $findings findings" >&2
    exit 1
fi
echo "lint: no findings"
