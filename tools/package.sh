#!/usr/bin/env bash
# Builds the release files into dist/:
#   Quellgate-<version>-win64.zip   Quellgate.exe, README.txt, LICENSE.txt
#   quellgate_<version>_amd64.deb   the Linux edition, when this tree has it (src/qt)
#   SHA256SUMS
#
#   tools/package.sh                        build in build/release/, package
#   tools/package.sh --check-reproducible   also build HEAD in a fresh clone in
#                                           another folder; fail unless they agree
#
# The same commit gives the same bytes wherever it is built: every date is the
# last commit's (SOURCE_DATE_EPOCH), and archives list their files sorted, with
# fixed owners and modes.
#
# QUELLGATE_LINUX_BIN packages that program instead of building the Linux edition,
# with the GNOME Shell extension's forms from the folder QUELLGATE_GNOME_EXTENSIONS.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

check=0
case "${1-}" in
  --check-reproducible) check=1 ;;
  "") ;;
  *) echo "usage: $0 [--check-reproducible]" >&2; exit 2 ;;
esac

say() { echo "package: $*" >&2; }

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C.UTF-8
umask 022

windows_build=build/release/windows
native_build=build/release/native
linux_bin=${QUELLGATE_LINUX_BIN:-$native_build/src/qt/quellgate}
gnome_extensions=${QUELLGATE_GNOME_EXTENSIONS:-$native_build/src/linux/gnome/extensions}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Release builds of their own: a developer's build folders hold outputs made
# without SOURCE_DATE_EPOCH.
cmake --preset windows -B "$windows_build" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$windows_build" -j2 --target Quellgate
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows_build/CMakeCache.txt")
[ -n "$version" ] || { say "no project version in $windows_build/CMakeCache.txt"; exit 1; }

with_linux=0
if [ -n "${QUELLGATE_LINUX_BIN-}" ]; then
  with_linux=1
elif [ -f src/qt/CMakeLists.txt ]; then
  with_linux=1
  # Debian's hardening: stack protector, fortified calls, a read-only GOT.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cmake --preset native -B "$native_build" -DBUILD_TESTING=OFF -DQUELLGATE_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
  # rcc writes SOURCE_DATE_EPOCH into the program: make it again for this commit.
  find "$native_build" -path '*/.rcc/qrc_*.cpp' -delete
  cmake --build "$native_build" -j2 --target quellgate
else
  say "no Linux edition in this tree (src/qt): no .deb"
fi

crlf() { sed 's/\r*$/\r/'; }
# Every file and folder gets the commit's date, so that archives hold no build time.
stamp() { find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }

rm -rf dist
mkdir dist

zip_name=Quellgate-$version-win64.zip
stage=$work/zip
mkdir "$stage"
install -m 755 "$windows_build/src/win32/Quellgate.exe" "$stage/Quellgate.exe"
sed "s/@VERSION@/$version/g" packaging/windows/README.txt | crlf >"$stage/README.txt"
crlf <LICENSE >"$stage/LICENSE.txt"
chmod 644 "$stage/README.txt" "$stage/LICENSE.txt"
stamp "$stage"
# -X leaves out owners and extended times, -D folder entries.
(cd "$stage" && find . -type f -printf '%P\n' | sort | zip -q -X -D -9 -@ "$root/dist/$zip_name")

if [ "$with_linux" = 1 ]; then
  arch=$(dpkg --print-architecture)
  deb_name=quellgate_${version}_$arch.deb
  id=org.quellgate.Quellgate
  deb=$work/deb
  doc=$deb/usr/share/doc/quellgate
  install -d -m 755 "$deb" "$deb/DEBIAN" "$deb/usr/bin" "$deb/usr/share/applications" \
    "$deb/usr/share/metainfo" "$deb/usr/share/man/man1" "$doc"
  strip --strip-all --remove-section=.comment --remove-section=.note -o "$deb/usr/bin/quellgate" "$linux_bin"
  chmod 755 "$deb/usr/bin/quellgate"
  for size in 16 22 24 32 48 64 128 256; do
    install -D -m 644 "src/pictures/quellgate-$size.png" \
      "$deb/usr/share/icons/hicolor/${size}x$size/apps/quellgate.png"
  done
  install -m 644 "packaging/linux/$id.desktop" "$deb/usr/share/applications/$id.desktop"
  # Both forms of the GNOME Shell extension, each in a folder named by its uuid:
  # the shell loads the one made for its release.
  for form in "$gnome_extensions"/*/; do
    install -d -m 755 "$deb/usr/share/gnome-shell/extensions/$(basename "$form")"
    install -m 644 "$form"* "$deb/usr/share/gnome-shell/extensions/$(basename "$form")/"
  done
  release_date=$(date -u -d "@$SOURCE_DATE_EPOCH" +%F)
  sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$release_date/g" \
    "packaging/linux/$id.metainfo.xml.in" >"$deb/usr/share/metainfo/$id.metainfo.xml"
  sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$release_date/g" packaging/linux/quellgate.1 |
    gzip -9n >"$deb/usr/share/man/man1/quellgate.1.gz"
  install -m 644 packaging/linux/copyright "$doc/copyright"
  sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$(date -u -R -d "@$SOURCE_DATE_EPOCH")/g" \
    packaging/linux/changelog.in | gzip -9n >"$doc/changelog.gz"
  chmod 644 "$deb/usr/share/metainfo/$id.metainfo.xml" "$deb/usr/share/man/man1/quellgate.1.gz" "$doc/changelog.gz"

  # dpkg-shlibdeps wants a source package around the binary it reads.
  mkdir "$work/shlibs" "$work/shlibs/debian"
  printf 'Source: quellgate\n\nPackage: quellgate\nArchitecture: any\n' >"$work/shlibs/debian/control"
  depends=$(cd "$work/shlibs" && dpkg-shlibdeps -O "$deb/usr/bin/quellgate" | sed -n 's/^shlibs:Depends=//p')
  [ -n "$depends" ] || { say "dpkg-shlibdeps found no libraries for $linux_bin"; exit 1; }

  # As dpkg-gencontrol counts it: KiB per file, rounded up, and one per folder.
  installed_size=$(cd "$deb" && find usr \( -type f -printf '%s\n' \) -o \( -type d -printf '1024\n' \) |
    awk '{ total += int(($1 + 1023) / 1024) } END { print total }')
  sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$arch/g" -e "s/@DEPENDS@/$depends/g" \
    -e "s/@INSTALLED_SIZE@/$installed_size/g" packaging/linux/control.in >"$deb/DEBIAN/control"
  (cd "$deb" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$deb/DEBIAN/md5sums"
  chmod 644 "$deb/DEBIAN/control" "$deb/DEBIAN/md5sums"
  stamp "$deb"
  dpkg-deb --root-owner-group -Zxz -z9 --threads-max=1 --build "$deb" "dist/$deb_name" >/dev/null
fi

sums=$(cd dist && sha256sum -- *)
sort -k 2 <<<"$sums" >dist/SHA256SUMS
say "dist/ ($version):"
(cd dist && stat -c '  %10s bytes  %n' -- *) >&2

[ "$check" = 1 ] || exit 0

# HEAD built again in a fresh clone in a folder of another depth and name;
# its results must match byte for byte. A work tree with uncommitted changes
# is no witness for HEAD, so then two clones are built and compared.
commit=$(git rev-parse HEAD)
copies=("$work/repro/second/copy-two")
[ -z "$(git status --porcelain --untracked-files=no)" ] || copies+=("$work/repro/one")
for copy in "${copies[@]}"; do
  say "building $commit again in $copy"
  mkdir -p "$(dirname "$copy")"
  git clone --quiet --no-checkout "$root" "$copy"
  git -C "$copy" checkout --quiet --detach "$commit"
  "$copy/tools/package.sh" >"$copy.log" 2>&1 || { cat "$copy.log" >&2; say "the build in $copy failed"; exit 1; }
done
witness=$root
[ "${#copies[@]}" = 2 ] && witness=${copies[1]}

differs=0
compare() { # FILE A B
  if ! cmp -s "$2" "$3"; then
    say "not reproducible: $1 differs between $2 and $3; first differing bytes (offset, octal):"
    cmp -l "$2" "$3" | head -5 >&2 || true
    differs=1
  fi
}
outputs=("$windows_build/src/win32/Quellgate.exe")
[ "$with_linux" = 1 ] && [ -z "${QUELLGATE_LINUX_BIN-}" ] && outputs+=("$linux_bin")
for file in "${outputs[@]}" dist/*; do compare "$file" "$witness/$file" "${copies[0]}/$file"; done
[ "$differs" = 0 ] || exit 1
say "reproducible: $(cd dist && echo *) are the same when $commit is built in $witness and in ${copies[0]}"
