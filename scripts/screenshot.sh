#!/usr/bin/env bash
# Remakes the README's pictures of the main window: the demo installation on a private Xvfb
# display (see scripts/demo.sh) at level 3, with a sample system notice and the announced version
# equal to the running one, cropped to the window.
#
#   scripts/screenshot.sh [--scale FACTOR] [LEVEL]
#
# FACTOR is the screen's scale (QT_SCALE_FACTOR): 1 (the default) writes docs/main-window.png,
# any other docs/main-window-PERCENT.png (2 writes docs/main-window-200.png).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TEVO_BUILD_DIR:-build}
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8

scale=1
if [ "${1:-}" = "--scale" ]; then
  scale=${2:?"usage: scripts/screenshot.sh [--scale FACTOR] [LEVEL]"}
  shift 2
fi
if ! awk -v s="$scale" 'BEGIN { exit !(s ~ /^[0-9]+(\.[0-9]+)?$/ && s >= 1 && s <= 4) }'; then
  echo "screenshot: the scale must be a number from 1 to 4, not \"$scale\"" >&2
  exit 2
fi
percent=$(awk -v s="$scale" 'BEGIN { printf "%d", s * 100 + 0.5 }')
if [ "$percent" = 100 ]; then
  shot=docs/main-window.png
else
  shot=docs/main-window-$percent.png
fi

scripts/setup.sh
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target tevo-menu tevo-settings tevo-profile tevo-demo
demo=$(cd "$build/demo" && pwd -P)
version=$(sed -n 's/.*kMajor = \([0-9]*\);/\1/p; s/.*kMinor = \([0-9]*\);/\1/p; s/.*kRevision = \([0-9]*\);/\1/p' \
  "$build/src/generated/Version.h" | paste -sd.)
"$build/src/tevo-settings" set EEYX GR "$version" --section "$demo"
"$build/src/tevo-settings" set EEYX WE \
  "本週六晚間 22:00 起系統維護兩小時，請提早存檔。Tevo 保養廠管理系統示範安裝" --section "$demo"

env -u DISPLAY QT_SCALE_FACTOR="$scale" TEVO_BUILD_DIR="$build" scripts/demo.sh "${1:-3}"
mkdir -p docs
# The screen around the window is black: trimming it leaves the window.
convert "$build/demo-screenshot.png" -trim +repage "$shot"
echo "screenshot: $shot"
