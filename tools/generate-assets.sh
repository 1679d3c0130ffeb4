#!/bin/sh
# Rebuilds every generated asset under assets/ (models, textures, sky box, note cards,
# sounds, music). Run from anywhere; the files are written into the repository's assets/.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FENNIK_ASSETGEN_BUILD:-$root/build-assetgen}"
cmake -S "$root" -B "$build" -DFENNIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target fennik_assetgen -j2
"$build/tools/fennik_assetgen" "$root/assets"
