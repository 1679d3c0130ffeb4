#!/usr/bin/env bash
# Installs what the game needs to build, run and test on Debian 12, only what is
# missing, and places the font the game loads. Safe to run again and again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  libglfw3-dev libglew-dev libglm-dev libbullet-dev libassimp-dev libfreetype-dev
  libstb-dev zlib1g-dev libinih-dev libopenal-dev libasound2-dev libsndfile1-dev fonts-open-sans
  googletest xvfb xauth libgl1-mesa-dri mesa-utils xdotool
  # The shaders through the reference compiler; zink's Vulkan driver (lavapipe) for
  # the pictures on other OpenGL implementations.
  glslang-tools mesa-vulkan-drivers
  # `make package` (CPack's DEB generator reads the libraries' packages with dpkg-shlibdeps)
  # and the install checks in CI.
  dpkg-dev desktop-file-utils appstream lintian
  # `make fuzz`: clang and its runtime, which holds libFuzzer.
  clang-14 libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing missing packages: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# Debian ships the font as OpenSans-Semibold.ttf; the game loads it by this name.
font_source=/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf
font_target=assets/fonts/OpenSans-SemiBold.ttf
mkdir -p assets/fonts
if ! cmp -s "$font_source" "$font_target"; then
  cp "$font_source" "$font_target"
fi
