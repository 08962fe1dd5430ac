#!/usr/bin/env bash
# Writes a sample login context into the settings store for the demo installation, as the suite's
# entry program would before it starts the main menu.
#
#   demo/seed-login.sh [LEVEL] [DEMO_DIR]
#
# LEVEL is the user level "AAA" (default 3; 1 is unrestricted, 2 to 6 follow 權限/權限.INI).
# DEMO_DIR is the demo installation (default: the build folder's demo/, the build folder being
# $TEVO_BUILD_DIR or build/ beside this script's folder). The store tool is taken from
# $TEVO_SETTINGS, else the build folder's src/, else PATH. The store is the user's
# ($XDG_CONFIG_HOME/tevo/settings.db).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${TEVO_BUILD_DIR:-$here/../build}
level=${1:-3}
demo=${2:-$build/demo}

if ! [[ $level =~ ^-?[0-9]+$ ]]; then
  echo "seed-login: the level must be a whole number, not '$level'" >&2
  exit 2
fi
if [ ! -d "$demo" ]; then
  echo "seed-login: the demo installation $demo does not exist; build the tevo-demo target first" >&2
  exit 2
fi
# The section is the working directory of the menu exactly as the system reports it.
demo=$(cd "$demo" && pwd -P)

tool=${TEVO_SETTINGS:-}
if [ -z "$tool" ]; then
  if [ -x "$build/src/tevo-settings" ]; then
    tool=$build/src/tevo-settings
  else
    tool=$(command -v tevo-settings || true)
  fi
fi
if [ -z "$tool" ] || [ ! -x "$tool" ]; then
  echo "seed-login: tevo-settings not found (build it, or set TEVO_SETTINGS)" >&2
  exit 2
fi

set_key() {
  local rc=0
  "$tool" set kelpan "$1" "$2" --section "$demo" || rc=$?
  if [ "$rc" -ne 0 ]; then
    echo "seed-login: $tool could not write \"$1\" (exit $rc)" >&2
    exit 1
  fi
}

set_key VA "王小明"
set_key AAA "$level"
# The profile is r5 + mx + mx without its first and last character + ".INI":
# $demo/權限/權限.INI, the demo's sample profile.
set_key mx "/權限/"
# The demo folder is its own host, so host-only operations run there.
set_key r5 "$demo"

echo "seed-login: login context for $demo written (user 王小明, level $level)"
