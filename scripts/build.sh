#!/usr/bin/env bash
# Configures and builds the toolkit. Usage: scripts/build.sh [--sanitize]
# The plain build goes to build/, the sanitizer build to build-sanitize/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=$root/build-sanitize
  flags+=(-DVANT_SANITIZE=ON)
fi
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "$dir"
