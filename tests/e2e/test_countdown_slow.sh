#!/usr/bin/env bash
# Left alone, the menu counts down 100 ticks of 800 ms and then leaves as every other way out
# does: the entry program "GARVO.exe" is started exactly once and the menu ends. One full run
# takes 80 seconds, hence the label "slow".
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_start_xvfb
e2e_install_standins GARVO.exe
e2e_seed_login 1
e2e_set AT "earlier AT"
e2e_set YXQ B

# Nobody touches it: the pointer rests in a corner of the screen, away from the window, which
# opens centred, so that no pointer movement over it can count as activity.
xdotool mousemove --sync 0 0 || e2e_fail "xdotool could not move the pointer out of the way"

started=$(e2e_now_ms)
e2e_start_menu
e2e_wait_menu_window >/dev/null
shown=$(e2e_now_ms)

# Still open well before the end of the count.
sleep 60
e2e_expect_alive "$E2E_MENU_PID" "the menu 60 s after it opened"
[ "$(e2e_record_count GARVO.exe)" -eq 0 ] || e2e_fail "GARVO.exe was started before the count ran out"

line=$(e2e_wait_record GARVO.exe 45)
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu at the end of the countdown"
e2e_wait_programs_done
e2e_expect_record "$line" GARVO.exe "earlier AT" B "(missing)"
e2e_expect_eq "starts of GARVO.exe" 1 "$(e2e_record_count GARVO.exe)"
e2e_expect_eq "programs started" 1 "$(wc -l <"$E2E_RECORD")"

# 100 ticks of 800 ms from the window's first activation; allow for a slow start and a loaded
# machine, but not for a count that is a tick rate away from 80 s.
left=$(e2e_field "$line" 7)
after_start=$((left - started))
after_shown=$((left - shown))
e2e_log "window after $((shown - started)) ms; GARVO.exe started ${after_start} ms after the menu was started (${after_shown} ms after its window appeared)"
[ "$after_shown" -ge 78000 ] || e2e_fail "the menu left after ${after_shown} ms, before 78 s"
[ "$after_start" -le 100000 ] || e2e_fail "the menu left after ${after_start} ms, later than 100 s"
e2e_pass "left alone, the menu left after $((after_start / 1000)) s and started GARVO.exe once"
