#!/usr/bin/env bash
# A settings store the menu cannot use. A store that cannot be read at all, or that is not the
# user's own (reached through a link, or a store or folder of another user), stops the menu
# before its window opens: a message box (and nothing else) appears, the menu ends with a
# failure status once it is acknowledged, and the store's folder is left exactly as it was, byte
# for byte. A store that can be read but not written still opens the menu with the user's login;
# a hand-off then says that its keys cannot be recorded and starts nothing. The write-protected
# store is run as the user "nobody", since file permissions do not bind root.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=tests/e2e/bad_input_lib.sh
source "$(dirname "$0")/bad_input_lib.sh"

e2e_setup
e2e_start_xvfb
e2e_install_standins GARVO.exe E2.exe GD.exe QMG.exe

STORE_DIR=$XDG_CONFIG_HOME/tevo
STORE=$STORE_DIR/settings.db

# A real store with the login and some values, to be damaged by the rows below.
e2e_seed_login 1
for i in $(seq 1 200); do e2e_set "key$i" "value $i 保養廠"; done
cp "$STORE" "$E2E_ROOT/good.db"

# ---- stores that cannot be read -------------------------------------------------------------

# Each function puts one kind of damaged store in place of settings.db.
damage_random_bytes() { head -c 16384 /dev/urandom >"$STORE"; }
damage_pages()
{
    # The header is intact; every page behind the first is overwritten.
    cp "$E2E_ROOT/good.db" "$STORE"
    "$E2E_PYTHON" -c '
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
for i in range(4096, len(data)):
    data[i] = (i * 37) & 0xFF
open(path, "wb").write(bytes(data))' "$STORE"
}
damage_cut_short() { head -c 5000 "$E2E_ROOT/good.db" >"$STORE"; }
damage_text_file() { printf '[kelpan]\r\nmx=/權限/\r\n' >"$STORE"; }
damage_foreign_database()
{
    "$E2E_PYTHON" -c '
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("CREATE TABLE orders(id INTEGER PRIMARY KEY, total TEXT)")
db.execute("INSERT INTO orders(total) VALUES (?)", ("100",))
db.commit()
db.close()' "$STORE"
}
damage_folder() { mkdir "$STORE" && echo "keep me" >"$STORE/note.txt"; }
damage_fifo() { mkfifo "$STORE"; }
# A good store, but not the user's own: reached through a link, or belonging to another user.
damage_linked_folder()
{
    rm -rf "$E2E_ROOT/elsewhere" && mkdir -m 700 "$E2E_ROOT/elsewhere"
    cp "$E2E_ROOT/good.db" "$E2E_ROOT/elsewhere/settings.db"
    rmdir "$STORE_DIR" && ln -s "$E2E_ROOT/elsewhere" "$STORE_DIR"
}
damage_foreign_folder() { cp "$E2E_ROOT/good.db" "$STORE" && chown -R nobody:nogroup "$STORE_DIR"; }
damage_foreign_store() { cp "$E2E_ROOT/good.db" "$STORE" && chown nobody:nogroup "$STORE"; }

#   what the store is | function that makes it | what the message says besides the folder
damaged=(
    "random bytes|damage_random_bytes|"
    "a store with damaged pages|damage_pages|"
    "a store cut short|damage_cut_short|"
    "a text file|damage_text_file|"
    "another program's database|damage_foreign_database|"
    "a folder|damage_folder|"
    "a named pipe|damage_fifo|"
    "a folder that is a link|damage_linked_folder|符號連結"
)
# Only root can give a folder to another user.
if [ "$(id -u)" -eq 0 ]; then
    damaged+=(
        "a folder of another user|damage_foreign_folder|屬於另一位使用者（nobody）"
        "a store of another user|damage_foreign_store|屬於另一位使用者（nobody）"
    )
fi
for row in "${damaged[@]}"; do
    IFS='|' read -r what make says <<<"$row"
    rm -rf "$STORE_DIR" && mkdir -m 700 "$STORE_DIR"
    "$make"
    before=$(bi_fingerprint "$STORE_DIR")
    records=$(wc -l <"$E2E_RECORD")

    bi_start_menu
    message=$(bi_wait_message_only)
    shown=$(bi_elapsed_ms)
    e2e_expect_alive "$E2E_MENU_PID" "the menu while it reports $what"
    e2e_key "$message" Return
    bi_menu_exit_status
    status=$BI_EXIT_STATUS
    [ "$status" -ne 0 ] || e2e_fail "the menu ended with status 0 after reporting $what"
    e2e_wait_programs_done
    # The message (tevo-settings shows the menu's own) names the folder and says what it found.
    rc=0
    said=$("$E2E_SETTINGS" list 2>&1 >/dev/null) || rc=$?
    e2e_expect_eq "exit status of tevo-settings list with $what" 2 "$rc"
    [[ $said == *"「$STORE_DIR"* && $said == *"$says"* ]] ||
        e2e_fail "the message about $what does not name $STORE_DIR${says:+ or say $says}: $said"

    e2e_expect_eq "the store's folder after the menu met $what" "$before" \
        "$(bi_fingerprint "$STORE_DIR")"
    e2e_expect_eq "programs started with $what as store" "$records" "$(wc -l <"$E2E_RECORD")"
    e2e_log "$what: message after $shown ms, exit status $status"
done
rm -rf "$STORE_DIR" && mkdir -m 700 "$STORE_DIR"
e2e_pass "stores that cannot be read or are not the user's own are reported, left as they were, and the menu ends"

# ---- a store that can be read but not written ------------------------------------------------

# Level 2 with a profile that forbids "工單作業": F1 does nothing when the login was read.
cp "$E2E_ROOT/good.db" "$STORE"
e2e_write_profile <<'EOF'
[第二級]
工單作業=NO
EOF
e2e_seed_login 2 /權限/
e2e_set AT "earlier AT"
e2e_set YXQ B

# Permissions do not bind root: as root, the menu and the tools run as "nobody", who then owns
# the test's store, working folder and record file. Any other user runs them as itself. The
# store's folder or the store itself is made read-only below.
NOBODY=()
mkdir -p "$E2E_ROOT/home"
export HOME=$E2E_ROOT/home
if [ "$(id -u)" -eq 0 ]; then
    NOBODY=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chmod 755 "$E2E_ROOT" "$E2E_ROOT/logs"
    chown nobody:nogroup "$E2E_ROOT/home" "$E2E_ROOT/runtime" "$E2E_RECORD"
    chown -R nobody:nogroup "$E2E_WORK" "$XDG_CONFIG_HOME"
    "${NOBODY[@]}" test -x "$E2E_MENU" || e2e_fail "nobody cannot run $E2E_MENU"
fi

#   what is write-protected | permissions of the folder | permissions of the store
readonly_rows=(
    "the store's folder|500|600"
    "the store file|700|400"
)
for row in "${readonly_rows[@]}"; do
    IFS='|' read -r what folder_mode file_mode <<<"$row"
    chmod "$folder_mode" "$STORE_DIR"
    chmod "$file_mode" "$STORE"
    before=$(bi_fingerprint "$STORE_DIR")
    values=$("${NOBODY[@]}" "$E2E_SETTINGS" list)
    records=$(wc -l <"$E2E_RECORD")

    bi_start_menu "${NOBODY[@]}"
    window=$(e2e_wait_menu_window)
    e2e_expect_eq "kind of the menu's first window with a read-only store" \
        _NET_WM_WINDOW_TYPE_NORMAL "$(bi_window_type "$window")"
    # F1 is greyed by the profile that the login names; F2 tries a hand-off whose keys cannot
    # be written: a message, and nothing is started.
    e2e_key "$window" F1 F2
    message=$(e2e_wait_other_window "$E2E_MENU_PID" "$window")
    e2e_expect_eq "kind of the window after F2" _NET_WM_WINDOW_TYPE_DIALOG \
        "$(bi_window_type "$message")"
    e2e_expect_eq "programs started by F1 and a hand-off that cannot be recorded" "$records" \
        "$(wc -l <"$E2E_RECORD")"
    e2e_key "$message" Return
    e2e_wait_window_gone "$message"
    e2e_expect_alive "$E2E_MENU_PID" "the menu after the message about the read-only store"
    # The menu still works: a side launch needs no key and starts.
    starts=$(($(e2e_record_count QMG.exe) + 1))
    e2e_key "$window" F11
    line=$(e2e_wait_record QMG.exe "$E2E_TIMEOUT" "$starts")
    e2e_expect_eq "\"AT\" read by QMG.exe" "earlier AT" "$(e2e_field "$line" 2)"
    e2e_stop_menu
    e2e_wait_programs_done

    e2e_expect_eq "starts of E2.exe and GD.exe" 0 \
        $(($(e2e_record_count E2.exe) + $(e2e_record_count GD.exe)))
    e2e_expect_eq "values in the store after the menu ran with $what read-only" "$values" \
        "$("${NOBODY[@]}" "$E2E_SETTINGS" list)"
    e2e_expect_eq "the store's folder after the menu ran with $what read-only" "$before" \
        "$(bi_fingerprint "$STORE_DIR")"
    chmod 700 "$STORE_DIR"
    chmod 600 "$STORE"
    e2e_pass "with $what read-only the menu opens with the login and a hand-off starts nothing"
done

# Once the permissions are mended the same store takes hand-offs again: reading it while it was
# write-protected left nothing behind that keeps it read-only.
records=$(wc -l <"$E2E_RECORD")
bi_start_menu "${NOBODY[@]}"
window=$(e2e_wait_menu_window)
e2e_key "$window" F2
line=$(e2e_wait_record GD.exe)
e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after F2"
e2e_wait_programs_done
e2e_expect_eq "\"AT\" read by GD.exe" "結帳登記" "$(e2e_field "$line" 2)"
e2e_expect_eq "programs started by F2" 1 $(($(wc -l <"$E2E_RECORD") - records))
e2e_pass "with its permissions mended the store takes a hand-off again"
