#!/usr/bin/env bash
# The soak run: the game left alone on the start menu under Xvfb, so it plays its demo
# (every level, from the test area to the boss and back) again and again. Samples the
# resident memory every 10 seconds and counts the OpenGL debug errors and warnings the
# game logs; prints the growth from the first minute on. Fails when memory grows by 5 %
# or more, or on any OpenGL error.
#
#   bench/soak.sh [seconds]      (default 600; the game is build/fennik)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
game=${FENNIK_GAME:-build/fennik}
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT

XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
  xvfb-run -a -s "-screen 0 1920x1080x24" "$game" > "$home/log" 2>&1 &
wrapper=$!
# The game is the wrapper's grandchild; wait for it to show up.
pid=""
for _ in $(seq 100); do
  pid=$(pgrep -n -f "^$game\$" || true)
  [ -n "$pid" ] && break
  sleep 0.2
done
[ -n "$pid" ] || { echo "the game did not start"; exit 1; }

rss() { awk '/^VmRSS/ { print $2 }' "/proc/$pid/status"; }
echo "| seconds | resident MB | demo plays | OpenGL errors | OpenGL warnings |"
echo "|---:|---:|---:|---:|---:|"
first_minute=""
last=""
for ((t = 10; t <= seconds; t += 10)); do
  sleep 10
  kill -0 "$pid" 2>/dev/null || { echo "the game stopped after $t s"; tail -5 "$home/log"; exit 1; }
  last=$(rss)
  [ "$t" -eq 60 ] && first_minute=$last
  printf '| %d | %.1f | %d | %d | %d |\n' "$t" "$(echo "$last / 1024" | bc -l)" \
    "$(grep -c 'Playing the demo' "$home/log" || true)" \
    "$(grep -c '^\[ERROR\]: OpenGL' "$home/log" || true)" "$(grep -c '^\[WARN\]: OpenGL' "$home/log" || true)"
done
kill -TERM "$pid"
wait "$wrapper" || true

errors=$(grep -c '^\[ERROR\]: OpenGL' "$home/log" || true)
growth=$(echo "100 * ($last - $first_minute) / $first_minute" | bc -l)
printf 'Resident memory from the first minute to the end: %.1f -> %.1f MB (%+.2f %%); OpenGL errors: %d\n' \
  "$(echo "$first_minute / 1024" | bc -l)" "$(echo "$last / 1024" | bc -l)" "$growth" "$errors"
if [ "$errors" -gt 0 ] || [ "$(echo "$growth >= 5" | bc)" -eq 1 ]; then
  echo "FAILED: memory must grow by less than 5 % and no OpenGL error may appear"
  exit 1
fi
