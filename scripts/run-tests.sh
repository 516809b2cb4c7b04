#!/usr/bin/env bash
# Builds the toolkit and runs every test. Usage: scripts/run-tests.sh [--sanitize | --thread]
# --thread builds the threaded tests under ThreadSanitizer and runs them alone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$("$root/scripts/build.sh" "$@" | tail -n 1)
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
# The full unwind of every allocation puts the system libraries' functions into leak stacks, so
# that scripts/lsan.supp can name the function, not the whole library.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
if [ "${1:-}" = "--thread" ]; then
  ctest --test-dir "$dir" --output-on-failure --timeout 600 -R '^(StreamStress|WorkerPool|WorkerThreadCount|EncoderThreads)\.'
  exit
fi
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300
