# The two commands of the README: `make run` and `make test`. Both install what is
# missing first, so they work on a fresh Debian 12 machine.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# Tests that open windows run on a virtual display, large enough for an 800 x 800 window.
XVFB := xvfb-run -a -s "-screen 0 1920x1080x24 -noreset"

# The scenario tests, the playthrough and the game's own process once more, built with
# AddressSanitizer and UndefinedBehaviorSanitizer in a folder of their own. The first
# report stops the program, so any report fails the run. What the graphics and sound
# libraries themselves leave behind is suppressed in tools/sanitizers/, nothing of ours.
SANITIZE_DIR ?= build-asan
SANITIZED_TESTS := level_scenario_tests playthrough_tests end_to_end_tests
SANITIZERS := tools/sanitizers
SANITIZER_OPTIONS := \
  ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/$(SANITIZERS)/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1:suppressions=$(CURDIR)/$(SANITIZERS)/ubsan.supp

.PHONY: all setup configure build run test test-sanitize assets clean

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
	cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure -j$(JOBS)

test-sanitize: setup
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DFENNIK_SANITIZE=ON
	cmake --build $(SANITIZE_DIR) -j$(JOBS) --target fennik $(SANITIZED_TESTS)
	cd $(SANITIZE_DIR) && $(SANITIZER_OPTIONS) $(XVFB) ctest --output-on-failure -j$(JOBS) \
	  -R '^($(subst $(eval) ,|,$(SANITIZED_TESTS)))$$'

# Regenerates every model, texture, sky box face, note card and sound under assets/
# (deterministic: the committed files come out byte for byte).
assets: setup
	bash tools/generate-assets.sh

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
