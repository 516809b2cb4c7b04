#!/usr/bin/env bash
# Builds the plain (optimised) toolkit's speed comparison and runs it on its family of clips:
# decoding against giflib, the compressor program's encoding against gifsicle (when installed),
# the heap of a streamed video and the compressor's start-up with no arguments and no display.
# Arguments go to the benchmark program; without any, every run is repeated three times, the
# repetitions interleaved so that a busy moment of the machine does not fall on one side only,
# and the medians are compared. CMAKE_BUILD_PARALLEL_LEVEL, when set, limits the build's jobs.
# Usage: scripts/run-speed-bench.sh [--family=N] [benchmark flags]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build
cmake -S "$root" -B "$dir" -G Ninja >/dev/null
cmake --build "$dir" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target speed_bench >/dev/null
if [ $# -eq 0 ] || { [ $# -eq 1 ] && [[ $1 == --family=* ]]; }; then
  set -- "$@" --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true
fi
exec "$dir/bin/speed_bench" "$@"
