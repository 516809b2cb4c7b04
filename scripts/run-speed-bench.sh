#!/usr/bin/env bash
# Builds the plain (optimised) toolkit's speed comparison and runs it: decoding against giflib,
# the compressor program's encoding speed and the heap of a streamed video. Extra arguments go
# to the benchmark program (e.g. --benchmark_repetitions=3).
# Usage: scripts/run-speed-bench.sh [benchmark flags]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build
cmake -S "$root" -B "$dir" -G Ninja >/dev/null
cmake --build "$dir" -j "$(nproc)" --target speed_bench >/dev/null
exec "$dir/bin/speed_bench" "$@"
