#!/usr/bin/env bash
# Configures and builds the toolkit. Usage: scripts/build.sh [--sanitize]
# The plain build goes to build/, the sanitizer build to build-sanitize/. With VANT_WERROR=ON in
# the environment (as CI sets it) every warning is an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build
flags=(-DVANT_WERROR="${VANT_WERROR:-OFF}")
if [ "${1:-}" = "--sanitize" ]; then
  dir=$root/build-sanitize
  flags+=(-DVANT_SANITIZE=ON)
fi
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "$dir"
