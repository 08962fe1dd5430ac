#!/usr/bin/env bash
# Installs what is missing, builds, and opens the main menu on the demo installation.
#
#   scripts/demo.sh [--wine] [LEVEL]
#
# LEVEL is the demo user's level (default 3; 1 sees everything, 2 to 6 follow the demo's
# permission profile). With --wine the demo is a mixed installation whose entry program and a
# few modules are Windows programs run under Wine (demo/wine-installation.sh): the Windows entry
# program writes the login context and starts the menu the way back in, through tevo-menu.exe. With a display the menu runs in the foreground; without one (a server,
# a container) it runs on a private Xvfb display for a few seconds and a screenshot is saved to
# build/demo-screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

wine=
if [ "${1:-}" = --wine ]; then
  wine=1
  shift
fi
level=${1:-3}
build=${TEVO_BUILD_DIR:-build}
# File names of the demo are Chinese: the programs need a UTF-8 locale.
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8

scripts/setup.sh
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target tevo-menu tevo-settings tevo-profile tevo-demo
menu=$(cd "$build/src" && pwd)/tevo-menu
if [ -n "$wine" ]; then
  cmake --build "$build" --target tevo-winebridge tevo-menu-launcher tevo-wine-entry-standin \
    tevo-wine-module-standin
  demo=$(demo/wine-installation.sh "$level" "$build")
  export WINEPREFIX=${TEVO_DEMO_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tevo/demo-wine}
  export TEVO_MENU_PROGRAM=$menu TEVO_STANDIN_RECORD=$demo/started.tsv
  echo "demo: programs the menu starts are noted in $TEVO_STANDIN_RECORD"
else
  TEVO_BUILD_DIR=$build demo/seed-login.sh "$level" "$build/demo"
  demo=$(cd "$build/demo" && pwd -P)
fi

# Opens the menu in the demo's folder: directly, or in the Wine installation as the Windows entry
# program does after a login (it writes the login context in code page 950, then starts the menu
# by tevo-menu.exe and ends; the menu is not this script's child then).
start_menu() {
  if [ -z "$wine" ]; then
    (cd "$demo" && exec "$menu")
    return
  fi
  (cd "$demo" && PWD=$demo LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8 exec wine "$demo/GARVO.exe" \
    VA=王小明 AAA="$level" 'mx=\權限\' 'r5=D:\GARVO' /start tevo-menu.exe)
}

if [ -n "${DISPLAY:-}" ]; then
  echo "demo: opening the main menu in $demo"
  if [ -z "$wine" ]; then
    cd "$demo"
    exec "$menu"
  fi
  start_menu
  exit
fi

# No display: a private Xvfb, the menu, one screenshot, and everything ends again.
shot=$(cd "$build" && pwd)/demo-screenshot.png
xvfb_pid=
menu_pid=
runtime=
finish() {
  [ -z "$menu_pid" ] || kill "$menu_pid" 2>/dev/null || true
  [ -z "$wine" ] || wineserver -k 2>/dev/null || true
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
start_menu &
menu_pid=$!
shown=
entry_done=
# Wine's first start in a prefix can take a while: a minute, against 20 s for the menu alone.
for _ in $(seq "${wine:+600}${wine:-200}"); do
  if [ -n "$wine" ]; then
    # Started by the Windows entry program, which ends once it has started the menu: the menu is
    # found by its window, and ended at the end by its process id.
    if [ -z "$entry_done" ] && ! kill -0 "$menu_pid" 2>/dev/null; then
      wait "$menu_pid" || { echo "demo: the Windows entry program GARVO.exe failed" >&2; menu_pid=; exit 1; }
      entry_done=1
    fi
    if [ -n "$entry_done" ]; then
      menu_pid=
      shown=$(xdotool search --onlyvisible --name '^Tevo ' 2>/dev/null | head -n 1 || true)
      [ -z "$shown" ] || { menu_pid=$(xdotool getwindowpid "$shown"); break; }
      sleep 0.1
      continue
    fi
  fi
  shown=$(xdotool search --onlyvisible --pid "$menu_pid" --name 'Tevo' 2>/dev/null || true)
  [ -z "$shown" ] || break
  if ! kill -0 "$menu_pid" 2>/dev/null; then
    echo "demo: the main menu ended without showing its window" >&2
    exit 1
  fi
  sleep 0.1
done
if [ -z "$shown" ]; then
  echo "demo: the main menu showed no window in time" >&2
  exit 1
fi
# Let the window draw itself (pictures, status bar, the notice line) before the screenshot.
sleep 3
kill -0 "$menu_pid" 2>/dev/null || { echo "demo: the main menu ended on its own" >&2; exit 1; }
import -window root "$shot"
echo "demo: screenshot of the main menu saved to $shot"
