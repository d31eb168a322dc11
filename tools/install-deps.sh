#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make clang-format clang-tidy git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth
  qt6-base-dev pkg-config libxcb1-dev libxcb-xtest0-dev libxcb-xinput-dev openbox x11-utils
  zip unzip dpkg-dev lintian desktop-file-utils appstream xdotool wmctrl x11-xserver-utils
  chromium firefox-esr dbus-daemon python3 python3-pytest python3-i3ipc
  libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev qt6-wayland sway wtype jq
  kwin-wayland plasma-wayland-protocols qdbus-qt5 gnome-shell xwayland systemd
)
case "${1:-}" in
  --fuzz) packages+=(clang libclang-rt-14-dev) ;;
  --screenshot) packages+=(imagemagick xdotool) ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
