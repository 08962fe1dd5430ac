#!/usr/bin/env bash
# Left alone, the menu counts down 100 ticks of 800 ms and then leaves as every other way out
# does: the entry program "GARVO.exe" is started exactly once and the menu ends. The count goes
# on while a message of the menu waits to be acknowledged, and ends the menu all the same.
#
# One full count takes 80 seconds, hence the label "slow"; both menus count at once, each in
# its own working folder (so with its own keys), and the record's working directory tells
# their starts of "GARVO.exe" apart.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_start_xvfb

# Nobody touches the menus: the pointer rests in a corner of the screen, away from the windows,
# which open centred, so that no pointer movement over them can count as activity.
xdotool mousemove --sync 0 0 || e2e_fail "xdotool could not move the pointer out of the way"

# The first menu is left alone.
plain_work=$E2E_WORK
e2e_install_standins GARVO.exe
e2e_seed_login 1
e2e_set AT "earlier AT"
e2e_set YXQ B
started=$(e2e_now_ms)
e2e_start_menu
plain_pid=$E2E_MENU_PID
e2e_wait_menu_window >/dev/null
plain_shown=$(e2e_now_ms)

# The second runs on a workstation and shows the refusal of "程式更新" (the last entry of the
# menu opened by Alt+J: Up from the first entry wraps round to it). A refused command leaves the
# count running.
E2E_WORK=$E2E_ROOT/workstation
mkdir -p "$E2E_WORK"
e2e_install_standins GARVO.exe
e2e_seed_login 1 "" /srv/garage/host
e2e_start_menu
message_pid=$E2E_MENU_PID
window=$(e2e_wait_menu_window)
message_shown=$(e2e_now_ms)
e2e_key "$window" alt+j
e2e_key "$window" Up Return
message=$(e2e_wait_other_window "$message_pid" "$window")

# Still open well before the end of the count.
sleep 60
e2e_expect_alive "$plain_pid" "the menu left alone, 60 s after it opened"
e2e_expect_alive "$message_pid" "the menu showing a message, 60 s after it opened"
e2e_window_shown "$message" || e2e_fail "the message went away by itself"
[ ! -s "$E2E_RECORD" ] || e2e_fail "a program was started before the count ran out: $(cat "$E2E_RECORD")"

e2e_wait_record GARVO.exe 45 2 >/dev/null
for pid in "$plain_pid" "$message_pid"; do
    e2e_wait_exit "$pid" "$E2E_TIMEOUT" "the menu $pid at the end of the countdown"
done
e2e_wait_programs_done
e2e_expect_eq "programs started" "GARVO.exe GARVO.exe" "$(cut -f 1 "$E2E_RECORD" | paste -sd ' ')"

# 100 ticks of 800 ms from each window's first activation; allow for a slow start and a loaded
# machine, but not for a count that is a tick rate away from 80 s.
#   menu | its working folder | when its window appeared
menus=(
    "left alone|$plain_work|$plain_shown"
    "showing a message|$E2E_WORK|$message_shown"
)
for row in "${menus[@]}"; do
    IFS='|' read -r what work shown <<<"$row"
    line=$(awk -F '\t' -v work="$work" '$5 == work' "$E2E_RECORD")
    [ "$(printf '%s\n' "$line" | grep -c .)" -eq 1 ] ||
        e2e_fail "the menu $what did not start GARVO.exe exactly once in $work: $line"
    # The keys the entry program finds are the ones its folder had: leaving writes none.
    if [ "$work" = "$plain_work" ]; then
        e2e_expect_eq "\"AT\" read by GARVO.exe ($what)" "earlier AT" "$(e2e_field "$line" 2)"
        e2e_expect_eq "\"YXQ\" read by GARVO.exe ($what)" B "$(e2e_field "$line" 3)"
    else
        e2e_expect_eq "\"AT\" read by GARVO.exe ($what)" "(missing)" "$(e2e_field "$line" 2)"
    fi
    e2e_expect_eq "arguments given to GARVO.exe ($what)" 1 "$(e2e_field "$line" 6)"
    left=$(e2e_field "$line" 7)
    after_shown=$((left - shown))
    after_start=$((left - started))
    e2e_log "$what: GARVO.exe started ${after_shown} ms after the window appeared"
    [ "$after_shown" -ge 78000 ] || e2e_fail "the menu $what left after ${after_shown} ms, before 78 s"
    [ "$after_start" -le 100000 ] || e2e_fail "the menu $what left ${after_start} ms after the start, later than 100 s"
    e2e_pass "the menu $what left after $((after_shown / 1000)) s and started GARVO.exe once"
done
