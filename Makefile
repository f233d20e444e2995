# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# The two commands a new machine needs: `make run` and `make test`. Each installs what it
# is missing from Debian's archive first, and only that: playing needs no test tool.

BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
BENCH_DIR ?= build-bench
PACKAGE_DIR ?= build-package
WINDOWS_DIR ?= build-windows
# Qt built for Windows outlives any tree: its first build takes long.
WINDOWS_CACHE ?= $(or $(XDG_CACHE_HOME),$(HOME)/.cache)/vantorel
WINDOWS_TOOLCHAIN := cmake/mingw-w64-x86_64.cmake
JOBS ?= $(shell nproc)
# CI turns warnings into errors.
WERROR ?= $(if $(CI),ON,OFF)

# What building and running the program needs.
RUN_PACKAGES := cmake ninja-build g++ qt6-base-dev libsqlite3-dev fonts-dejavu-core
# What making the Debian package needs besides: dpkg-shlibdeps names the libraries' packages,
# and the metainfo takes the form of the release's AppStream.
PACKAGE_PACKAGES := dpkg-dev file appstream
# What the tests (and the benchmarks) need besides.
TEST_PACKAGES := desktop-file-utils appstream lintian binutils-mingw-w64-x86-64 \
                 xvfb xauth xdotool x11-utils openbox imagemagick valgrind strace xtrace \
                 dbus at-spi2-core python3-pyatspi python3-xlib clang-format clang-tidy
PACKAGES := $(RUN_PACKAGES) $(PACKAGE_PACKAGES) $(TEST_PACKAGES)
# What the Windows build needs besides the host's Qt tools: Debian's sources (dpkg-source, and
# gcc and Tcl for SQLite's own tools), the MinGW-w64 cross compiler with POSIX threads, NSIS, and
# for the checks Wine on Xvfb with real X input.
WINDOWS_PACKAGES := cmake ninja-build gcc g++ qt6-base-dev qt6-base-dev-tools dpkg-dev tcl \
                    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev nsis \
                    wine wine64 xvfb xauth xdotool x11-utils openbox imagemagick python3 python3-xlib

CONFIGURE = cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DVANTOREL_WERROR=$(WERROR)
CONFIGURE_SANITIZE = cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
                     -DVANTOREL_WERROR=$(WERROR) -DVANTOREL_SANITIZE=ON

.PHONY: run test check build bench soak deps run-deps package-deps package windows windows-deps \
        clean

run: run-deps
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vantorel
	$(BUILD_DIR)/app/vantorel

test: deps
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	$(CONFIGURE_SANITIZE)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS) -L unit

# The edit-compile-test loop: the unit tests alone, installing nothing.
check:
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) -L unit

build: run-deps
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Figures only, never pass or fail.
bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOREL_WERROR=$(WERROR) -DVANTOREL_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target bench_bare bench_plain bench_vantorel bench_actions bench_driver bench_storage bench_chart \
	    bench_records bench_yourgames vantorel
	bench/run.sh $(BENCH_DIR)

# The .deb in a tree of its own: Debian's build flags, the program in /usr/games.
package: package-deps
	packaging/debian/build-deb.sh . $(PACKAGE_DIR)

# The program for Windows, cross-built here: Qt's base module from Debian's source (cached in
# WINDOWS_CACHE), the zip and the installer in WINDOWS_DIR, then the checks under Wine.
windows: windows-deps
	qt=$$(packaging/windows/build-qt.sh $(WINDOWS_TOOLCHAIN) $(WINDOWS_CACHE)) && \
	sqlite=$$(packaging/windows/sqlite-amalgamation.sh $(WINDOWS_CACHE)) && \
	cmake -S . -B $(WINDOWS_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	    -DVANTOREL_WERROR=$(WERROR) -DCMAKE_TOOLCHAIN_FILE=$(WINDOWS_TOOLCHAIN) \
	    -DCMAKE_PREFIX_PATH="$$qt" -DQT_HOST_PATH=/usr \
	    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake \
	    -DVANTOREL_SQLITE_DIR="$$sqlite"
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target windows_package
	/usr/bin/python3 packaging/windows/check_windows.py $(WINDOWS_DIR)

# Installs the packages of the list that are missing, as root or through sudo.
define install_missing
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	[ -z "$$missing" ] && exit 0; \
	if [ "$$(id -u)" = 0 ]; then sudo=; \
	elif command -v sudo >/dev/null 2>&1; then sudo=sudo; \
	else echo "make: missing Debian packages ($$(echo $$missing)); installing them needs root or sudo" >&2; exit 1; fi; \
	echo "Installing:" $$missing; \
	$$sudo apt-get update && \
	$$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing
endef

deps:
	$(call install_missing,$(PACKAGES))

run-deps:
	$(call install_missing,$(RUN_PACKAGES))

package-deps:
	$(call install_missing,$(RUN_PACKAGES) $(PACKAGE_PACKAGES))

windows-deps:
	$(call install_missing,$(WINDOWS_PACKAGES))

# Random play for many games on the real widgets: SOAK_GAMES in the normal build, a tenth of
# that under the sanitizers; then SOAK_KILLS lives of the program, its games kept, killed at
# random moments.
SOAK_GAMES ?= 1000
SOAK_KILLS ?= 200
soak: deps
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vantorel_soak
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/vantorel_soak $(SOAK_GAMES)
	cd $(BUILD_DIR)/tests && ./vantorel_soak --kills $(SOAK_KILLS)
	$(CONFIGURE_SANITIZE)
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target vantorel_soak
	QT_QPA_PLATFORM=offscreen $(SANITIZE_DIR)/tests/vantorel_soak $$(( $(SOAK_GAMES) / 10 ))

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(BENCH_DIR) $(PACKAGE_DIR) $(WINDOWS_DIR)
