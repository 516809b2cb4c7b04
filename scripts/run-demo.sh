#!/usr/bin/env bash
# Builds the toolkit and runs the demo: a generated video written and read back.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$("$root/scripts/build.sh" | tail -n 1)
if [ -x "$dir/bin/vantdemo" ]; then
  "$dir/bin/vantdemo" "${TMPDIR:-/tmp}/vant-demo.vnt"
else
  echo "The demo program is not built yet."
fi
