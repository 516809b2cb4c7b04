#!/usr/bin/env bash
# Builds the toolkit, makes the demo video and runs the example presentation
# (examples/presentation.ss) in the directory that holds it. The presentation is chosen with
# keys and clicks, so it needs a display; without one, its test runs it instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$("$root/scripts/build.sh" | tail -n 1)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "The presentation waits for keys and clicks, so it needs a display. Without one, its test"
  echo "runs it with the keys queued:"
  ctest --test-dir "$dir" -R ExamplePresentation --output-on-failure
  exit
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/vant-example.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The demo video: 320 x 240, 6 seconds, with a tone.
"$dir/bin/vantcw_demo_clip" "$work/demo.avi"
"$dir/bin/vantcw" "$work/demo.avi" "$work/demo.vnt" /O "/#"
cd "$work"
"$dir/bin/vantscw" "$root/examples/presentation.ss"
