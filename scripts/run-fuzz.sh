#!/usr/bin/env bash
# Builds the libFuzzer programs with clang (in build-fuzz/) and runs each for SECONDS (default
# 60). Usage: scripts/run-fuzz.sh [SECONDS] [TARGET...]
# Inputs the fuzzer finds are kept in build-fuzz/fuzz/found/<target>/, crashes in
# build-fuzz/fuzz/crashes/<target>/. Needs clang and libclang-rt-14-dev
# (scripts/install-deps.sh --fuzz); the plain and sanitizer builds never do.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
if ! command -v clang++ >/dev/null; then
  echo "clang++ is not installed: run scripts/install-deps.sh --fuzz" >&2
  exit 1
fi
dir=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DVANT_FUZZ=ON >/dev/null
cmake --build "$dir" -j "$(nproc)" --target fuzz_programs

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for program in "$dir"/bin/fuzz_*; do
    name=${program##*/fuzz_}
    [ -d "$dir/fuzz/corpus/$name" ] && targets+=("$name")
  done
fi

export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for name in "${targets[@]}"; do
  found=$dir/fuzz/found/$name crashes=$dir/fuzz/crashes/$name
  mkdir -p "$found" "$crashes"
  echo "== $name: $seconds s"
  # New inputs go to the first folder; the seeds are only read.
  if ! "$dir/bin/fuzz_$name" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
      -artifact_prefix="$crashes/" -print_final_stats=1 "$found" "$dir/fuzz/corpus/$name" \
      >"$dir/fuzz/$name.log" 2>&1; then
    failed+=("$name")
    echo "   failed: see $dir/fuzz/$name.log and $crashes/"
  fi
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)" "$dir/fuzz/$name.log" | sed 's/^/   /' || true
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
