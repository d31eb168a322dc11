# make run          installs what is missing, builds, starts the Linux edition on X11
# make run-windows  the same for Quellgate.exe, under Wine
# make test         installs what is missing, builds, runs every test
# make package      the release files in dist/; CHECK_REPRODUCIBLE=1 also builds
#                   it once more from a fresh clone and compares

.PHONY: all deps build native windows test unit-test windows-test lint package package-test run run-windows bench \
	load x11-load linux-load wayland-load kde-load gnome-load screenshot screenshot-linux fuzz clean

all: build

deps:
	@tools/install-deps.sh

build: native windows

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

# The Windows tests run in a time zone far from UTC, so that a clock read as
# UTC is hours off (Wine takes the zone from the environment it starts in).
WINDOWS_TEST_ZONE := TZ=Pacific/Kiritimati

test: build
	tools/check-format.sh
	tools/with-x11.sh ctest --preset native
	$(WINDOWS_TEST_ZONE) tools/with-wine.sh ctest --preset windows

unit-test: native
	tools/with-x11.sh ctest --preset native

windows-test: windows
	$(WINDOWS_TEST_ZONE) tools/with-wine.sh ctest --preset windows

# clang-tidy over both editions' sources.
lint: build
	tools/lint.sh

package: deps
	tools/package.sh $(if $(CHECK_REPRODUCIBLE),--check-reproducible)

# Installs and removes the .deb on this machine.
package-test: package
	tests/package/package_test.sh

# On $DISPLAY, or on a private invisible Xvfb with openbox when there is none.
# On GNOME the build's Shell extension is put in place for the user first:
# quellgate enables it.
run: native
	case "$$XDG_CURRENT_DESKTOP" in *GNOME*) \
	  mkdir -p "$${XDG_DATA_HOME:-$$HOME/.local/share}/gnome-shell/extensions" && \
	  cp -r build/native/src/linux/gnome/extensions/. "$${XDG_DATA_HOME:-$$HOME/.local/share}/gnome-shell/extensions/";; \
	esac
	if [ -n "$$WAYLAND_DISPLAY" ]; then build/native/src/qt/quellgate; \
	else tools/with-x11.sh --display-from-env build/native/src/qt/quellgate; fi

run-windows: windows
	tools/with-wine.sh --display-from-env wine build/windows/src/win32/Quellgate.exe

bench: native
	build/native/bench/quellgate_bench

load: windows
	tools/measure-load.sh

x11-load: native
	tools/with-x11.sh build/native/bench/quellgate_x11_load

# The running quellgate's CPU and memory, the X server's beside it, and its reaction time.
linux-load: native
	QUELLGATE=build/native/src/qt/quellgate QUELLGATE_PROBE=build/native/tests/support/quellgate_probe \
	  QT_QPA_PLATFORM=xcb tools/with-x11.sh /usr/bin/python3 tools/linux/load.py

# The same on a headless sway.
wayland-load: native
	QUELLGATE=build/native/src/qt/quellgate QUELLGATE_PROBE=build/native/tests/support/quellgate_probe \
	  /usr/bin/python3 tools/linux/load.py --sway

# The same on a headless KWin.
kde-load: native
	QUELLGATE=build/native/src/qt/quellgate QUELLGATE_PROBE=build/native/tests/support/quellgate_probe \
	  /usr/bin/python3 tools/linux/load.py --kwin
# The same on a headless GNOME Shell with the build's extension.
gnome-load: native
	QUELLGATE=build/native/src/qt/quellgate QUELLGATE_PROBE=build/native/tests/support/quellgate_probe \
	  QUELLGATE_GNOME_EXTENSIONS=build/native/src/linux/gnome/extensions /usr/bin/python3 tools/linux/load.py --gnome

screenshot: windows
	@tools/install-deps.sh --screenshot
	tools/with-wine.sh tools/screenshot.sh

screenshot-linux: native
	@tools/install-deps.sh --screenshot
	tools/with-x11.sh tools/linux-screenshot.sh

# FUZZ_SECONDS a target, 30 by default.
fuzz:
	@tools/install-deps.sh --fuzz
	tools/fuzz.sh

clean:
	rm -rf build/native build/windows build/release dist
