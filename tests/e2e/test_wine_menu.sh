#!/usr/bin/env bash
# The menu in an installation whose suite programs are Windows programs under the real Wine
# (stand-ins built by MinGW-w64): the Windows entry program writes the login context in code
# page 950 and starts the menu the way back in; the menu greets the user by the Chinese name;
# F1 hands off to the Windows "E2.exe", which reads its keys from the registry, and the same keys
# are in the user's own store for the Linux programs; Ctrl+Q starts the Windows "GARVO.exe";
# "資料備份" writes the suite INI at the root of the Windows drive. Without the prefix or the
# locale the menu says so and neither writes nor starts anything.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine_lib.sh"

e2e_enter_private_dbus_session "$@"
wine_require
"$E2E_PYTHON" -c 'import pyatspi' 2>/dev/null ||
    e2e_fail "pyatspi is missing (scripts/setup.sh installs python3-pyatspi)"
wine_setup
e2e_start_xvfb
e2e_start_accessibility_bus
# Wine keeps QT_ variables from the Linux programs it starts: the menu learns from the bus that
# a screen reader is on.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true \
    >/dev/null || e2e_fail "cannot turn the accessibility bus on"

# The suite folder is D:\work, D: being the test's root: the suite INI of the Windows drive is
# ROOT/kelpan.INI, not the one at the mount point of the folder's filesystem.
wine_prefix
wine_map_drive d "$E2E_ROOT"
section='D:\work'
# The entry program that logs in is the entry stand-in; the "GARVO.exe" the menu starts on
# leaving is a recording one (both Windows programs).
cp "$WINE_STANDINS/entry.exe" "$E2E_WORK/LOGIN.exe"
cp "$WINE_STANDINS/module.exe" "$E2E_WORK/GARVO.exe"
cp "$WINE_STANDINS/module.exe" "$E2E_WORK/E2.exe"
cp "$WINE_LAUNCHER" "$E2E_WORK/MENU.exe"
e2e_install_standins PREPARE.exe
export TEVO_MENU_PROGRAM=$E2E_MENU

# Sets `window` and E2E_MENU_PID to those of the menu the entry program started.
menu_started_by_wine()
{
    local deadline=$((SECONDS + 60)) id pid
    while [ "$SECONDS" -lt "$deadline" ]; do
        for id in $(xdotool search --onlyvisible --name 'Tevo 保養廠管理系統' 2>/dev/null); do
            pid=$(xdotool getwindowpid "$id" 2>/dev/null) || continue
            e2e_process_alive "$pid" || continue
            window=$id
            E2E_MENU_PID=$pid
            E2E_PIDS+=("$pid")
            return 0
        done
        sleep 0.2
    done
    e2e_fail "the menu started by the Windows entry program showed no window (see $E2E_ROOT/logs)"
}

# The Windows entry program logs 王小明 in on the host and starts the menu the way back in.
run_entry()
{
    (cd "$E2E_WORK" && PWD=$E2E_WORK LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8 timeout 60 \
        wine "$E2E_WORK/LOGIN.exe" VA=王小明 AAA=1 mx= "r5=$section" AT=earlier /start MENU.exe) \
        >"$E2E_ROOT/logs/entry.log" 2>&1 || e2e_fail "the Windows entry program failed"
}

run_entry
menu_started_by_wine
# The greeting appears when the window first becomes active, for eight seconds.
timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || e2e_fail "cannot focus the menu"
"$E2E_PYTHON" "$E2E_DIR/atspi_check.py" label "$E2E_MENU_PID" 王小明 ||
    e2e_fail "the menu does not greet the user the Windows entry program logged in"
e2e_pass "the login context of the Windows entry program reaches the menu"

# F1: the keys are in the registry before the Windows module starts, and in the user's store.
pressed=$(e2e_now_ms)
e2e_key "$window" F1
line=$(e2e_wait_record E2.exe 60)
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after F1"
#   field | what | expected
fields=("2|\"AT\" read by E2.exe|工單作業" "3|\"YXQ\" read by E2.exe|A"
    "4|\"ATU\" read by E2.exe|(missing)" "5|the Windows module's folder|$section")
for row in "${fields[@]}"; do
    IFS='|' read -r field what expected <<<"$row"
    e2e_expect_eq "$what" "$expected" "$(e2e_field "$line" "$field")"
done
e2e_expect_eq "\"AT\" in the user's store" 工單作業 "$(e2e_get AT)"
e2e_expect_eq "\"YXQ\" in the user's store" A "$(e2e_get YXQ)"
e2e_expect_eq "\"AT\" in the registry" 工單作業 "$(cd "$E2E_WORK" && e2e_settings --wine get kelpan AT)"
e2e_log "F1: the Windows module's main $(($(e2e_field "$line" 7) - pressed)) ms after the key press"
e2e_pass "F1 hands off to the Windows E2.exe through the registry and the user's store"

# 資料備份 on the host (r5 is the folder's Windows form): the suite INI at the root of D:, and
# the menu stays open; then Ctrl+Q starts the Windows "GARVO.exe" in the folder.
run_entry
menu_started_by_wine
e2e_key "$window" alt+j
e2e_key "$window" Up Up Return
e2e_wait_record PREPARE.exe >/dev/null
e2e_expect_eq "the suite INI at the root of D:" "[備份] 目錄位置=GARVO" \
    "$(iconv -f CP950 -t UTF-8 "$E2E_ROOT/kelpan.INI" | tr -d '\r' | paste -sd ' ')"
e2e_pass "資料備份 writes kelpan.INI at the root of the Windows drive"
e2e_key "$window" ctrl+q
line=$(e2e_wait_record GARVO.exe 60)
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after Ctrl+Q"
e2e_expect_eq "the folder of the Windows GARVO.exe" "$section" "$(e2e_field "$line" 5)"
e2e_pass "Ctrl+Q starts the Windows GARVO.exe"

# No prefix, no locale: a message, nothing started, nothing written, no prefix made.
#   case | environment | what the message names
broken=(
    "no prefix|WINEPREFIX=$E2E_ROOT/no-prefix|wineboot -i"
    "no locale|LOCPATH=$E2E_ROOT/no-locales|localedef -i zh_TW -f UTF-8 zh_TW.UTF-8"
)
mkdir -p "$E2E_ROOT/no-locales"
for row in "${broken[@]}"; do
    IFS='|' read -r what setting names <<<"$row"
    records=$(wc -l <"$E2E_RECORD")
    stored=$(e2e_settings list | md5sum)
    E2E_MENU_STARTS=$((E2E_MENU_STARTS + 1))
    (cd "$E2E_WORK" && exec env "$setting" "$E2E_MENU") >"$E2E_ROOT/logs/menu.$what.log" 2>&1 &
    E2E_MENU_PID=$!
    E2E_PIDS+=("$E2E_MENU_PID")
    message=$(e2e_wait_window "$E2E_MENU_PID" '.')
    "$E2E_PYTHON" "$E2E_DIR/atspi_check.py" text "$E2E_MENU_PID" "$names" ||
        e2e_fail "the message with $what does not say \"$names\""
    e2e_key "$message" Return
    e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu with $what"
    e2e_expect_eq "programs started with $what" "$records" "$(wc -l <"$E2E_RECORD")"
    e2e_expect_eq "the user's store with $what" "$stored" "$(e2e_settings list | md5sum)"
    [ ! -e "$E2E_ROOT/no-prefix" ] || e2e_fail "the menu made the prefix $E2E_ROOT/no-prefix"
    e2e_pass "$what: a message, nothing started or written"
done
