# shellcheck shell=bash
# Helpers of the end-to-end tests of damaged, odd and hostile input (tests/e2e/test_bad_input*.sh),
# sourced after lib.sh. They add what those tests need beyond lib.sh: starting the menu as
# another user, the menu's exit status, the kind of a window, fingerprints of files and
# folders, and timing against a baseline measured in the same run.

# Starts tevo-menu in the working folder, in the background, like e2e_start_menu; any arguments
# are a command that runs the menu (for example setpriv to run it as another user), started
# without a shell in between.
#   bi_start_menu [WRAPPER...]
bi_start_menu()
{
    E2E_MENU_STARTS=$((E2E_MENU_STARTS + 1))
    E2E_MENU_LOG=$E2E_ROOT/logs/menu.$E2E_MENU_STARTS.log
    BI_STARTED_MS=$(e2e_now_ms)
    (cd "$E2E_WORK" && exec "$@" "$E2E_MENU") >"$E2E_MENU_LOG" 2>&1 &
    E2E_MENU_PID=$!
    E2E_PIDS+=("$E2E_MENU_PID")
}

# Waits until the menu has ended and sets BI_EXIT_STATUS to its exit status; fails on a crash.
# Runs in the shell that started the menu: only that shell can collect the menu's status (in a
# command substitution `wait` may find the menu already collected and report no status).
#   bi_menu_exit_status [TIMEOUT]
bi_menu_exit_status()
{
    BI_EXIT_STATUS=0
    e2e_wait_until "${1:-$E2E_TIMEOUT}" "the menu did not end" e2e__ended "$E2E_MENU_PID"
    wait "$E2E_MENU_PID" 2>/dev/null || BI_EXIT_STATUS=$?
    [ "$BI_EXIT_STATUS" -lt 128 ] || e2e_fail "the menu ended by signal $((BI_EXIT_STATUS - 128)) (a crash)"
}

# The window type a window announces (_NET_WM_WINDOW_TYPE_DIALOG for a message box,
# _NET_WM_WINDOW_TYPE_NORMAL for the main window).
bi_window_type()
{
    xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | sed -n 's/.*= *\([A-Z_]*\).*/\1/p'
}

# Waits for the first visible window of the menu and checks that it is a message box, the only
# window of the menu: the main window must not open. Prints its id.
bi_wait_message_only()
{
    local window count
    window=$(e2e_wait_window "$E2E_MENU_PID" 'Tevo 保養廠管理系統')
    e2e_expect_eq "kind of the menu's first window" _NET_WM_WINDOW_TYPE_DIALOG \
        "$(bi_window_type "$window")"
    count=$(e2e_windows_of "$E2E_MENU_PID" '.' | wc -l)
    e2e_expect_eq "windows of the menu while it reports the store" 1 "$count"
    echo "$window"
}

# One line per entry of a folder, recursively: path, type, size, mode, owner and the SHA-256
# of each file's bytes. Two equal fingerprints mean nothing was added, removed or changed.
bi_fingerprint()
{
    (
        cd "$1" || exit 1
        find . -printf '%p %y %s %m %u\n' | LC_ALL=C sort
        find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum
    )
}

# Milliseconds from the menu's start (bi_start_menu) to now.
bi_elapsed_ms() { echo $(($(e2e_now_ms) - BI_STARTED_MS)); }

# Fails when a figure exceeds its limit.
#   bi_expect_at_most WHAT LIMIT_MS ACTUAL_MS
bi_expect_at_most()
{
    [ "$3" -le "$2" ] || e2e_fail "$1 took $3 ms, more than $2 ms"
}

# Writes one value straight into the store with SQLite, for values too long for a command
# line (the kernel limits one argument to 128 KiB). The value is read from standard input.
# The row layout is the store's own: names folded for comparison, first spelling kept.
#   bi_store_put APP SECTION KEY < VALUE
bi_store_put()
{
    local script='
import sqlite3, sys
path, app, section, key = sys.argv[1:5]
value = sys.stdin.buffer.read().decode("utf-8")
db = sqlite3.connect(path)
with db:
    db.execute("INSERT INTO settings VALUES (?1, ?2, ?3, ?4, ?5, ?6)"
               " ON CONFLICT (app_folded, section, key_folded)"
               " DO UPDATE SET value = excluded.value",
               (app.casefold(), section, key.casefold(), app, key, value))
db.close()
'
    "$E2E_PYTHON" -c "$script" "$XDG_CONFIG_HOME/tevo/settings.db" "$1" "$2" "$3" ||
        e2e_fail "cannot write $1/$3 into the store with SQLite"
}

# A screenshot of one window as an 8-bit binary PPM, for window_regions.py.
#   bi_screenshot WINDOW FILE
bi_screenshot()
{
    import -window "$1" -depth 8 "ppm:$2" || e2e_fail "cannot take a screenshot of window $1"
}
