#!/usr/bin/env bash
# The Wine bridge, the way back into the menu and the menu's client of the bridge, under the
# real Wine with Windows stand-ins built by MinGW-w64 (the driver is tests/e2e/wine/): registry
# values written by the bridge read by an ANSI module in code page 950, the login context of an
# ANSI entry program read by the bridge, the Windows current folder under nested drive letters,
# paths, drive roots, the volume serial from .windows-serial, and the bridge's speed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine_lib.sh"

driver=$TEVO_BUILD_DIR/tests/e2e/wine/tevo_wine_tests
wine_require
[ -x "$driver" ] || e2e_fail "$driver is missing; build the project first"
wine_setup
wine_prefix

# D: is a garage folder with its own serial; E: a folder inside it.
garage=$E2E_ROOT/garage
mkdir -p "$garage/GARVO/deep"
echo 1234ABCD >"$garage/.windows-serial"
wine_map_drive d "$garage"
wine_map_drive e "$garage/GARVO/deep"

TEVO_WINE_TEST_ROOT=$E2E_ROOT "$driver" || e2e_fail "the Wine tests failed (see above)"
e2e_pass "bridge, stand-ins and the way back in under Wine"
