# The two commands of the README: `make run` and `make test`. Both install what is
# missing first, so they work on a fresh Debian 12 machine.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# Tests that open windows run on a virtual display, large enough for a 3840 x 2160 window.
XVFB := xvfb-run -a -s "-screen 0 3840x2160x24 -noreset"

# The scenario tests, the playthrough and the game's own process once more, built with
# AddressSanitizer and UndefinedBehaviorSanitizer in a folder of their own. The first
# report stops the program, so any report fails the run. What the graphics and sound
# libraries themselves leave behind is suppressed in tools/sanitizers/, nothing of ours.
# A program gets a second try: LeakSanitizer's own thread-stopping tracer has crashed once
# at a game's exit ("Tracer caught signal 11", not a report about our code) and passed on
# the rerun; a report that recurs fails both tries, and the first output stays in the log.
SANITIZE_DIR ?= build-asan
SANITIZED_TESTS := level_scenario_tests playthrough_tests end_to_end_tests
SANITIZERS := tools/sanitizers
SANITIZER_OPTIONS := \
  ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/$(SANITIZERS)/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1:suppressions=$(CURDIR)/$(SANITIZERS)/ubsan.supp

.PHONY: all setup configure build run test test-drivers test-sanitize fuzz assets demo package check-install clean

all: build

setup:
	bash tools/setup.sh

configure: setup
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	./$(BUILD_DIR)/fennik

test: build
	cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure -j$(JOBS) -LE drivers

# The reference pictures on zink over lavapipe and on softpipe, each against its own
# measured tolerance, and the real game on zink (the ctest cases labelled drivers).
test-drivers: build
	cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure -j$(JOBS) -L drivers

# Builds the fuzz targets with clang's libFuzzer in a folder of their own and runs
# each for FUZZ_SECONDS; fails when one finds a crash or a hang.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_settings fuzz_model fuzz_image fuzz_sound fuzz_replay

fuzz: setup
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DFENNIK_FUZZ=ON -DFENNIK_BUILD_TESTS=OFF
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target $(FUZZ_TARGETS)
	bash tools/fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

test-sanitize: setup
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DFENNIK_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j$(JOBS) --target fennik $(SANITIZED_TESTS)
	cd $(SANITIZE_DIR) && $(SANITIZER_OPTIONS) $(XVFB) ctest --output-on-failure -j$(JOBS) \
	  --repeat until-pass:2 -R '^($(subst $(eval) ,|,$(SANITIZED_TESTS)))$$'

# Regenerates every model, texture, sky box face, note card, sound and piece of music under assets/
# (deterministic: the committed files come out byte for byte).
assets: setup
	bash tools/generate-assets.sh

# Records the start menu's demo run again from the playthrough (also byte for byte).
demo: build
	BUILD_DIR=$(BUILD_DIR) bash tools/record-demo.sh

# The Debian package, fennik_<version>_<arch>.deb in $(PACKAGE_DIR): the game alone,
# built for the /usr prefix in a folder of its own, the program in /usr/games as
# Debian's policy has it for games.
PACKAGE_DIR ?= build-package
package: setup
	cmake -S . -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_INSTALL_BINDIR=games -DFENNIK_BUILD_TESTS=OFF -DFENNIK_BUILD_TOOLS=OFF
	cmake --build $(PACKAGE_DIR) -j$(JOBS)
	cd $(PACKAGE_DIR) && cpack

# The game as players install it (tools/check-install.sh): from build/ and the package.
check-install: build package
	bash tools/check-install.sh $(BUILD_DIR) $(PACKAGE_DIR)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(PACKAGE_DIR)
