#!/usr/bin/env bash
# The demo's stand-in program, which the other end-to-end tests rely on to see what the menu
# handed over: what it records, what its windows show and do, and the harness's own key
# presses and window closing.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_install_standins E2.exe GARVO.exe

delete_key() { e2e_settings delete kelpan "$1" --section "$E2E_WORK" || e2e_fail "cannot delete $1"; }

# Set each key to a value, or delete it with "-". Keys of another folder's section must not be
# read: the section is the working directory.
mkdir -p "$E2E_ROOT/other"
e2e_settings set kelpan AT "other folder" --section "$(cd "$E2E_ROOT/other" && pwd -P)" ||
    e2e_fail "cannot write the other folder's section"

#   case | AT | YXQ | ATU | recorded AT | recorded YXQ | recorded ATU
records=(
    "nothing written|-|-|-|(missing)|(missing)|(missing)"
    "the empty text is not missing|工單作業|A||工單作業|A|"
    "tab, line break and backslash stay on one line|a	b|x
y|c\\d|a\\tb|x\\ny|c\\\\d"
)
for row in "${records[@]}"; do
    IFS='|' read -r -d '' what at yxq atu want_at want_yxq want_atu <<<"$row" || true
    want_atu=${want_atu%$'\n'}
    for pair in "AT=$at" "YXQ=$yxq" "ATU=$atu"; do
        key=${pair%%=*}
        value=${pair#*=}
        if [ "$value" = - ]; then delete_key "$key"; else e2e_set "$key" "$value"; fi
    done
    expected=$(($(e2e_record_count E2.exe) + 1))
    (cd "$E2E_WORK" && ./E2.exe) || e2e_fail "$what: the recording stand-in failed"
    line=$(e2e_wait_record E2.exe 5 "$expected")
    e2e_log "$what: $line"
    e2e_expect_record "$line" E2.exe "$want_at" "$want_yxq" "$want_atu"
done

# Arguments are counted with argv[0], the name comes from argv[0] as invoked.
(cd "$E2E_WORK" && ./E2.exe one two) || e2e_fail "the recording stand-in failed with arguments"
e2e_expect_eq "argument count of './E2.exe one two'" 3 "$(e2e_field "$(e2e_records E2.exe | tail -n 1)" 6)"
e2e_pass "records: missing, empty and escaped values, the working folder's section, arguments"

# The windows. "tevo-menu" beside the stand-ins is a script that records its start, so that the
# stand-in's way back to the menu can be seen.
e2e_start_xvfb
cat >"$E2E_WORK/tevo-menu" <<EOF
#!/bin/bash
printf 'tevo-menu\t%s\t%s\n' "\$PWD" "\$#" >>'$E2E_ROOT/menu-starts.tsv'
EOF
chmod +x "$E2E_WORK/tevo-menu"
menu_starts() { if [ -f "$E2E_ROOT/menu-starts.tsv" ]; then wc -l <"$E2E_ROOT/menu-starts.tsv"; else echo 0; fi; }

start_window_standin()
{
    (cd "$E2E_WORK" && exec env -u TEVO_STANDIN_RECORD "./$1") >"$E2E_ROOT/logs/$1.log" 2>&1 &
    standin=$!
    E2E_PIDS+=("$standin")
}

# A module shows its name and keys in the title; "回主目錄" (the focused button, Return)
# starts the menu in the same folder without arguments and the stand-in ends.
e2e_set AT "工單作業"
e2e_set YXQ A
start_window_standin E2.exe
window=$(e2e_wait_window "$standin" '^E2\.exe .*AT=工單作業 .*YXQ=A ')
e2e_key "$window" Return
e2e_wait_exit "$standin" 10 "the stand-in after 回主目錄"
e2e_wait_until 10 "the stand-in did not start tevo-menu" test "$(menu_starts)" -eq 1
e2e_expect_eq "how the menu was started" "tevo-menu	$E2E_WORK	0" "$(tail -n 1 "$E2E_ROOT/menu-starts.tsv")"
e2e_pass "module window: title with the keys, 回主目錄 starts the menu and ends"

# The entry program: the chosen level is written as "AAA" before the menu starts.
e2e_set AAA 3
start_window_standin GARVO.exe
window=$(e2e_wait_window "$standin" '^GARVO\.exe .*登入')
e2e_key "$window" shift+Tab ctrl+a 5 Tab Return
e2e_wait_exit "$standin" 10 "the entry stand-in after 登入"
e2e_wait_until 10 "the entry stand-in did not start tevo-menu" test "$(menu_starts)" -eq 2
e2e_expect_eq "\"AAA\" written by the entry stand-in" 5 "$(e2e_get AAA)"
e2e_pass "entry window: 登入 writes the level and starts the menu"

# Closing a window (as a window manager's close box does) ends the stand-in and starts nothing.
start_window_standin E2.exe
window=$(e2e_wait_window "$standin" '^E2\.exe ')
e2e_close_window "$window"
e2e_wait_exit "$standin" 10 "the stand-in after its window was closed"
e2e_expect_eq "menu starts after closing" 2 "$(menu_starts)"
e2e_pass "closing a window ends the stand-in"
