#!/usr/bin/env bash
# Installs every Debian package the toolkit needs to build, test and run. Safe to run again.
# Usage: scripts/install-deps.sh [--fuzz]   (--fuzz: also clang and its fuzzer runtime, for
# scripts/run-fuzz.sh)
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config git ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libsdl2-dev libgif-dev libjpeg-dev libtiff-dev
  xvfb xauth x11-utils python3 python3-pil  # x11-utils: xwininfo finds windows in tests
  gifsicle  # the GIF optimiser the speed comparison measures against
  scdoc     # makes the manual pages
  lintian   # checks the Debian package
  desktop-file-utils shared-mime-info libglib2.0-bin  # what the desktop makes of the installed files
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
