#!/usr/bin/env bash
# Starting programs where it is easy to get wrong. A working folder whose path holds blanks,
# quotation marks, characters a shell would act on and Chinese: the hand-off keys go to exactly
# that folder's section, and the module starts in that folder; one named in Big5 works the same,
# one whose name reads as no text is refused. A module file that exists but
# cannot run: a message, the menu stays open and usable, the keys stay written.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=tests/e2e/bad_input_lib.sh
source "$(dirname "$0")/bad_input_lib.sh"

e2e_setup
e2e_start_xvfb

# ---- a working folder with an awkward path ---------------------------------------------------

PLAIN_WORK=$E2E_WORK
# shellcheck disable=SC2016 # the dollar sign and back quotes are part of the name
ODD='保養 廠 '"'"'a'"'"' "b" $HOME;`id`&|*'
E2E_WORK=$E2E_ROOT/$ODD
mkdir -p "$E2E_WORK"
[ "$(cd "$E2E_WORK" && pwd -P)" = "$E2E_WORK" ] ||
    e2e_fail "the odd folder's path is not what getcwd() gives"
e2e_install_standins E2.exe GD.exe QMG.exe GARVO.exe
e2e_seed_login 1
e2e_set YXQ B
e2e_set ATU "earlier ATU"

#   keys | program | "AT" | "YXQ" | "ATU" | the menu ends
odd_rows=(
    "F11|QMG.exe|(missing)|B|earlier ATU|no"
    "F1|E2.exe|工單作業|A|earlier ATU|yes"
    "F2|GD.exe|結帳登記|A||yes"
    "ctrl+q|GARVO.exe|結帳登記|A||yes"
)
for row in "${odd_rows[@]}"; do
    IFS='|' read -r key program at yxq atu ends <<<"$row"
    records=$(wc -l <"$E2E_RECORD")
    starts=$(($(e2e_record_count "$program") + 1))
    bi_start_menu
    window=$(e2e_wait_menu_window)
    e2e_key "$window" "$key"
    line=$(e2e_wait_record "$program" "$E2E_TIMEOUT" "$starts")
    if [ "$ends" = yes ]; then
        e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after $key"
    else
        e2e_expect_alive "$E2E_MENU_PID" "the menu after $key"
        e2e_stop_menu
    fi
    e2e_wait_programs_done
    e2e_expect_record "$line" "$program" "$at" "$yxq" "$atu"
    e2e_expect_eq "programs started by $key" 1 $(($(wc -l <"$E2E_RECORD") - records))
    e2e_pass "in the folder \"$ODD\", $key starts $program there with its keys"
done

# The keys went to exactly that section: no other section of "kelpan" holds a hand-off key.
sections=$(e2e_settings list kelpan |
    awk -F '\t' '$3 == "AT" || $3 == "YXQ" || $3 == "ATU" { print $2 }' | sort -u)
e2e_expect_eq "sections that hold hand-off keys" "$E2E_WORK" "$sections"
e2e_pass "the hand-off keys are in the section of the odd folder and nowhere else"

# ---- working folders whose names are not UTF-8 -----------------------------------------------

# A folder named in code page 950 (Big5), as a share of a Windows server shows it: the menu and
# the store tool read its name as Big5 for the section, and the module is found and started in
# the folder itself, by its bytes.
BIG5_SECTION=$E2E_ROOT/保養廠
E2E_WORK=$E2E_ROOT/$(printf '保養廠' | iconv -f UTF-8 -t CP950)
mkdir "$E2E_WORK"
e2e_install_standins E2.exe
(E2E_WORK=$BIG5_SECTION && e2e_seed_login 1)
starts=$(($(e2e_record_count E2.exe) + 1))
bi_start_menu
window=$(e2e_wait_menu_window)
e2e_key "$window" F1
line=$(e2e_wait_record E2.exe "$E2E_TIMEOUT" "$starts")
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after F1 in the Big5 folder"
e2e_wait_programs_done
e2e_expect_record "$line" E2.exe 工單作業 A "(missing)"
e2e_expect_eq "\"AT\" in the section of the name read as Big5" 工單作業 \
    "$(e2e_settings get kelpan AT --section "$BIG5_SECTION")"
e2e_pass "in a folder named in Big5, F1 starts E2.exe there with the keys of its section"

# A name that is neither UTF-8 nor Big5 (a control character, a byte that starts no character of
# either): a message, exit 1, and nothing written or started.
E2E_WORK=$E2E_ROOT/$'壞\x01\xff名'
mkdir "$E2E_WORK"
e2e_install_standins E2.exe GARVO.exe
store=$(bi_fingerprint "$XDG_CONFIG_HOME")
folder=$(bi_fingerprint "$E2E_WORK")
records=$(wc -l <"$E2E_RECORD")
bi_start_menu
message=$(bi_wait_message_only)
e2e_key "$message" Return
bi_menu_exit_status
e2e_expect_eq "exit status of the menu in a folder whose name is no text" 1 "$BI_EXIT_STATUS"
e2e_expect_eq "the store after the refusal" "$store" "$(bi_fingerprint "$XDG_CONFIG_HOME")"
e2e_expect_eq "the folder after the refusal" "$folder" "$(bi_fingerprint "$E2E_WORK")"
e2e_expect_eq "programs started in that folder" 0 $(($(wc -l <"$E2E_RECORD") - records))
e2e_pass "in a folder whose name is neither UTF-8 nor Big5 the menu says so and ends with 1"

# ---- module files that cannot run ------------------------------------------------------------

E2E_WORK=$PLAIN_WORK
e2e_install_standins QMG.exe
e2e_seed_login 1

# A copy of the stand-in without the execute permission, and a file that is executable but no
# program this machine can run.
not_executable() { cp "$E2E_STANDIN" "$1" && chmod 644 "$1"; }
foreign_format() { printf 'MZ\x90\x00 a program for another system\r\n' >"$1" && chmod 755 "$1"; }

#   the module file is | function that makes it
modules=(
    "not executable|not_executable"
    "of a format this machine cannot run|foreign_format"
)
for row in "${modules[@]}"; do
    IFS='|' read -r what make <<<"$row"
    rm -f "$E2E_WORK/E2.exe"
    "$make" "$E2E_WORK/E2.exe"
    e2e_set AT "earlier AT"
    e2e_set YXQ B
    records=$(wc -l <"$E2E_RECORD")

    bi_start_menu
    window=$(e2e_wait_menu_window)
    e2e_key "$window" F1
    message=$(e2e_wait_other_window "$E2E_MENU_PID" "$window")
    e2e_expect_eq "kind of the window after F1" _NET_WM_WINDOW_TYPE_DIALOG \
        "$(bi_window_type "$message")"
    # The keys are written before the start is tried, and stay.
    e2e_expect_eq "\"AT\" after the failed start" "工單作業" "$(e2e_get AT)"
    e2e_expect_eq "\"YXQ\" after the failed start" A "$(e2e_get YXQ)"
    e2e_key "$message" Return
    e2e_wait_window_gone "$message"
    e2e_expect_alive "$E2E_MENU_PID" "the menu after the message about an E2.exe that is $what"
    # The menu still works.
    starts=$(($(e2e_record_count QMG.exe) + 1))
    e2e_key "$window" F11
    e2e_wait_record QMG.exe "$E2E_TIMEOUT" "$starts" >/dev/null
    e2e_expect_alive "$E2E_MENU_PID" "the menu after F11"
    e2e_stop_menu
    e2e_wait_programs_done
    e2e_expect_eq "programs started with an E2.exe that is $what" 1 \
        $(($(wc -l <"$E2E_RECORD") - records))
    e2e_pass "an E2.exe that is $what is reported and the menu stays open"
done
