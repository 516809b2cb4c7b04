#!/usr/bin/env bash
# Configures and builds the toolkit. Usage: scripts/build.sh [--sanitize | --thread]
# The plain build goes to build/, the sanitizer build to build-sanitize/; the thread sanitizer's
# build (build-tsan/) makes only the programs of the threaded tests (the stream service's stress
# test, the worker pool's and the encoder's thread tests) and the libraries under them.
# With VANT_WERROR=ON in the environment (as CI sets it) every warning is an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build
flags=(-DVANT_WERROR="${VANT_WERROR:-OFF}")
targets=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=$root/build-sanitize
  flags+=(-DVANT_SANITIZE=ON)
elif [ "${1:-}" = "--thread" ]; then
  dir=$root/build-tsan
  flags+=(-DVANT_TSAN=ON)
  targets+=(--target stream_stress_tests toolsupport_threads_tests compressor_thread_tests)
fi
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >/dev/null
# CMAKE_BUILD_PARALLEL_LEVEL, when set, says how many compilers run at once; else one a core.
cmake --build "$dir" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" "${targets[@]}" >&2  # the last line of stdout is the folder
echo "$dir"
