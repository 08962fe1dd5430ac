#!/usr/bin/env bash
# The window while a request of the vendor's server waits. A server on 127.0.0.1 that takes the
# connection and never answers: during the update command's wait a part of the window that was
# covered and uncovered is painted again, a key pressed meanwhile is not handled, and the
# transfer error comes after the time-out. A server that answers after 2 s: a key pressed during
# the wait of "百寶箱" is handled after it. The time-out is shortened to 5 s through the menu's
# test hook TEVO_TEST_REQUEST_TIMEOUT_MS.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

e2e_enter_private_mounts "$@"
e2e_setup
e2e_use_own_drive
e2e_start_xvfb
e2e_install_standins QMG.exe GARVO.exe
e2e_install_recording_opener
e2e_seed_login 1
export TEVO_TEST_REQUEST_TIMEOUT_MS=5000

# Points the suite INI file at the server just started.
use_server() { printf '[Online]\r\nServiceHost=127.0.0.1:%s\r\n' "$E2E_HTTP_PORT" >"$E2E_DRIVE/kelpan.INI"; }
requests() { cut -f 2 "$E2E_ROOT/http.log" | paste -sd ' '; }

e2e_start_http --never-answer
use_server
e2e_start_menu
window=$(e2e_wait_menu_window)
eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y, WIDTH, HEIGHT
started=$(e2e_now_ms)
e2e_key "$window" alt+j && e2e_key "$window" Up Return # 程式更新
e2e_wait_until "$E2E_TIMEOUT" "the update command sent no request" test -s "$E2E_ROOT/http.log"
# A part of the background picture, away from every control.
delay=$("$E2E_PYTHON" "$E2E_DIR/xcover.py" $((X + 450)) $((Y + 250)) 200 150) ||
    e2e_fail "the part of the window uncovered during the wait was not painted again"
e2e_key "$window" F11 # 片語設定, QMG.exe
message=$(e2e_wait_other_window "$E2E_MENU_PID" "$window")
waited=$(($(e2e_now_ms) - started))
[ "$waited" -ge 5000 ] || e2e_fail "the message came after $waited ms, within the 5 s time-out"
e2e_expect_eq "programs started during the wait" 0 "$(wc -l <"$E2E_RECORD")"
e2e_expect_eq "requests of the update command" "/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7" \
    "$(requests)"
e2e_key "$message" Return
e2e_wait_window_gone "$message"
e2e_expect_alive "$E2E_MENU_PID" "the menu after the time-out"
e2e_stop_menu
e2e_pass "painted again ${delay} ms after it was uncovered during the wait; the message after ${waited} ms"

e2e_end_process "$E2E_HTTP_PID"
for key in 公司名稱 地址 聯絡人 電話; do e2e_set "$key" x; done
cat >"$E2E_ROOT/replies.json" <<'JSON'
{"/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7": {"body": "VW11:1", "delay": 2},
 "/廣告資料/WE_OUT.ASP": {"body": "通告:", "delay": 2}}
JSON
: >"$E2E_ROOT/http.log"
e2e_start_http --map "$E2E_ROOT/replies.json"
use_server
e2e_start_menu
window=$(e2e_wait_menu_window)
e2e_key "$window" alt+a && e2e_key "$window" Down Return # 百寶箱
e2e_wait_until "$E2E_TIMEOUT" "百寶箱 sent no request" test -s "$E2E_ROOT/http.log"
pressed=$(e2e_now_ms)
e2e_key "$window" F11
line=$(e2e_wait_record QMG.exe)
handled=$(($(e2e_field "$line" 7) - pressed))
[ "$handled" -ge 3000 ] || e2e_fail "F11 was handled $handled ms after it was pressed, during the wait"
e2e_expect_eq "addresses opened by 百寶箱" 1 "$(wc -l <"$E2E_ROOT/opened.tsv")"
e2e_expect_eq "requests of 百寶箱" 2 "$(wc -l <"$E2E_ROOT/http.log")"
e2e_stop_menu
e2e_pass "F11 pressed during the wait was handled after it (${handled} ms)"
