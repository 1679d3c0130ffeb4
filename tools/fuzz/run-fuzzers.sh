#!/usr/bin/env bash
# Runs every fuzz target of a FENNIK_FUZZ build for a set time each, seeded from the
# shipped assets and the regression inputs under tests/fuzz/. Fails when a target
# finds a crash, a hang, a leak or an allocation over the limit; what it found is
# kept in <build>/fuzz/artifacts/<target>/.
#   tools/fuzz/run-fuzzers.sh <fuzz build folder> <seconds per target> [targets...]
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-fuzz}
seconds=${2:-60}
targets=("${@:3}")
if ((${#targets[@]} == 0)); then targets=(settings model image sound replay); fi
work=$build/fuzz

# Seeds are copied fresh from the assets on every run; the corpus a target grows
# stays in the build folder from run to run.
seed() {
  local target=$1
  shift
  rm -rf "$work/seeds/$target"
  mkdir -p "$work/seeds/$target" "$work/corpus/$target" "$work/artifacts/$target"
  if [ "$#" -gt 0 ]; then cp "$@" "$work/seeds/$target/"; fi
  if [ -d "tests/fuzz/$target" ]; then cp tests/fuzz/"$target"/* "$work/seeds/$target/" 2>/dev/null || true; fi
}

seed settings assets/settings.ini
seed image assets/textures/*.png assets/textures/skybox/* assets/models/*.png
seed sound assets/music/*.wav
seed replay assets/replays/*.fzreplay
seed model
# A model seed is the material library an OBJ names, a NUL byte, then the OBJ. The
# test models are small and quick to mutate; the shipped ones are cut to 64 KiB.
for obj in assets/models/*.obj tests/*/fixtures/*.obj; do
  mtl=$(dirname "$obj")/$(awk '$1 == "mtllib" { print $2; exit }' "$obj")
  { if [ -f "$mtl" ]; then cat "$mtl"; fi; printf '\0'; cat "$obj"; } >"$work/seeds/model/$(basename "$obj")"
done

failed=()
export LSAN_OPTIONS=suppressions=$PWD/tools/fuzz/lsan-suppressions.txt
declare -A limits=([model]="-max_len=65536")
for target in "${targets[@]}"; do
  log=$work/$target.log
  echo "== fuzz_$target for ${seconds} s"
  # Standard output is closed: it only carries the game's log lines. Ten seconds
  # for one input is a hang; one allocation over 512 MiB is a size nobody refused.
  nice -n 10 "$build/tools/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -malloc_limit_mb=512 -close_fd_mask=1 -print_final_stats=1 \
    ${limits[$target]:-} -artifact_prefix="$work/artifacts/$target/" "$work/corpus/$target" "$work/seeds/$target" \
    >"$log" 2>&1
  status=$?
  grep -E '^#[0-9]+\s+(INITED|pulse|NEW|REDUCE|DONE)' "$log" | tail -1
  grep -E 'stat::(number_of_executed_units|peak_rss_mb)' "$log"
  echo "corpus: $(ls "$work/corpus/$target" | wc -l) files"
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$target FAILED (status $status), see $log:"
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5
    failed+=("$target")
  fi
done

if ((${#failed[@]} > 0)); then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "Fuzzing found nothing in ${seconds} s per target."
