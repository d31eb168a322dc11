#!/usr/bin/env bash
# shellcheck disable=SC2317  # the checks run through check()
# Tries the release files in dist/ as a person would: unpacks the zip and runs
# its Quellgate.exe under Wine; installs the .deb, runs it on an X display and
# removes it again. Run after tools/package.sh (make package-test does both).
# Installs and removes the package quellgate: needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/../.."

say() { echo "package-test: $*" >&2; }

# Run on a display of tools/with-x11.sh: the installed program shows its splash.
if [ "${1-}" = --splash ]; then
    home=$(mktemp -d)
    trap 'kill "$pid"; rm -rf "$home"' EXIT
    mkdir -m 700 "$home/runtime"
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/runtime quellgate >"$home/log" 2>&1 &
    pid=$!
    timeout 30 xdotool search --sync --all --onlyvisible --pid "$pid" --name '^Quellgate$' >/dev/null ||
        { say "no visible window titled Quellgate; the program said:"; cat "$home/log" >&2; exit 1; }
    exit
fi

# Run on a display of tools/with-wine.sh: the unpacked program shows its splash.
if [ "${1-}" = --wine-splash ]; then
    (cd "$2" && wine Quellgate.exe >/dev/null 2>&1 &)
    timeout 30 xdotool search --sync --limit 1 --name '^Quellgate$' >/dev/null
    exit
fi

passed=0 failed=0
check() { # WHAT COMMAND...: what it printed is shown when it fails
    local what=$1; shift
    if "$@" >"$work/output" 2>&1; then
        passed=$((passed + 1)); echo "ok    $what"
    else
        failed=$((failed + 1)); echo "FAIL  $what"; sed 's/^/      /' "$work/output"
    fi
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/windows/CMakeCache.txt 2>/dev/null || true)
[ -n "$version" ] || { say "no release build: run tools/package.sh first"; exit 1; }
zip=dist/Quellgate-$version-win64.zip
deb=dist/quellgate_${version}_$(dpkg --print-architecture).deb
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sums_cover_all() {
    (cd dist && sha256sum --quiet --strict --check SHA256SUMS) &&
        diff <(find dist -type f ! -name SHA256SUMS -printf '%f\n' | sort) <(awk '{ print $2 }' dist/SHA256SUMS)
}
check "SHA256SUMS holds every release file, and they match" sums_cover_all

holds_exactly() { diff <(printf '%s\n' LICENSE.txt Quellgate.exe README.txt) <(unzip -Z1 "$zip" | sort); }
check "$zip holds Quellgate.exe, README.txt and LICENSE.txt" holds_exactly

unzip -q "$zip" -d "$work/zip"
check "the unpacked Quellgate.exe starts and shows its splash" tools/with-wine.sh "$0" --wine-splash "$work/zip"

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
apt_get() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=600 "$@" >/dev/null; }
id=org.quellgate.Quellgate

check "lintian finds no error or warning in $deb" lintian --fail-on error,warning --quiet "$deb"

# A run stopped half-way may have left it installed.
dpkg-query -W quellgate >/dev/null 2>&1 && apt_get purge -y quellgate
find /usr -xdev | sort >"$work/before"
check "apt installs $deb" apt_get install -y "./$deb"
prints_version() {
    local printed
    printed=$(timeout 20 quellgate --version)
    [ "$printed" = "quellgate $version" ] || { echo "it printed: $printed"; return 1; }
}
check "quellgate --version prints quellgate $version" prints_version
check "the desktop entry is valid" desktop-file-validate "/usr/share/applications/$id.desktop"
check "the GNOME Shell extension is installed in both its forms" test "$(dpkg -L quellgate |
    grep -cE '^/usr/share/gnome-shell/extensions/[^/]+/(extension\.js|metadata\.json)$')" = 4
check "the AppStream metainfo is valid" appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml"

depends_names_every_library() {
    local depends multiarch library owner ok=0
    depends=$(dpkg-query -W -f='${Depends}' quellgate)
    multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
    for library in $(objdump -p /usr/bin/quellgate | awk '$1 == "NEEDED" { print $2 }'); do
        owner=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -1 | cut -d: -f1)
        [[ ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ]] ||
            { say "$library (from ${owner:-no package}) is not in Depends: $depends"; ok=1; }
    done
    return "$ok"
}
check "Depends names the package of every library quellgate loads" depends_names_every_library

check "quellgate starts on an X display with openbox and shows its splash" tools/with-x11.sh "$0" --splash

check "apt purges quellgate" apt_get purge -y quellgate
find /usr -xdev | sort >"$work/after"
check "nothing of it is left in /usr" diff "$work/before" "$work/after"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
