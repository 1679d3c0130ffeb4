#!/usr/bin/env bash
# Every shader file the game loads through the Khronos reference compiler, as the
# GLSL 4.30 core it is written in: each file alone for its stage, then each pair the
# code names as one program linked together (so the stages' interfaces must match).
# Another vendor's compiler may refuse what Mesa's accepts; this one keeps to the
# letter of the GLSL standard. Fails on any error.
set -euo pipefail
cd "$(dirname "$0")/.."

validator=$(command -v glslangValidator || true)
if [ -z "$validator" ]; then
  echo "glslangValidator not found (Debian package glslang-tools; make setup installs it)" >&2
  exit 1
fi

failed=0
checked=0
check() {
  local output
  if ! output=$("$validator" --glsl-version 430 "$@" 2>&1); then
    echo "FAILED: $*"
    echo "$output" | grep -v '^assets/shader/[^ :]*$' || true
    failed=$((failed + 1))
  fi
  checked=$((checked + 1))
}

shopt -s nullglob
files=(assets/shader/*.vert assets/shader/*.frag)
for file in "${files[@]}"; do
  if [ "$(head -n 1 "$file")" != "#version 430 core" ]; then
    echo "FAILED: $file does not start with #version 430 core"
    failed=$((failed + 1))
  fi
  check "$file"
done

# The programs: ("name.vert", "name.frag") wherever the code makes one.
programs=$(grep -rhoE '"[A-Za-z0-9_]+\.vert", *"[A-Za-z0-9_]+\.frag"' src | tr -d '" ' | sort -u)
for program in $programs; do
  vertex=assets/shader/${program%,*}
  fragment=assets/shader/${program#*,}
  for stage in "$vertex" "$fragment"; do
    if [ ! -f "$stage" ]; then
      echo "FAILED: the code loads $stage, which does not exist"
      failed=$((failed + 1))
    fi
  done
  [ -f "$vertex" ] && [ -f "$fragment" ] && check -l "$vertex" "$fragment"
done

if [ -z "$programs" ] || [ ${#files[@]} -eq 0 ]; then
  echo "FAILED: no shaders or programs found"
  failed=$((failed + 1))
fi
echo "Shaders: $checked checked with $("$validator" -dumpfullversion), $failed failed"
[ "$failed" -eq 0 ]
