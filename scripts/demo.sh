#!/usr/bin/env bash
# Installs what is missing, builds, and opens the main menu on the demo installation.
#
#   scripts/demo.sh [LEVEL]
#
# LEVEL is the demo user's level (default 3; 1 sees everything, 2 to 6 follow the demo's
# permission profile). With a display the menu runs in the foreground; without one (a server,
# a container) it runs on a private Xvfb display for a few seconds and a screenshot is saved to
# build/demo-screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

level=${1:-3}
build=${TEVO_BUILD_DIR:-build}
# File names of the demo are Chinese: the programs need a UTF-8 locale.
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8

scripts/setup.sh
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target tevo-menu tevo-settings tevo-profile tevo-demo
TEVO_BUILD_DIR=$build demo/seed-login.sh "$level" "$build/demo"

menu=$(cd "$build/src" && pwd)/tevo-menu
demo=$(cd "$build/demo" && pwd -P)

if [ -n "${DISPLAY:-}" ]; then
  echo "demo: opening the main menu in $demo"
  cd "$demo"
  exec "$menu"
fi

# No display: a private Xvfb, the menu, one screenshot, and everything ends again.
shot=$(cd "$build" && pwd)/demo-screenshot.png
xvfb_pid=
menu_pid=
runtime=
finish() {
  [ -z "$menu_pid" ] || kill "$menu_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  [ -z "$runtime" ] || rm -rf "$runtime"
}
trap finish EXIT
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  runtime=$(mktemp -d)
  export XDG_RUNTIME_DIR=$runtime
fi

# The private screen grows with QT_SCALE_FACTOR, so that a scaled window fits on it.
screen=$(awk -v s="${QT_SCALE_FACTOR:-1}" 'BEGIN { if (s + 0 < 1) s = 1; printf "%dx%dx24", 1280 * s, 1024 * s }')
for n in $(seq 91 120); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -nolisten tcp -screen 0 "$screen" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
      export DISPLAY=":$n"
      break 2
    fi
    sleep 0.1
  done
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
done
if [ -z "$xvfb_pid" ]; then
  echo "demo: no display and no free display for Xvfb from :91 to :120" >&2
  exit 1
fi

echo "demo: no display; running the main menu on Xvfb $DISPLAY in $demo"
(cd "$demo" && exec "$menu") &
menu_pid=$!
shown=
for _ in $(seq 200); do
  shown=$(xdotool search --onlyvisible --pid "$menu_pid" --name 'Tevo' 2>/dev/null || true)
  [ -z "$shown" ] || break
  if ! kill -0 "$menu_pid" 2>/dev/null; then
    echo "demo: the main menu ended without showing its window" >&2
    exit 1
  fi
  sleep 0.1
done
if [ -z "$shown" ]; then
  echo "demo: the main menu showed no window within 20 seconds" >&2
  exit 1
fi
# Let the window draw itself (pictures, status bar, the notice line) before the screenshot.
sleep 3
kill -0 "$menu_pid" 2>/dev/null || { echo "demo: the main menu ended on its own" >&2; exit 1; }
import -window root "$shot"
echo "demo: screenshot of the main menu saved to $shot"
