#!/usr/bin/env bash
# The menu hands off to a module program and ends; a side launch leaves it open; a module that
# cannot be started is reported and the menu goes on. Real binaries under Xvfb, keys pressed
# with xdotool, the started programs are recording stand-ins in the working folder.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_start_xvfb
e2e_install_standins E2.exe GD.exe QMG.exe GARVO.exe
# Level 1 and no profile folder text: nothing is greyed.
e2e_seed_login 1

# Hand-offs chosen by their shortcut keys: the module reads exactly the keys of its row, the
# key a hand-off does not write keeps the value it had before, and the menu ends without
# starting anything else (in particular not the entry program).
#   key | program | "AT" | "YXQ" | "ATU" (after the keys below were set beforehand)
handoffs=(
    "F1|E2.exe|工單作業|A|earlier ATU"
    "F2|GD.exe|結帳登記|B|"
    "ctrl+F2|GD.exe|保險結帳|B|"
)
for row in "${handoffs[@]}"; do
    IFS='|' read -r key program at yxq atu <<<"$row"
    e2e_set AT "earlier AT"
    e2e_set YXQ B
    e2e_set ATU "earlier ATU"
    before=$(wc -l <"$E2E_RECORD")
    expected=$(($(e2e_record_count "$program") + 1))

    started=$(e2e_now_ms)
    e2e_start_menu
    window=$(e2e_wait_menu_window)
    shown=$(e2e_now_ms)
    pressed=$(e2e_now_ms)
    e2e_key "$window" "$key"
    line=$(e2e_wait_record "$program" "$E2E_TIMEOUT" "$expected")
    e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after the hand-off by $key"
    e2e_wait_programs_done

    e2e_expect_record "$line" "$program" "$at" "$yxq" "$atu"
    e2e_expect_eq "programs started by the hand-off by $key" 1 $(($(wc -l <"$E2E_RECORD") - before))
    e2e_expect_eq "\"AT\" in the store after $key" "$at" "$(e2e_get AT)"
    e2e_log "$key: window after $((shown - started)) ms, $program started $(($(e2e_field "$line" 7) - pressed)) ms after the key press"
done
e2e_pass "hand-offs by F1, F2 and Ctrl+F2"

# F11: "QMG.exe" starts, no key is written and the menu stays open and usable.
e2e_set AT "earlier AT"
e2e_set YXQ B
e2e_set ATU "earlier ATU"
e2e_start_menu
window=$(e2e_wait_menu_window)
e2e_key "$window" F11
line=$(e2e_wait_record QMG.exe)
e2e_expect_record "$line" QMG.exe "earlier AT" B "earlier ATU"
e2e_expect_alive "$E2E_MENU_PID" "the menu after the side launch of QMG.exe"
# The menu still answers: a hand-off after the side launch works.
expected=$(($(e2e_record_count E2.exe) + 1))
e2e_key "$window" F1
e2e_wait_record E2.exe "$E2E_TIMEOUT" "$expected" >/dev/null
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after F1 following F11"
e2e_wait_programs_done
e2e_expect_eq "starts of QMG.exe" 1 "$(e2e_record_count QMG.exe)"
e2e_pass "F11 starts QMG.exe and the menu stays open"

# F7 ("客戶資料新增", "DC.exe") with no "DC.exe" anywhere: the keys are written, a message
# appears, and after it the menu is still open and usable.
e2e_set AT "earlier AT"
e2e_set YXQ B
[ ! -e "$E2E_WORK/DC.exe" ] || e2e_fail "the working folder must not hold DC.exe for this case"
e2e_start_menu
window=$(e2e_wait_menu_window)
e2e_key "$window" F7
message=$(e2e_wait_other_window "$E2E_MENU_PID" "$window")
e2e_expect_alive "$E2E_MENU_PID" "the menu while it reports the missing DC.exe"
e2e_expect_eq "\"AT\" written before the failed start" "客戶資料新增" "$(e2e_get AT)"
e2e_expect_eq "\"YXQ\" written before the failed start" A "$(e2e_get YXQ)"
e2e_key "$message" Return
e2e_wait_window_gone "$message"
e2e_expect_alive "$E2E_MENU_PID" "the menu after the message about DC.exe"
e2e_key "$window" F11
e2e_wait_record QMG.exe "$E2E_TIMEOUT" 2 >/dev/null
e2e_expect_alive "$E2E_MENU_PID" "the menu after F11 following the message"
e2e_expect_eq "starts of DC.exe" 0 "$(e2e_record_count DC.exe)"
e2e_stop_menu
e2e_pass "a missing DC.exe is reported and the menu stays open"
