#!/usr/bin/env bash
# tevo-settings --wine under the real Wine with the Windows stand-ins: a value it sets is what an
# ANSI module reads in code page 950; what the ANSI entry program writes is what it gets; list
# and export print exactly what the user's own store prints for the same values; without a
# prefix it says so and makes none.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wine_lib.sh"

wine_require
wine_setup

# No prefix: a message naming it and how to make it, status 2, and still no prefix.
missing=$E2E_ROOT/no-prefix
status=0
message=$(cd "$E2E_WORK" && WINEPREFIX=$missing "$E2E_SETTINGS" --wine get kelpan AT 2>&1) || status=$?
e2e_expect_eq "exit status without a prefix" 2 "$status"
[[ $message == *"$missing"* && $message == *"wineboot"* ]] ||
    e2e_fail "the message without a prefix names neither it nor wineboot: $message"
[ ! -e "$missing" ] || e2e_fail "tevo-settings --wine made the prefix $missing"

wine_prefix
# Wine kept up between the commands (wine_exit ends it): each would otherwise start it cold.
timeout 60 wineserver -w && wineserver -p || e2e_fail "could not keep wineserver up"
garage=$E2E_ROOT/garage
mkdir -p "$garage/GARVO"
wine_map_drive d "$garage"
cd "$garage/GARVO"

# Windows programs run as the menu starts them: in this folder, under code page 950.
run_windows()
{
    PWD=$garage/GARVO LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8 timeout 60 wine "$@" ||
        e2e_fail "wine $* failed"
}

# Set here, read by the Windows module in its section D:\GARVO.
e2e_settings --wine set kelpan AT 工單作業 || e2e_fail "tevo-settings --wine set AT failed"
e2e_settings --wine set KELPAN yxq A || e2e_fail "tevo-settings --wine set YXQ failed"
run_windows "$WINE_STANDINS/module.exe"
line=$(e2e_records module.exe | tail -n 1)
e2e_expect_eq "\"AT\" read by the Windows module" 工單作業 "$(e2e_field "$line" 2)"
e2e_expect_eq "\"YXQ\" read by the Windows module" A "$(e2e_field "$line" 3)"
e2e_expect_eq "the module's section" 'D:\GARVO' "$(e2e_field "$line" 5)"

# Written by the Windows entry program, read here, by default section and by a Windows one.
run_windows "$WINE_STANDINS/entry.exe" US=王小明 'NOTE=a\b'
e2e_expect_eq "\"US\" in the working folder's section" 王小明 "$(e2e_settings --wine get kelpan US)"
e2e_expect_eq "\"US\" by --section" 王小明 \
    "$(cd / && e2e_settings --wine get kelpan US --section 'd:\garvo')"
status=0
e2e_settings --wine get kelpan NEVER >/dev/null || status=$?
e2e_expect_eq "exit status of a value never written" 1 "$status"

# list and export: the lines the user's own store gives for the same values.
e2e_settings --wine set EEYX 'line breaks' $'one\ttwo\nthree'
for entry in 'kelpan AT 工單作業' 'kelpan NOTE a\b' 'kelpan US 王小明' 'kelpan yxq A'; do
    read -r app key value <<<"$entry"
    e2e_settings set "$app" "$key" "$value" --section 'D:\GARVO'
done
e2e_settings set EEYX 'line breaks' $'one\ttwo\nthree' --section 'D:\GARVO'
for verb in list export; do
    expected=$(e2e_settings "$verb") || e2e_fail "tevo-settings $verb failed"
    actual=$(e2e_settings "$verb" --wine) || e2e_fail "tevo-settings $verb --wine failed"
    [ "$actual" = "$expected" ] ||
        e2e_fail "$verb --wine differs from the user's store:"$'\n'"$actual"$'\n'"expected:"$'\n'"$expected"
    e2e_expect_eq "$verb --wine of one section" "$(e2e_settings "$verb" kelpan 'D:\GARVO')" \
        "$(e2e_settings "$verb" --wine kelpan 'D:\GARVO')"
done
e2e_pass "--wine get, set, list and export against the Windows stand-ins"
