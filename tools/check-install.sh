#!/usr/bin/env bash
# The game as players install it: the desktop entry and AppStream metadata validate;
# `cmake --install` into a scratch root puts every file where it belongs; the installed
# game, started from an unrelated folder with a scratch home and its data read-only,
# reaches the start menu, plays the demo into the test level, stops cleanly on SIGTERM
# and writes nothing under its prefix; the unpacked .deb does the same from its usr/bin;
# a FENNIK_DATA_DIR without data ends the game with one line and status 1.
#
#   tools/check-install.sh [build-dir] [package-build-dir]   (after `make build` and `make package`)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
package_build="$(cd "${2:-$root/build-package}" && pwd)"
version=$(sed -n 's/^project(FenniksZavororor VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
app_id=$(sed -n 's/^set(FENNIK_APP_ID \(.*\))$/\1/p' "$root/packaging/CMakeLists.txt")
scratch=$(mktemp -d)
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  chmod -R u+w "$scratch" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
started=$SECONDS
fail() { echo "check-install: FAILED: $*" >&2; exit 1; }
step() { echo "check-install: $* ($((SECONDS - started)) s)"; }

step "validating the desktop entry and the AppStream metadata"
desktop-file-validate "$build/packaging/$app_id.desktop"
appstreamcli validate --no-net --pedantic "$build/packaging/$app_id.metainfo.xml"

step "installing into a scratch root"
DESTDIR="$scratch/root" cmake --install "$build" > /dev/null
prefix="$scratch/root$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")"
bindir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:PATH=//p' "$build/CMakeCache.txt")
expected=("$bindir/fennik" share/fennik/fennik.data share/fennik/settings.ini share/fennik/replays/demo.fzreplay
  share/fennik/models/Fennik.obj share/fennik/models/icon.png share/fennik/textures/skybox/top.jpg
  share/fennik/music/jump.wav share/fennik/shader/pbrShader.frag
  "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
  share/man/man6/fennik.6.gz share/doc/fennik/copyright share/doc/fennik/changelog.gz)
for size in 16 32 48 64 128 256 512; do
  expected+=("share/icons/hicolor/${size}x$size/apps/$app_id.png")
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  [ "$(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png" | tr -s ' ')" = \
    " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] || fail "the $size pixel icon is not $size x $size"
done
for file in "${expected[@]}"; do [ -f "$prefix/$file" ] || fail "not installed: $file"; done
for left_out in share/fennik/fonts share/fennik/icons; do [ ! -e "$prefix/$left_out" ] || fail "installed: $left_out"; done
grep -qx "$version" "$prefix/share/fennik/fennik.data" || fail "the installed marker does not hold $version"

# Runs `$1` from an unrelated folder with a scratch home on a virtual display until it has
# played the demo into the test level, then stops it with SIGTERM; its data in `$2` must
# stay byte for byte and date for date as it was.
play_installed() {
  local game=$1 data=$2 run="$scratch/run-$3"
  mkdir -p "$run/cwd" "$run/home"
  : > "$run/log"
  (cd "$data" && find . -printf '%p %s %T@ %m\n' | sort) > "$run/before"
  chmod -R a-w "$data"
  (cd "$run/cwd" && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u FENNIK_DATA_DIR HOME="$run/home" \
     xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" sh -c 'echo $$ > ../pid; exec "$0"' "$game" \
     > "$run/log" 2>&1) &
  local wrapper=$!
  local line waited=0
  for line in "Set level: StartMenu active!" "Playing the demo" "Set level: TestLevel active!"; do
    until grep -qF "[INFO]: $line" "$run/log"; do
      kill -0 "$wrapper" 2>/dev/null || { cat "$run/log"; fail "$3: the game ended before '$line'"; }
      ((waited++ < 3000)) || { cat "$run/log"; fail "$3: no '$line' after 300 s"; }
      sleep 0.1
    done
    step "$3: $line"
  done
  game_pid=$(cat "$run/pid")
  kill -TERM "$game_pid"
  local status=0
  wait "$wrapper" || status=$?
  game_pid=""
  [ "$status" -eq 0 ] || { cat "$run/log"; fail "$3: exit status $status after SIGTERM"; }
  tail -n 1 "$run/log" | grep -qx '\[INFO\]: Closing game...' || { cat "$run/log"; fail "$3: no clean stop"; }
  # CI machines have no sound card; anything else the game warns about is a fault here.
  ! grep '^\[ERROR\]\|^\[WARN\]' "$run/log" | grep -qv 'No audio device could be opened' ||
    { cat "$run/log"; fail "$3: errors or warnings in the log"; }
  grep -qx "\[INFO\]: Game data from '$data'" "$run/log" || { cat "$run/log"; fail "$3: the data not from $data"; }
  chmod -R u+w "$data"
  (cd "$data" && find . -printf '%p %s %T@ %m\n' | sort) | sed 's/ [0-7]*$//' > "$run/after"
  sed 's/ [0-7]*$//' "$run/before" | diff - "$run/after" || fail "$3: the game changed its data"
  [ -z "$(ls "$run/cwd")" ] || fail "$3: the game wrote into its working directory"
}

step "playing the game installed into a prefix"
play_installed "$prefix/$bindir/fennik" "$prefix/share/fennik" prefix
prefix_files=$(cd "$scratch/root" && find . | sort)

step "unpacking the package"
deb="$package_build/fennik_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no package $deb (make package)"
dpkg-deb -x "$deb" "$scratch/deb"
[ -z "$(cd "$scratch/deb" && find . -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "the package has files outside /usr"
dpkg-deb -f "$deb" Depends | grep -q 'fonts-open-sans' || fail "the package does not depend on fonts-open-sans"
dpkg-deb -f "$deb" Depends | grep -q 'libglfw3' || fail "the package's Depends lack the libraries (shlibdeps)"
[ ! -e "$scratch/deb/usr/share/fennik/fonts" ] || fail "the package copies the font"
package_bindir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:PATH=//p' "$package_build/CMakeCache.txt")
play_installed "$scratch/deb/usr/$package_bindir/fennik" "$scratch/deb/usr/share/fennik" package

step "starting with FENNIK_DATA_DIR pointing to an empty folder"
mkdir -p "$scratch/empty"
status=0
FENNIK_DATA_DIR="$scratch/empty" "$prefix/$bindir/fennik" > "$scratch/empty.log" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "status $status with no data"
[ "$(grep -c '^\[ERROR\]' "$scratch/empty.log")" -eq 1 ] &&
  grep -qF "FENNIK_DATA_DIR '$scratch/empty' (no fennik.data)" "$scratch/empty.log" ||
  { cat "$scratch/empty.log"; fail "no single line naming the place tried"; }
[ "$prefix_files" = "$(cd "$scratch/root" && find . | sort)" ] || fail "files appeared under the install root"

# Clean today even with --pedantic; a new error or warning fails the check.
step "lintian"
report=$(lintian --tag-display-limit 0 --info --fail-on error,warning "$deb" 2>&1) || { echo "$report"; fail "lintian"; }
echo "$report" | grep -v 'running with root privileges' || true
step "done"
