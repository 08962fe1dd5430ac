#!/usr/bin/env bash
# A restricted user cannot start what the permission profile forbids, by shortcut key or by a
# click on the greyed button, also where the shortcut's entry lies inside a greyed submenu; a
# value that only looks like a refusal forbids nothing. The profile is code page 950 with CR LF
# line ends, as the suite writes it.
#
# "Starts nothing" is shown by doing something afterwards that does start a program (F11 starts
# "QMG.exe" and keeps the menu open): keys and clicks are handled in order, so once "QMG.exe"
# has been recorded the forbidden attempts before it have been handled too, and the record file
# must hold "QMG.exe" alone.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_start_xvfb
e2e_install_standins E2.exe GD.exe DC.exe HX.exe QMG.exe GARVO.exe
e2e_seed_login 3 "/權限/"

# Clicks at a point of a window, in window coordinates.
click_at()
{
    xdotool mousemove --window "$1" "$2" "$3" click 1 || e2e_fail "xdotool could not click at $2,$3"
}

# Points inside buttons of the column, in window coordinates. The column starts 112 pixels below
# the menu bar; the buttons are 89 pixels wide and 49 to 57 high, so a menu bar between 10 and
# 40 pixels high puts these points well inside them. The cases where the area is allowed click
# the same points and so check that they are right.
declare -A button_point=(
    [Command1]="52 165"
    [Command2]="52 230"
    [Command3]="52 455"
)

# A level-3 profile with one area forbidden or not, and a level-2 section that forbids
# everything, which must not matter to a user of level 3.
write_profile()
{
    local key=$1 value=$2
    {
        echo "[第二級]"
        echo "工單作業=NO"
        echo "客戶編輯=NO"
        echo "材料編輯=NO"
        echo "結帳登記=NO"
        echo "[第三級]"
        echo "$key=$value"
        echo "工具=YES"
    } | e2e_write_profile
}

#   profile key | value | what the user tries | program it would start
forbidden=(
    "工單作業|NO|key F1|E2.exe"
    "工單作業|NO|click Command1|E2.exe"
    "客戶編輯|NO|key F7|DC.exe"
    "客戶編輯|NO|click Command3|DC.exe"
    "材料編輯|NO|key F8|HX.exe"
    "材料編輯| NO |key F8|HX.exe"
)
for row in "${forbidden[@]}"; do
    IFS='|' read -r key value action program <<<"$row"
    write_profile "$key" "$value"
    : >"$E2E_RECORD"
    e2e_start_menu
    window=$(e2e_wait_menu_window)
    case $action in
    "key "*) e2e_key "$window" "${action#key }" ;;
    "click "*)
        # shellcheck disable=SC2086 # the point is two numbers
        click_at "$window" ${button_point[${action#click }]}
        ;;
    esac
    e2e_key "$window" F11
    e2e_wait_record QMG.exe >/dev/null
    e2e_wait_programs_done
    e2e_expect_alive "$E2E_MENU_PID" "the menu after '$action' with \"$key\" = \"$value\""
    e2e_expect_eq "programs started by '$action' then F11 with \"$key\" = \"$value\"" \
        "QMG.exe" "$(cut -f 1 "$E2E_RECORD" | paste -sd ' ')"
    e2e_stop_menu
    e2e_pass "\"$key\" = \"$value\": '$action' starts no $program"
done

# Values that are not exactly "NO" after trimming allow the area: the hand-off happens and the
# menu ends.
#   profile key | value | what the user tries | program | "AT" it leaves
allowed=(
    "結帳登記|no|key F2|GD.exe|結帳登記"
    "結帳登記|No|click Command2|GD.exe|結帳登記"
    "工單作業|NO.|click Command1|E2.exe|工單作業"
    "客戶編輯|YES|click Command3|DC.exe|客戶資料新增"
    "材料編輯|N0|key F8|HX.exe|材料新增"
)
for row in "${allowed[@]}"; do
    IFS='|' read -r key value action program at <<<"$row"
    write_profile "$key" "$value"
    : >"$E2E_RECORD"
    e2e_start_menu
    window=$(e2e_wait_menu_window)
    case $action in
    "key "*) e2e_key "$window" "${action#key }" ;;
    "click "*)
        # shellcheck disable=SC2086
        click_at "$window" ${button_point[${action#click }]}
        ;;
    esac
    line=$(e2e_wait_record "$program")
    e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after '$action' with \"$key\" = \"$value\""
    e2e_wait_programs_done
    e2e_expect_eq "\"AT\" read by $program after '$action'" "$at" "$(e2e_field "$line" 2)"
    e2e_expect_eq "programs started by '$action' with \"$key\" = \"$value\"" \
        "$program" "$(cut -f 1 "$E2E_RECORD" | paste -sd ' ')"
    e2e_pass "\"$key\" = \"$value\": '$action' hands off to $program"
done
