#!/usr/bin/env bash
# Starts the front end under Xvfb on a 1280x1024 and on a 1024x768 screen and saves screenshots
# of the whole screen: the eight pages, the compress page's and the Mixer's sub-pages, the
# executable builder, the analysis window, the list editor and the two "Save As" dialogs (Xvfb
# runs no window manager: the windows have no frames). Every caption shown
# less than whole and every window past the screen's available area is listed, and the script
# ends with exit code 1 when there was any. Run by hand (not in CI); look at the pictures too.
# Usage: scripts/desktop-screenshots.sh [OUTPUT_DIRECTORY]   (default: build/screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# An existing build keeps its configuration: only what the tour needs is brought up to date.
dir=$root/build
if [ -f "$dir/CMakeCache.txt" ]; then
  cmake --build "$dir" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target vantrelw_tour vantcw vantcw_demo_clip >&2
else
  dir=$("$root/scripts/build.sh" | tail -n 1)
fi
out=${1:-$dir/screenshots}
work=$(mktemp -d "${TMPDIR:-/tmp}/vant-screenshots.XXXXXX")
trap 'rm -rf "$work"' EXIT

# What the pages list: the demo video with its tone, pictures, sounds, a list and a script.
media=$work/media
mkdir -p "$media"
"$dir/bin/vantcw_demo_clip" "$media/demo.avi"
"$dir/bin/vantcw" "$media/demo.avi" "$media/demo.vnt" /O "/#" >/dev/null 2>&1
for name in intro_sequence_001.bmp intro_sequence_002.bmp title_card.gif tone.wav voice_over.wav \
  welcome.ss; do
  : >"$media/$name"
done
printf 'intro_sequence_001.bmp /s1 /e20\ntitle_card.gif\n' >"$media/clips.lst"

status=0
for size in 1280x1024 1024x768; do
  mkdir -p "$work/config-$size" "$out/$size"
  echo "== $size"
  XDG_CONFIG_HOME=$work/config-$size xvfb-run -a -s "-screen 0 ${size}x24" \
    "$dir/bin/vantrelw_tour" "$media" "$out/$size" || status=1
done
echo "Screenshots in $out"
exit $status
