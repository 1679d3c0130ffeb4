#!/bin/bash
# Start-up time and resident memory of the real game at a given window size: the
# seconds from launch to the start menu's first frame (the log line that names it),
# and the resident set once the menu has drawn for a few seconds.
#
#   xvfb-run -a -s "-screen 0 1920x1080x24" bench/measure-startup.sh [BINARY] [WIDTH] [HEIGHT] [PRESET]
#
# Runs the game from a scratch copy of assets/ whose settings ask for the size and, when
# given, the graphics preset (otherwise the renderer chooses), with no player's file.
set -euo pipefail
binary=$(realpath "${1:-build/fennik}")
width=${2:-800}
height=${3:-800}
preset=${4:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r assets "$scratch/"
sed -i -e "s/^width = .*/width = $width/" -e "s/^height = .*/height = $height/" "$scratch/assets/settings.ini"
if [ -n "$preset" ]; then
    printf '\n[graphics]\npreset = %s\n' "$preset" >> "$scratch/assets/settings.ini"
fi
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
cd "$scratch"
start=$(date +%s.%N)
"$binary" > log.txt 2>&1 &
game=$!
until grep -q "Set level: StartMenu active!" log.txt 2>/dev/null; do
    kill -0 "$game" 2> /dev/null || { echo "the game ended before the start menu"; cat log.txt; exit 1; }
    sleep 0.02
done
ready=$(date +%s.%N)
sleep 5
rss=$(awk '/VmRSS/ {print $2}' /proc/$game/status)
kill -TERM "$game"
wait "$game" || true
awk -v w="$width" -v h="$height" -v s="$start" -v r="$ready" -v m="$rss" \
    -v p="${preset:-chosen by the renderer}" \
    'BEGIN { printf "%dx%d, preset %s: start menu after %.2f s, resident %d MB\n", w, h, p, r - s, m / 1024 }'
