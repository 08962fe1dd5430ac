#!/usr/bin/env bash
# Leaving the menu by Ctrl+Q and by closing the window starts the entry program "GARVO.exe"
# exactly once and ends the menu; without an entry program the menu says so and still ends.
# The window is closed as a window manager's close box does it: a WM_DELETE_WINDOW message
# (xclose.py), since the bare Xvfb has no window manager to act on Alt+F4.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_start_xvfb
e2e_install_standins GARVO.exe E2.exe
e2e_seed_login 1

#   way out | how it is done
ways=(
    "Ctrl+Q|key ctrl+q"
    "closing the window|close"
)
for row in "${ways[@]}"; do
    IFS='|' read -r way action <<<"$row"
    e2e_set AT "earlier AT"
    e2e_set YXQ B
    before=$(wc -l <"$E2E_RECORD")
    expected=$(($(e2e_record_count GARVO.exe) + 1))

    e2e_start_menu
    window=$(e2e_wait_menu_window)
    case $action in
    "key "*) e2e_key "$window" "${action#key }" ;;
    close) e2e_close_window "$window" ;;
    esac
    line=$(e2e_wait_record GARVO.exe "$E2E_TIMEOUT" "$expected")
    e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after $way"
    # Every program the menu started has written its line: now the count is final.
    e2e_wait_programs_done

    e2e_expect_record "$line" GARVO.exe "earlier AT" B "(missing)"
    e2e_expect_eq "starts of GARVO.exe by $way" "$expected" "$(e2e_record_count GARVO.exe)"
    e2e_expect_eq "programs started by $way" 1 $(($(wc -l <"$E2E_RECORD") - before))
    e2e_pass "$way starts GARVO.exe once and ends the menu"
done

# No entry program: leaving must not leave the menu open on an unattended workstation. The
# menu shows a message and ends once it is acknowledged.
rm -f "$E2E_WORK/GARVO.exe"
before=$(wc -l <"$E2E_RECORD")
e2e_start_menu
window=$(e2e_wait_menu_window)
e2e_key "$window" ctrl+q
message=$(e2e_wait_other_window "$E2E_MENU_PID" "$window")
e2e_key "$message" Return
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after the message about the missing GARVO.exe"
e2e_wait_programs_done
e2e_expect_eq "programs started without an entry program" 0 $(($(wc -l <"$E2E_RECORD") - before))
e2e_pass "without GARVO.exe the menu reports it and ends"
