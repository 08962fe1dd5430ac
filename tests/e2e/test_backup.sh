#!/usr/bin/env bash
# "資料備份" from the menu "(&J) 系統管理", chosen with the keyboard as a user would: on the host it
# records the suite's folder in the suite INI file at the root of the drive, code page 950, every
# other byte of the file kept, and starts "PREPARE.exe" with the menu staying open; on a
# workstation it is refused with a message, nothing written and nothing started. A suite INI
# file that is a link to another file is not written: "PREPARE.exe" starts, nothing is shown,
# and the file it points to keeps every byte.
#
# The drive is a tmpfs of the test's own, in a private mount namespace, so that the suite INI
# file at its root belongs to the test.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_enter_private_mounts "$@"
e2e_setup
e2e_use_own_drive
e2e_start_xvfb
e2e_install_standins PREPARE.exe QMG.exe GARVO.exe
ini=$E2E_DRIVE/kelpan.INI

# "資料備份" is the sixth command of the menu opened by Alt+J, and the second from its end: the
# menu opens with its first entry active, Up wraps round to the last entry ("程式更新"), and a
# second Up reaches "資料備份".
choose_backup()
{
    e2e_key "$1" alt+j
    e2e_key "$1" Up Up Return
}

# Code page 950 bytes of UTF-8 text with every line ended by CR LF; the last line keeps no line
# end when the text does not end with a newline.
cp950_file()
{
    local text=$1 out=$2
    printf '%s' "$text" | sed 's/$/\r/' >"$out.utf8"
    if [ "${text: -1}" != $'\n' ]; then
        # sed added a CR to the last, unterminated line too: take it off again.
        truncate -s -1 "$out.utf8"
    fi
    iconv -f UTF-8 -t CP950 "$out.utf8" >"$out" || e2e_fail "cannot write $out in code page 950"
    rm -f "$out.utf8"
}

# Suite INI files from the suite's other programs: 許 (B3 5C) and 包 (A5 5D) carry the trail
# bytes "\" and "]", which must not confuse the writer; the key "目錄位置" also stands in another
# section, which must keep its value.
declare -A fixture
fixture[existing]='; 本檔由本系統各程式共用
[公司]
目錄位置=GARVO
名稱=許記汽車包修廠
[備份]
上次=2026/11/30
目錄位置=D:\舊資料
[Online]
ServiceHost=service.tevo.invalid
'
fixture[expected]='; 本檔由本系統各程式共用
[公司]
目錄位置=GARVO
名稱=許記汽車包修廠
[備份]
上次=2026/11/30
目錄位置=GARVO
[Online]
ServiceHost=service.tevo.invalid
'
# Without a section "備份" and without a line end after its last line.
fixture[other]='[公司]
名稱=許記汽車包修廠
[報表]
標題=包修明細'
fixture[other_expected]="${fixture[other]}"'
[備份]
目錄位置=GARVO
'
fixture[new_expected]='[備份]
目錄位置=GARVO
'

#   case | r5 (host directory) | suite INI file before | after ("-": none, "=": unchanged,
#   "link": a link to a file outside the drive, which must keep its bytes); files are named by
#   their fixture
cases=(
    "host, no suite INI file yet|$E2E_WORK|-|new_expected"
    "host, the suite INI file a link to another file|$E2E_WORK|existing|link"
    "host with trailing spaces in r5, key in place|$E2E_WORK   |existing|expected"
    "host, section missing and no final line end|$E2E_WORK|other|other_expected"
    "workstation whose r5 differs in letter case|${E2E_WORK^^}|existing|="
    "workstation|/srv/garage/host|-|-"
    "workstation, no host directory||existing|="
)
for row in "${cases[@]}"; do
    IFS='|' read -r what host before after <<<"$row"
    rm -f "$ini" "$E2E_ROOT/before.ini" "$E2E_ROOT/expected.ini" "$E2E_ROOT/other.ini"
    if [ "$after" = link ]; then
        # Someone who can write the drive's root points the file at a file of the user.
        cp950_file "${fixture[$before]}" "$E2E_ROOT/other.ini"
        cp "$E2E_ROOT/other.ini" "$E2E_ROOT/before.ini"
        ln -s "$E2E_ROOT/other.ini" "$ini"
    elif [ "$before" != - ]; then
        cp950_file "${fixture[$before]}" "$ini"
        cp "$ini" "$E2E_ROOT/before.ini"
    fi
    : >"$E2E_RECORD"
    e2e_seed_login 1
    e2e_set r5 "$host"

    e2e_start_menu
    window=$(e2e_wait_menu_window)
    choose_backup "$window"
    if [ "$after" = - ] || [ "$after" = = ]; then
        # Refused: a message, then the menu goes on as before.
        message=$(e2e_wait_other_window "$E2E_MENU_PID" "$window")
        e2e_key "$message" Return
        e2e_wait_window_gone "$message"
        e2e_key "$window" F11
        e2e_wait_record QMG.exe >/dev/null
        e2e_wait_programs_done
        e2e_expect_eq "$what: programs started" QMG.exe "$(cut -f 1 "$E2E_RECORD" | paste -sd ' ')"
        if [ "$after" = - ]; then
            [ ! -e "$ini" ] || e2e_fail "$what: a suite INI file was written: $(iconv -f CP950 -t UTF-8 "$ini")"
        else
            cmp -s "$E2E_ROOT/before.ini" "$ini" || e2e_fail "$what: the suite INI file was changed"
        fi
    elif [ "$after" = link ]; then
        # A link counts as a file that cannot be written: the program starts, nothing is shown
        # and nothing is written, through the link or in its place.
        e2e_wait_record PREPARE.exe >/dev/null
        e2e_wait_programs_done
        e2e_expect_eq "$what: windows of the menu" 1 "$(e2e_windows_of "$E2E_MENU_PID" . | wc -l)"
        cmp -s "$E2E_ROOT/before.ini" "$E2E_ROOT/other.ini" ||
            e2e_fail "$what: the file the link points to was changed"
        [ -L "$ini" ] || e2e_fail "$what: the link was replaced"
        e2e_expect_alive "$E2E_MENU_PID" "the menu after $what"
    else
        line=$(e2e_wait_record PREPARE.exe)
        # A side launch writes no hand-off keys.
        e2e_expect_record "$line" PREPARE.exe "(missing)" "(missing)" "(missing)"
        e2e_expect_alive "$E2E_MENU_PID" "the menu after $what"
        [ -f "$ini" ] || e2e_fail "$what: no suite INI file at the drive's root $ini"
        cp950_file "${fixture[$after]}" "$E2E_ROOT/expected.ini"
        if ! cmp -s "$E2E_ROOT/expected.ini" "$ini"; then
            e2e_log "expected bytes:"
            od -An -tx1 "$E2E_ROOT/expected.ini" >&2
            e2e_log "written bytes:"
            od -An -tx1 "$ini" >&2
            e2e_fail "$what: the suite INI file differs from the expected one (above)"
        fi
        # The menu still answers, and leaves as usual.
        e2e_key "$window" ctrl+q
        e2e_wait_record GARVO.exe >/dev/null
        e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after Ctrl+Q"
        e2e_wait_programs_done
        e2e_expect_eq "$what: programs started" "PREPARE.exe GARVO.exe" \
            "$(cut -f 1 "$E2E_RECORD" | paste -sd ' ')"
    fi
    e2e_stop_menu
    # No temporary file of the writer is left at the drive's root.
    leftovers=$(find "$E2E_DRIVE" -mindepth 1 -maxdepth 1 ! -name suite ! -name kelpan.INI)
    [ -z "$leftovers" ] || e2e_fail "$what: files left at the drive's root: $leftovers"
    e2e_pass "$what"
done
