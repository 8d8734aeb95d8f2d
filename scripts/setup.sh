#!/usr/bin/env bash
# Installs every system package that the build, the programs and the tests
# need. Safe to run again: packages already present are skipped.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri mesa-utils
  libxml2-dev libxml2-utils
  libgtest-dev googletest libbenchmark-dev
  libfreetype-dev fonts-dejavu-core zlib1g-dev
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  xvfb libx11-dev libxtst-dev
  clang-14 libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libqt6openglwidgets6
  qt6-qpa-plugins qt6-translations-l10n openbox
  libpng-dev
  dpkg-dev lintian desktop-file-utils appstream man-db
  libtinygltf-dev libstb-dev chromium
  libegl-dev emscripten nlohmann-json3-dev
)
# Node.js runs the glTF test tools (tests/gltf); a node already on the machine is kept
if ! command -v npm >/dev/null 2>&1; then
  PACKAGES+=(nodejs npm)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests' npm tools, pinned by their lock files
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/npm-tools.sh" "$root/tests/gltf" "$root/tests/web"
