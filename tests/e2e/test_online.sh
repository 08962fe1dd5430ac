#!/usr/bin/env bash
# The online services against a real HTTP server on 127.0.0.1: the update command ("程式更新")
# with a newer and with the same version, the web shortcut "百寶箱" with complete and incomplete
# company data, and both with the server gone. The browser is a recording "xdg-open" first on
# PATH. The host names come from the suite INI file at the root of the drive, so the test runs
# on a drive of its own in a private mount namespace.
#
# Message texts cannot be read through X; which message a case shows is told by what follows
# it: a download opened and the menu ended, or the menu going on with nothing opened.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_enter_private_mounts "$@"
e2e_setup
e2e_use_own_drive
e2e_start_xvfb
e2e_install_standins QMG.exe CO.exe GARVO.exe
e2e_install_recording_opener
e2e_seed_login 1

replies=$E2E_ROOT/replies.json
echo '{}' >"$replies"
e2e_start_http --map "$replies"
host=127.0.0.1:$E2E_HTTP_PORT
printf '[Online]\r\nServiceHost=%s\r\nDownloadHost=%s\r\n' "$host" "$host" >"$E2E_DRIVE/kelpan.INI"

version_h=$TEVO_BUILD_DIR/src/generated/Version.h
running=$(sed -nE 's/.*k(Major|Minor|Revision) = ([0-9]+);.*/\2/p' "$version_h" | paste -sd .)
[[ $running =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || e2e_fail "cannot read the running version from $version_h"

version_target='/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7'
# The notice path as it travels: its Chinese characters percent-encoded as UTF-8.
notice_target='/%E5%BB%A3%E5%91%8A%E8%B3%87%E6%96%99/WE_OUT.ASP?VWX1='

# Replies of the server: the version reply and the notice reply (for any customer code).
set_replies()
{
    "$E2E_PYTHON" - "$replies" "$1" "$2" <<'EOF'
import json, sys
path, version, notice = sys.argv[1:]
with open(path + ".tmp", "w", encoding="utf-8") as f:
    json.dump({"/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7": {"body": version},
               "/廣告資料/WE_OUT.ASP": {"body": notice}}, f, ensure_ascii=False)
import os
os.replace(path + ".tmp", path)
EOF
}

eeyx_get() { e2e_settings get EEYX "$1" --section "$E2E_WORK"; }

# The requests the server saw since the last reset, targets separated by blanks. The server
# opens its log afresh for every request, so emptying it is safe.
reset_requests() { : >"$E2E_ROOT/http.log"; }
requests() { cut -f 2 "$E2E_ROOT/http.log" | paste -sd ' '; }

opened_lines() { wc -l <"$E2E_ROOT/opened.tsv"; }

# "程式更新" is the last entry of the menu opened by Alt+J, one Up from its first entry;
# "百寶箱" is the second entry of the menu opened by Alt+A.
choose_update() { e2e_key "$1" alt+j && e2e_key "$1" Up Return; }
choose_toolbox() { e2e_key "$1" alt+a && e2e_key "$1" Down Return; }

# Acknowledges the message the menu shows now.
acknowledge_message()
{
    local message
    message=$(e2e_wait_other_window "$E2E_MENU_PID" "$1")
    e2e_key "$message" Return
    e2e_wait_window_gone "$message"
}

# ---- the update command --------------------------------------------------------------------

# A newer version: the value after the tag is stored as received, the notice too (blanks after
# its tag kept, the reply's own blanks trimmed, a tab and a line break inside kept); the user is
# told to restart, then the download address goes to the browser and the menu ends without
# starting anything.
notice=$' 本週六\t系統維護\nkelpan\t/srv\tAAA\t1'
set_replies "  VW11: 2099.1.1" "  通告:$notice  "
reset_requests
e2e_start_menu
window=$(e2e_wait_menu_window)
choose_update "$window"
message=$(e2e_wait_other_window "$E2E_MENU_PID" "$window")
e2e_expect_eq "addresses opened before the message was acknowledged" 0 "$(opened_lines)"
e2e_key "$message" Return
e2e_wait_until "$E2E_TIMEOUT" "the download address was not opened" test -s "$E2E_ROOT/opened.tsv"
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after handing the download to the browser"
e2e_wait_programs_done
e2e_expect_eq "browser call (argument count, address)" \
    "1	http://$host/TEVO_WEB/UP_EXE/1/GARVO_WIN7.EXE" "$(cat "$E2E_ROOT/opened.tsv")"
e2e_expect_eq "\"GR\" after a newer version" " 2099.1.1" "$(eeyx_get GR)"
e2e_expect_eq "\"WE\" after the notice reply" "$notice" "$(eeyx_get WE)"
# Listed, the notice is one line: its tab and line break cannot pass for another value.
listed=$(e2e_settings list EEYX "$E2E_WORK")
e2e_expect_eq "the notice in tevo-settings list" \
    "EEYX	$E2E_WORK	WE	 本週六\t系統維護\nkelpan\t/srv\tAAA\t1" "$(grep '	WE	' <<<"$listed")"
e2e_expect_eq "lines of tevo-settings list EEYX that are no EEYX value" "" \
    "$(grep -v "^EEYX	$E2E_WORK	" <<<"$listed" || true)"
e2e_expect_eq "requests of the update command" "$version_target $notice_target" \
    "$(requests)"
e2e_expect_eq "programs started by the update" 0 "$(wc -l <"$E2E_RECORD")"
e2e_pass "a newer version stores \"GR\" and \"WE\", opens the download and ends the menu"

# The same version: "目前已是最新版本無需更新", nothing opened, the menu stays and goes on. A reply
# of the tag alone stores an empty notice.
set_replies "VW11:$running" "通告:"
: >"$E2E_ROOT/opened.tsv"
reset_requests
e2e_start_menu
window=$(e2e_wait_menu_window)
choose_update "$window"
acknowledge_message "$window"
e2e_key "$window" F11
e2e_wait_record QMG.exe >/dev/null
e2e_expect_alive "$E2E_MENU_PID" "the menu after the update found the same version"
e2e_expect_eq "\"GR\" after the same version" "$running" "$(eeyx_get GR)"
e2e_expect_eq "\"WE\" after a notice reply of the tag alone" "" "$(eeyx_get WE)"
e2e_expect_eq "requests of the update command" "$version_target $notice_target" \
    "$(requests)"
e2e_expect_eq "addresses opened for the same version" 0 "$(opened_lines)"
e2e_stop_menu
e2e_pass "the same version ($running) opens nothing and keeps the menu open"

# ---- the web shortcut "百寶箱" ----------------------------------------------------------------

# Complete company data: the refresh runs with the customer code's first character, and the
# page opens at the exact address, values trimmed and never escaped, the system number being
# the digits of the drive's signed 32-bit serial (the low half of its filesystem id here).
e2e_set 公司名稱 "許記汽車"
e2e_set 地址 "台北市中山路 1 號"
e2e_set 聯絡人 "許先生"
e2e_set 電話 "02-2345-6789"
e2e_set YHYC "  K7 042 "
system_number=$("$E2E_PYTHON" -c '
import os, sys
v = os.statvfs(sys.argv[1]).f_fsid & 0xFFFFFFFF
print(abs(v - (1 << 32) if v >= 1 << 31 else v))' "$E2E_WORK")
set_replies "VW11:$running" "通告:歡迎使用"
: >"$E2E_ROOT/opened.tsv"
reset_requests
: >"$E2E_RECORD"
e2e_start_menu
window=$(e2e_wait_menu_window)
choose_toolbox "$window"
e2e_wait_until "$E2E_TIMEOUT" "百寶箱 opened no address" test -s "$E2E_ROOT/opened.tsv"
e2e_expect_eq "browser call of 百寶箱 (argument count, address)" \
    "1	http://$host/11v/index.ASP?RVG2C=1VWX1=R&YHY=K7 042&DC2A=$system_number" \
    "$(cat "$E2E_ROOT/opened.tsv")"
e2e_expect_eq "requests of 百寶箱" "$version_target ${notice_target}K" \
    "$(requests)"
e2e_expect_eq "\"WE\" after 百寶箱" "歡迎使用" "$(eeyx_get WE)"
e2e_key "$window" F11
e2e_wait_record QMG.exe >/dev/null
e2e_expect_alive "$E2E_MENU_PID" "the menu after 百寶箱"
e2e_expect_eq "programs started by 百寶箱 (then F11)" QMG.exe "$(cut -f 1 "$E2E_RECORD" | paste -sd ' ')"
e2e_stop_menu
e2e_pass "百寶箱 opens its exact address (system number $system_number)"

# A contact person of blanks only: the user is told, the company-data program starts with its
# entry in the suite INI file, and nothing goes to the network or the browser.
e2e_set 聯絡人 "   "
: >"$E2E_ROOT/opened.tsv"
reset_requests
: >"$E2E_RECORD"
e2e_start_menu
window=$(e2e_wait_menu_window)
choose_toolbox "$window"
acknowledge_message "$window"
e2e_wait_record CO.exe >/dev/null
e2e_expect_alive "$E2E_MENU_PID" "the menu after the incomplete-data message"
e2e_expect_eq "requests with incomplete company data" "" "$(requests)"
e2e_expect_eq "addresses opened with incomplete company data" 0 "$(opened_lines)"
got=$(iconv -f CP950 -t UTF-8 "$E2E_DRIVE/kelpan.INI" | tr -d '\r' | paste -sd ' ')
e2e_expect_eq "suite INI file after the company-data launch" \
    "[Online] ServiceHost=$host DownloadHost=$host [公司] 目錄位置=GARVO" "$got"
e2e_stop_menu
e2e_set 聯絡人 "許先生"
e2e_pass "incomplete company data starts CO.exe and opens nothing"

# ---- the server gone -----------------------------------------------------------------------

# "網路無法連線" for 百寶箱, and the transfer error for the update command; nothing opened, nothing
# stored, the menu stays.
e2e_end_process "$E2E_HTTP_PID"
wait "$E2E_HTTP_PID" 2>/dev/null || true
e2e_settings set EEYX GR "before" --section "$E2E_WORK"
: >"$E2E_ROOT/opened.tsv"
reset_requests
: >"$E2E_RECORD"
e2e_start_menu
window=$(e2e_wait_menu_window)
for command in choose_toolbox choose_update; do
    "$command" "$window"
    acknowledge_message "$window"
    e2e_expect_alive "$E2E_MENU_PID" "the menu after $command with the server gone"
done
e2e_key "$window" F11
e2e_wait_record QMG.exe >/dev/null
e2e_expect_eq "addresses opened with the server gone" 0 "$(opened_lines)"
e2e_expect_eq "\"GR\" with the server gone" before "$(eeyx_get GR)"
e2e_expect_eq "programs started with the server gone (then F11)" QMG.exe \
    "$(cut -f 1 "$E2E_RECORD" | paste -sd ' ')"
e2e_stop_menu
e2e_pass "with the server gone nothing is opened and the menu stays"
