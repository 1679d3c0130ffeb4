#!/usr/bin/env bash
# Records the demo the start menu plays when left alone (assets/replays/demo.fzreplay):
# the playthrough pilot's run from the test area to the boss and back, with its start
# time cleared. The simulation is deterministic, so the same game and assets give the
# same bytes; the playthrough test fails when the shipped demo is not that run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake --build "$build" --target playthrough_tests -j"$(nproc)"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
FENNIK_WRITE_DEMO=1 XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
  xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tests/levels/playthrough_tests"
echo "Wrote assets/replays/demo.fzreplay"
