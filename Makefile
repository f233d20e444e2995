# The two commands a new machine needs: `make run` and `make test`. Both install what is
# missing from Debian's archive first.

BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
BENCH_DIR ?= build-bench
JOBS ?= $(shell nproc)
# CI turns warnings into errors.
WERROR ?= $(if $(CI),ON,OFF)

PACKAGES := cmake ninja-build g++ qt6-base-dev fonts-dejavu-core \
            desktop-file-utils appstream dpkg-dev file \
            xvfb xauth xdotool x11-utils imagemagick valgrind \
            dbus at-spi2-core python3-pyatspi python3-xlib clang-format
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test build bench soak deps package clean

run: build
	$(BUILD_DIR)/app/vantorel

test: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_WERROR=$(WERROR)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_WERROR=$(WERROR) \
	    -DVANTOREL_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS) -L unit

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_WERROR=$(WERROR)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Figures only, never pass or fail.
bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOREL_WERROR=$(WERROR) -DVANTOREL_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target bench_bare bench_vantorel bench_actions bench_driver
	bench/run.sh $(BENCH_DIR)

package: build
	cmake --build $(BUILD_DIR) --target package

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

# Random play for many games on the real widgets: SOAK_GAMES in the normal build, a tenth of
# that under the sanitizers.
SOAK_GAMES ?= 1000
soak: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_WERROR=$(WERROR)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vantorel_soak
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/vantorel_soak $(SOAK_GAMES)
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_WERROR=$(WERROR) \
	    -DVANTOREL_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target vantorel_soak
	QT_QPA_PLATFORM=offscreen $(SANITIZE_DIR)/tests/vantorel_soak $$(( $(SOAK_GAMES) / 10 ))

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(BENCH_DIR)
