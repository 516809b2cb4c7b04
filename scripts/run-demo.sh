#!/usr/bin/env bash
# Builds the toolkit and runs the demo: a generated animation with a tone is compressed into a
# .vnt file with vantcw and played in vantplw.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$("$root/scripts/build.sh" | tail -n 1)
work=$(mktemp -d "${TMPDIR:-/tmp}/vant-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT

# 320 x 240, 6 seconds, with a tone; the bare "/#" closes the status window when done.
"$dir/bin/vantcw_demo_clip" "$work/demo.avi"
"$dir/bin/vantcw" "$work/demo.avi" "$work/demo.vnt" /O "/#"
if [ -x "$dir/bin/vantplw" ]; then
  # Played once, with the playback summary (/S). Without a display the player runs on Qt's
  # offscreen platform: its message boxes (the summary among them) go to standard error and
  # wait for nobody, so the demo ends by itself.
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
  fi
  "$dir/bin/vantplw" "$work/demo.vnt" /S
else
  echo "The player is not built yet; playing through the library instead."
  "$dir/bin/vantdemo" --play "$work/demo.vnt"
fi
