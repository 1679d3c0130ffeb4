# The two commands of the README: `make run` and `make test`. Both install what is
# missing first, so they work on a fresh Debian 12 machine.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# Tests that open windows run on a virtual display, large enough for an 800 x 800 window.
XVFB := xvfb-run -a -s "-screen 0 1920x1080x24 -noreset"

.PHONY: all setup configure build run test assets demo clean

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

# Regenerates every model, texture, sky box face, note card and sound under assets/
# (deterministic: the committed files come out byte for byte).
assets: setup
	bash tools/generate-assets.sh

# Records the start menu's demo run again from the playthrough (also byte for byte).
demo: build
	BUILD_DIR=$(BUILD_DIR) bash tools/record-demo.sh

clean:
	rm -rf $(BUILD_DIR)
