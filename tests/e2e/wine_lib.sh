# Wine for the end-to-end tests of installations whose suite programs run under Wine. Sourced
# after lib.sh:
#
#   wine_require             skips the test (exit 77) with a note when Wine, the Windows programs
#                            built with MinGW-w64 or the zh_TW.UTF-8 locale is missing
#   wine_setup               e2e_setup, with an exit trap that also ends the prefix's Wine
#                            processes and removes the drive letters the test mapped
#   wine_prefix              exports WINEPREFIX: the build folder's private prefix
#                            (Testing/wine/prefix), made with wineboot by the first test that
#                            needs it and reused by the later ones (they run one at a time);
#                            the suite's settings that earlier tests left there are removed
#   wine_map_drive L FOLDER  maps drive letter L of the prefix to FOLDER; before the first Wine
#                            program of the test, since Wine's services read the letters at start
#
# The Windows programs: WINE_BRIDGE (beside the menu), WINE_LAUNCHER (the way back into the
# menu) and the stand-ins in WINE_STANDINS (entry.exe, module.exe).

WINE_SKIPPED=77
WINE_BRIDGE=$TEVO_BUILD_DIR/src/tevo-winebridge.exe
WINE_LAUNCHER=$TEVO_BUILD_DIR/wine/tevo-menu.exe
WINE_STANDINS=$TEVO_BUILD_DIR/tests/e2e/wine
WINE_DRIVES=()

wine_skip()
{
    echo "skipped [$E2E_NAME]: $*" >&2
    exit "$WINE_SKIPPED"
}

wine_require()
{
    local f
    for f in wine wineboot wineserver; do
        command -v "$f" >/dev/null ||
            wine_skip "$f is missing: install the Debian package wine (scripts/setup.sh does)"
    done
    for f in "$WINE_BRIDGE" "$WINE_LAUNCHER" "$WINE_STANDINS/entry.exe" "$WINE_STANDINS/module.exe"; do
        [ -f "$f" ] || wine_skip "$f was not built: the build needs x86_64-w64-mingw32-g++" \
            "(Debian package g++-mingw-w64-x86-64; scripts/setup.sh installs it)"
    done
    locale -a 2>/dev/null | grep -qix 'zh_TW\.utf-\?8' ||
        wine_skip "the locale zh_TW.UTF-8 is missing: localedef -i zh_TW -f UTF-8 zh_TW.UTF-8" \
            "(scripts/test.sh does it)"
}

wine_exit()
{
    local status=$?
    trap - EXIT
    set +e
    [ -z "${WINEPREFIX:-}" ] || timeout 20 wineserver -k >/dev/null 2>&1
    [ ${#WINE_DRIVES[@]} -eq 0 ] || rm -f "${WINE_DRIVES[@]}"
    (exit "$status")
    e2e_cleanup
}

wine_setup()
{
    e2e_setup
    trap wine_exit EXIT
}

wine_prefix()
{
    local folder=$TEVO_BUILD_DIR/Testing/wine lock
    mkdir -p "$folder"
    export WINEPREFIX=$folder/prefix WINEDEBUG=-all
    exec {lock}>"$folder/lock"
    flock "$lock"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        rm -rf "$WINEPREFIX"
        e2e_log "making the tests' Wine prefix $WINEPREFIX (once per build folder)"
        # Without the .NET and HTML engines, which the tests do not need: seconds instead of
        # minutes. wineserver writes system.reg when it ends.
        WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wineboot -i >"$E2E_ROOT/logs/wineboot.log" 2>&1 ||
            e2e_fail "wineboot -i failed (see $E2E_ROOT/logs/wineboot.log)"
        timeout 60 wineserver -w || e2e_fail "wineserver did not end after wineboot"
        [ -f "$WINEPREFIX/system.reg" ] || e2e_fail "wineboot made no system.reg in $WINEPREFIX"
    fi
    flock -u "$lock"
    exec {lock}>&-
    # A value an earlier run left must not pass for one this run wrote.
    local key='HKEY_CURRENT_USER\Software\VB and VBA Program Settings'
    if timeout 60 wine reg query "$key" >/dev/null 2>&1; then
        timeout 60 wine reg delete "$key" /f >"$E2E_ROOT/logs/wine-reg.log" 2>&1 ||
            e2e_fail "could not remove the settings of earlier runs from $WINEPREFIX"
    fi
    # Wine's mount manager learns the drive letters when its services start: the letters a test
    # maps must be there before they do, so the services that reg started must end first.
    timeout 60 wineserver -w || e2e_fail "wineserver did not end after reg"
}

wine_map_drive()
{
    local link=$WINEPREFIX/dosdevices/${1,,}:
    ln -sfn "$2" "$link"
    WINE_DRIVES+=("$link")
}
