# make run      installs what is missing, builds, starts Quellgate.exe under Wine
# make test     installs what is missing, builds, runs every test
# make package  the release files in dist/; CHECK_REPRODUCIBLE=1 also builds
#               them twice more from fresh clones and compares

.PHONY: all deps build native windows test unit-test windows-test package package-test run bench load screenshot \
	fuzz clean

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

test: build
	tools/check-format.sh
	ctest --preset native
	tools/with-wine.sh ctest --preset windows

unit-test: native
	ctest --preset native

windows-test: windows
	tools/with-wine.sh ctest --preset windows

package: deps
	tools/package.sh $(if $(CHECK_REPRODUCIBLE),--check-reproducible)

# Installs and removes the .deb on this machine.
package-test: package
	tests/package/package_test.sh

run: windows
	tools/with-wine.sh --display-from-env wine build/windows/src/win32/Quellgate.exe

bench: native
	build/native/bench/quellgate_bench

load: windows
	tools/measure-load.sh

screenshot: windows
	@tools/install-deps.sh --screenshot
	tools/with-wine.sh tools/screenshot.sh

fuzz:
	@tools/install-deps.sh --fuzz
	tools/fuzz.sh

clean:
	rm -rf build/native build/windows build/release dist
