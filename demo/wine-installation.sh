#!/usr/bin/env bash
# Makes the mixed demo installation of scripts/demo.sh --wine: the suite's entry program and a few
# modules are Windows programs (the MinGW-w64 stand-ins of the Wine tests), run under Wine; the
# other modules are the Linux stand-in; the main menu is the native one, started the way back in.
#
#   demo/wine-installation.sh LEVEL BUILD_DIR
#
# Prints the installation's folder. The layout is a garage folder mapped to drive D: of a prefix
# of the demo's own, so that the Windows programs see the suite as D:\GARVO:
#
#   BUILD/demo-wine/                  D:\ (its .windows-serial gives the drive's serial)
#   BUILD/demo-wine/GARVO/            the suite: GARVO.exe, E2.exe, GD.exe, QMG.exe (Windows),
#                                     the other modules (Linux), tevo-menu.exe, 權限/權限.INI
#
# The prefix is $TEVO_DEMO_WINEPREFIX, else $XDG_CACHE_HOME/tevo/demo-wine (~/.cache when
# XDG_CACHE_HOME is not set); made with wineboot when missing (the demo makes its own prefix; the
# menu never makes one). The login context is written by the Windows entry program in code page
# 950, as the real one does, not by this script.
set -euo pipefail

level=$1
build=$(cd "$2" && pwd -P)
here=$(cd "$(dirname "$0")" && pwd)

fail() { echo "demo: $*" >&2; exit 1; }

command -v wine >/dev/null || fail "Wine is missing: apt-get install wine (scripts/setup.sh installs it)"
locale -a 2>/dev/null | grep -qix 'zh_TW\.utf-\?8' ||
  fail "the locale zh_TW.UTF-8 is missing: localedef -i zh_TW -f UTF-8 zh_TW.UTF-8"
windows=$build/tests/e2e/wine
for f in "$windows/entry.exe" "$windows/module.exe" "$build/wine/tevo-menu.exe" \
  "$build/src/tevo-winebridge.exe"; do
  [ -f "$f" ] || fail "$f was not built: the build needs x86_64-w64-mingw32-g++ (Debian package g++-mingw-w64-x86-64)"
done

export WINEPREFIX=${TEVO_DEMO_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tevo/demo-wine}
export WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "demo: making the demo's Wine prefix $WINEPREFIX (once)" >&2
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Without the .NET and HTML engines, which the stand-ins do not need.
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || fail "wineboot -i failed"
  wineserver -w
fi

garage=$build/demo-wine
suite=$garage/GARVO
mkdir -p "$suite/權限"
ln -sfn "$garage" "$WINEPREFIX/dosdevices/d:"
# The system number of the old Windows machine, kept through the drive's serial.
echo 1234ABCD >"$garage/.windows-serial"
cp "$build/demo/權限/權限.INI" "$suite/權限/權限.INI"

# Every program by the name the menu starts it under: the Linux stand-in, except the programs
# this suite still has for Windows.
for program in "$build"/demo/*.exe; do
  name=$(basename "$program")
  rm -f "$suite/$name"
  case $name in
    GARVO.exe) cp "$windows/entry.exe" "$suite/$name" ;;
    E2.exe | GD.exe | QMG.exe) cp "$windows/module.exe" "$suite/$name" ;;
    *) ln -s "$(readlink -f "$program")" "$suite/$name" ;;
  esac
done
cp "$build/wine/tevo-menu.exe" "$suite/tevo-menu.exe"

echo "$suite"
