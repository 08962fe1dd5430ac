# Shared helpers of the end-to-end tests: sourced by tests/e2e/test_*.sh.
#
# A test runs the real binaries on a private Xvfb display, with a private settings store
# (XDG_CONFIG_HOME) and a private working folder that holds recording stand-ins: links to the
# demo's stand-in program under the names the menu starts. With TEVO_STANDIN_RECORD set, each
# stand-in appends one line to the record file and exits:
#
#   name <TAB> AT <TAB> YXQ <TAB> ATU <TAB> working directory <TAB> argument count <TAB> start ms
#
# where a key that was never written reads "(missing)" (the empty text stays empty), tabs and
# line breaks in values read \t and \n, and the last field is the moment the stand-in started
# (milliseconds since the epoch).
#
# Every wait polls with a time-out and fails with a message that says what did not happen.
# Everything a test starts is ended by the exit trap, and the temporary folder is removed
# (kept with E2E_KEEP=1). On failure the menu's output, the record file, the store and a
# screenshot (build/Testing/e2e/NAME-failure.png) are kept for the reader.
#
# Environment: TEVO_BUILD_DIR (the build folder) and TEVO_SOURCE_DIR, set by CTest; both
# default to the folders around this script.

set -euo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8

E2E_NAME=$(basename "$0" .sh)
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TEVO_SOURCE_DIR=${TEVO_SOURCE_DIR:-$(cd "$E2E_DIR/../.." && pwd)}
TEVO_BUILD_DIR=${TEVO_BUILD_DIR:-$TEVO_SOURCE_DIR/build}

E2E_MENU=$TEVO_BUILD_DIR/src/tevo-menu
E2E_SETTINGS=$TEVO_BUILD_DIR/src/tevo-settings
E2E_PROFILE_TOOL=$TEVO_BUILD_DIR/src/tevo-profile
E2E_STANDIN=${TEVO_STANDIN:-$TEVO_BUILD_DIR/demo/bin/tevo-standin}
E2E_PYTHON=$(command -v /usr/bin/python3 || command -v python3 || true)

# Seconds a wait gives by default; slow machines may raise it.
E2E_TIMEOUT=${E2E_TIMEOUT:-15}

E2E_ROOT=
E2E_WORK=
E2E_RECORD=
E2E_XVFB_PID=
E2E_MENU_PID=
E2E_MENU_LOG=
E2E_HTTP_PID=
E2E_HTTP_PORT=
E2E_DRIVE=
E2E_PIDS=()
E2E_MENU_STARTS=0

e2e_log() { echo "[$E2E_NAME] $*" >&2; }

# Ends the test with a message. In a command substitution it ends the substitution, whose
# failure then ends the test through `set -e`.
e2e_fail()
{
    echo "FAIL [$E2E_NAME]: $*" >&2
    exit 1
}

e2e_pass() { echo "ok   [$E2E_NAME] $*" >&2; }

# ---- set-up and clean-up -------------------------------------------------------------------

# Checks the binaries, makes the temporary folders and installs the exit trap. Call first.
e2e_setup()
{
    local f
    for f in "$E2E_MENU" "$E2E_SETTINGS" "$E2E_STANDIN"; do
        [ -x "$f" ] || e2e_fail "$f is missing; build the project first (cmake --build $TEVO_BUILD_DIR)"
    done
    [ -n "$E2E_PYTHON" ] || e2e_fail "python3 is missing (Debian package python3)"
    for f in Xvfb xdotool xdpyinfo; do
        command -v "$f" >/dev/null || e2e_fail "$f is missing (scripts/setup.sh installs it)"
    done

    E2E_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/tevo-e2e-$E2E_NAME.XXXXXX")
    E2E_ROOT=$(cd "$E2E_ROOT" && pwd -P)
    trap e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    mkdir -p "$E2E_ROOT/work" "$E2E_ROOT/config" "$E2E_ROOT/runtime" "$E2E_ROOT/logs"
    chmod 700 "$E2E_ROOT/runtime"
    # The section of the menu's keys is its working directory as getcwd() reports it.
    E2E_WORK=$(cd "$E2E_ROOT/work" && pwd -P)
    E2E_RECORD=$E2E_ROOT/record.tsv
    : >"$E2E_RECORD"
    export XDG_CONFIG_HOME=$E2E_ROOT/config
    export XDG_RUNTIME_DIR=$E2E_ROOT/runtime
    export TEVO_STANDIN_RECORD=$E2E_RECORD
    # The stand-ins read the keys with this build's store tool.
    export TEVO_SETTINGS=$E2E_SETTINGS
    unset QT_QPA_PLATFORM
}

e2e_process_alive()
{
    local state
    [ -r "/proc/$1/stat" ] || return 1
    # The third field is the state; a zombie has ended but was not collected yet.
    state=$(sed -E 's/^[0-9]+ \(.*\) ([A-Za-z]).*/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# Ends a process: TERM, then KILL after two seconds.
e2e_end_process()
{
    local pid=$1
    e2e_process_alive "$pid" || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 20); do
        e2e_process_alive "$pid" || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

# Processes the test caused but did not start itself (programs the menu started detached)
# are found by their working directory inside the test's temporary folder.
e2e_end_leftovers()
{
    local link pid cwd
    for link in /proc/[0-9]*/cwd; do
        pid=${link#/proc/}
        pid=${pid%/cwd}
        [ "$pid" = $$ ] && continue
        cwd=$(readlink "$link" 2>/dev/null) || continue
        case $cwd in
        "$E2E_ROOT" | "$E2E_ROOT"/*) e2e_end_process "$pid" ;;
        esac
    done
}

e2e_diagnostics()
{
    local f shot
    echo "---- diagnostics of $E2E_NAME ($E2E_ROOT) ----" >&2
    for f in "$E2E_ROOT"/logs/*; do
        [ -s "$f" ] || continue
        echo "-- $(basename "$f"):" >&2
        tail -n 30 "$f" >&2
    done
    if [ -s "$E2E_RECORD" ]; then
        echo "-- programs started (record file):" >&2
        cat "$E2E_RECORD" >&2
    else
        echo "-- no program was started" >&2
    fi
    echo "-- settings store:" >&2
    "$E2E_SETTINGS" list 2>&1 | head -n 40 >&2 || true
    if [ -n "${DISPLAY:-}" ] && [ -n "$E2E_XVFB_PID" ] && command -v import >/dev/null; then
        mkdir -p "$TEVO_BUILD_DIR/Testing/e2e"
        shot=$TEVO_BUILD_DIR/Testing/e2e/$E2E_NAME-failure.png
        if import -window root "$shot" 2>/dev/null; then
            echo "-- screenshot: $shot" >&2
        fi
    fi
}

e2e_cleanup()
{
    local status=$? pid
    trap - EXIT
    set +e
    [ -n "$E2E_ROOT" ] || exit "$status"
    [ "$status" -eq 0 ] || e2e_diagnostics
    for pid in "${E2E_PIDS[@]}"; do
        e2e_end_process "$pid"
    done
    e2e_end_leftovers
    [ -z "$E2E_XVFB_PID" ] || e2e_end_process "$E2E_XVFB_PID"
    wait 2>/dev/null
    [ -z "$E2E_DRIVE" ] || umount -l "$E2E_DRIVE" 2>/dev/null
    if [ "${E2E_KEEP:-0}" = 1 ]; then
        echo "[$E2E_NAME] kept $E2E_ROOT" >&2
    else
        rm -rf "$E2E_ROOT"
    fi
    exit "$status"
}

# Polls a command every 0.1 s until it succeeds; fails with DESCRIPTION after TIMEOUT seconds.
#   e2e_wait_until TIMEOUT DESCRIPTION COMMAND [ARG...]
e2e_wait_until()
{
    local timeout=$1 what=$2
    shift 2
    local deadline=$((SECONDS + timeout))
    while ! "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "$what (waited ${timeout} s)"
        sleep 0.1
    done
}

# Milliseconds since the epoch, for the figures a test reports.
e2e_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# ---- X display -----------------------------------------------------------------------------

# Starts Xvfb on the first free display from :91 to :120 and exports DISPLAY.
e2e_start_xvfb()
{
    local n pid i
    for n in $(seq 91 120); do
        [ -e "/tmp/.X$n-lock" ] && continue
        [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -nolisten tcp -screen 0 1280x1024x24 -noreset >"$E2E_ROOT/logs/xvfb.log" 2>&1 &
        pid=$!
        # Another test may have taken the display in between: then this server ends at once.
        for i in $(seq 100); do
            e2e_process_alive "$pid" || break
            if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                E2E_XVFB_PID=$pid
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        e2e_end_process "$pid"
        wait "$pid" 2>/dev/null || true
    done
    e2e_fail "no free X display from :91 to :120 for Xvfb (see $E2E_ROOT/logs/xvfb.log)"
}

# ---- settings store ------------------------------------------------------------------------

# tevo-settings on the test's private store.
e2e_settings() { "$E2E_SETTINGS" "$@"; }

# Writes a key of application "kelpan" in the working folder's section.
e2e_set()
{
    local rc=0
    "$E2E_SETTINGS" set kelpan "$1" "$2" --section "$E2E_WORK" || rc=$?
    [ "$rc" -eq 0 ] || e2e_fail "tevo-settings set kelpan $1 failed (exit $rc)"
}

# Prints a key of application "kelpan" in the working folder's section; returns 1 when it is
# missing, fails the test when the store cannot be read.
e2e_get()
{
    local rc=0
    "$E2E_SETTINGS" get kelpan "$1" --section "$E2E_WORK" || rc=$?
    case $rc in
    0) return 0 ;;
    1) return 1 ;;
    *) e2e_fail "tevo-settings get kelpan $1 failed (exit $rc)" ;;
    esac
}

# The login context that the entry program leaves for the menu.
#   e2e_seed_login LEVEL [PROFILE_FOLDER_TEXT] [HOST_DIRECTORY]
# The profile folder text defaults to the empty text (no permission profile), the host
# directory to the working folder.
e2e_seed_login()
{
    e2e_set VA "測試員"
    e2e_set AAA "$1"
    e2e_set mx "${2:-}"
    e2e_set r5 "${3:-$E2E_WORK}"
}

# Writes a permission profile (UTF-8 text on standard input) in code page 950 with CR LF line
# ends to the file the menu looks for with the profile folder text "/權限/" and the working
# folder as host: WORK/權限/權限.INI.
e2e_write_profile()
{
    mkdir -p "$E2E_WORK/權限"
    sed 's/$/\r/' | iconv -f UTF-8 -t CP950 >"$E2E_WORK/權限/權限.INI" ||
        e2e_fail "cannot write the permission profile in code page 950"
}

# ---- stand-ins and the record file ---------------------------------------------------------

# Puts a recording stand-in into the working folder under each name.
e2e_install_standins()
{
    local name
    for name in "$@"; do
        ln -sf "$E2E_STANDIN" "$E2E_WORK/$name"
    done
}

# The record lines of one program, in the order of its starts.
e2e_records() { awk -F '\t' -v name="$1" '$1 == name' "$E2E_RECORD"; }

e2e_record_count() { e2e_records "$1" | wc -l; }

# Waits until PROGRAM has been started COUNT times (default 1) and prints its last line.
#   e2e_wait_record PROGRAM [TIMEOUT] [COUNT]
e2e_wait_record()
{
    local name=$1 timeout=${2:-$E2E_TIMEOUT} count=${3:-1}
    e2e_wait_until "$timeout" "$name was not started (${count} start(s) expected)" \
        e2e__has_records "$name" "$count"
    e2e_records "$name" | tail -n 1
}
e2e__has_records() { [ "$(e2e_record_count "$1")" -ge "$2" ]; }

# Field N (1 name, 2 AT, 3 YXQ, 4 ATU, 5 working directory, 6 argument count, 7 start ms) of a
# record line.
e2e_field() { printf '%s\n' "$1" | cut -f "$2"; }

# Fails unless ACTUAL equals EXPECTED; WHAT says which value was compared.
e2e_expect_eq()
{
    [ "$3" = "$2" ] || e2e_fail "$1: expected '$2', got '$3'"
}

# Checks one record line against the values a hand-off must leave.
#   e2e_expect_record LINE PROGRAM AT YXQ ATU
e2e_expect_record()
{
    local line=$1
    e2e_expect_eq "program started" "$2" "$(e2e_field "$line" 1)"
    e2e_expect_eq "\"AT\" read by $2" "$3" "$(e2e_field "$line" 2)"
    e2e_expect_eq "\"YXQ\" read by $2" "$4" "$(e2e_field "$line" 3)"
    e2e_expect_eq "\"ATU\" read by $2" "$5" "$(e2e_field "$line" 4)"
    e2e_expect_eq "working directory of $2" "$E2E_WORK" "$(e2e_field "$line" 5)"
    e2e_expect_eq "arguments given to $2 (argv[0] only)" 1 "$(e2e_field "$line" 6)"
}

# Waits until every program started in the test's folders, other than the menu itself, has
# finished, so that the record file is complete: a program started just before the menu ended
# may still be writing its line.
e2e_wait_programs_done()
{
    e2e_wait_until "${1:-$E2E_TIMEOUT}" "programs started in $E2E_WORK are still running" \
        e2e__no_programs_left
}
e2e__no_programs_left()
{
    local link cwd pid
    for link in /proc/[0-9]*/cwd; do
        pid=${link#/proc/}
        pid=${pid%/cwd}
        [ "$pid" != "$E2E_MENU_PID" ] || continue
        cwd=$(readlink "$link" 2>/dev/null) || continue
        case $cwd in
        "$E2E_ROOT" | "$E2E_ROOT"/*)
            # Zombies have no working directory any more; anything else is still running.
            return 1
            ;;
        esac
    done
    return 0
}

# ---- the menu ------------------------------------------------------------------------------

# Starts tevo-menu in the working folder, in the background; sets E2E_MENU_PID.
e2e_start_menu()
{
    E2E_MENU_STARTS=$((E2E_MENU_STARTS + 1))
    E2E_MENU_LOG=$E2E_ROOT/logs/menu.$E2E_MENU_STARTS.log
    (cd "$E2E_WORK" && exec "$E2E_MENU") >"$E2E_MENU_LOG" 2>&1 &
    E2E_MENU_PID=$!
    E2E_PIDS+=("$E2E_MENU_PID")
}

# The visible windows of a process whose title matches a regular expression, one id a line.
e2e_windows_of()
{
    local id
    # Both conditions must hold: xdotool matches any one of them unless told otherwise.
    for id in $(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null); do
        # xdotool lists the root window too; it has no title.
        [ -n "$(xdotool getwindowname "$id" 2>/dev/null)" ] && echo "$id"
    done
    return 0
}

# Waits for a visible window of PID whose title matches REGEX and prints its id.
#   e2e_wait_window PID REGEX [TIMEOUT]
e2e_wait_window()
{
    local pid=$1 regex=$2 timeout=${3:-$E2E_TIMEOUT} deadline id
    deadline=$((SECONDS + timeout))
    while :; do
        id=$(e2e_windows_of "$pid" "$regex" | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        e2e_process_alive "$pid" || e2e_fail "process $pid ended before showing a window titled /$regex/"
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "no window titled /$regex/ of process $pid (waited ${timeout} s)"
        sleep 0.1
    done
}

# Waits for the menu's main window and prints its id.
e2e_wait_menu_window() { e2e_wait_window "$E2E_MENU_PID" 'Tevo 保養廠管理系統' "${1:-$E2E_TIMEOUT}"; }

# Waits for a second window of PID (a message box), other than MAIN_WINDOW, and prints its id.
#   e2e_wait_other_window PID MAIN_WINDOW [TIMEOUT]
e2e_wait_other_window()
{
    local pid=$1 main=$2 timeout=${3:-$E2E_TIMEOUT} deadline id
    deadline=$((SECONDS + timeout))
    while :; do
        id=$(e2e_windows_of "$pid" '.' | grep -vx "$main" | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        e2e_process_alive "$pid" || e2e_fail "process $pid ended instead of showing a message"
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "process $pid showed no message window (waited ${timeout} s)"
        sleep 0.1
    done
}

# Whether a window still exists and is shown.
e2e_window_shown() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# Waits until a window is gone (destroyed or hidden).
#   e2e_wait_window_gone WINDOW [TIMEOUT]
e2e_wait_window_gone()
{
    e2e_wait_until "${2:-$E2E_TIMEOUT}" "window $1 is still shown" e2e__window_hidden "$1"
}
e2e__window_hidden() { ! e2e_window_shown "$1"; }

# Gives a window the keyboard focus and presses keys in it (xdotool key syntax: F1, ctrl+q,
# Return). Without a window manager a window only gets keys once it has the input focus, and
# Qt's shortcuts only answer in the active window, so the focus is set first and the keys are
# then typed through the XTEST extension like a real keyboard.
e2e_key()
{
    local window=$1
    shift
    timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null ||
        e2e_fail "cannot give window $window the keyboard focus"
    xdotool key --clearmodifiers --delay 40 "$@" || e2e_fail "xdotool could not press $*"
}

# Asks a window to close as the close box of a window manager does (WM_DELETE_WINDOW).
e2e_close_window()
{
    "$E2E_PYTHON" "$E2E_DIR/xclose.py" "$1" || e2e_fail "cannot ask window $1 to close"
}

# Waits until PID has ended and checks that it was not killed by a signal (a crash).
#   e2e_wait_exit PID [TIMEOUT] [WHAT]
e2e_wait_exit()
{
    local pid=$1 timeout=${2:-$E2E_TIMEOUT} what=${3:-process $1} rc=0
    e2e_wait_until "$timeout" "$what did not end" e2e__ended "$pid"
    # Our own child: collect its exit status. A process the test did not start has none here.
    if wait "$pid" 2>/dev/null; then rc=0; else rc=$?; fi
    [ "$rc" -lt 128 ] || [ "$rc" = 255 ] ||
        e2e_fail "$what ended by signal $((rc - 128)) (a crash, not an orderly end)"
}
e2e__ended() { ! e2e_process_alive "$1"; }

e2e_expect_alive()
{
    e2e_process_alive "$1" || e2e_fail "${2:-process $1} has ended but should still run"
}

# Ends the menu if it still runs (for clean-up between cases).
e2e_stop_menu()
{
    [ -n "$E2E_MENU_PID" ] || return 0
    e2e_end_process "$E2E_MENU_PID"
    wait "$E2E_MENU_PID" 2>/dev/null || true
}

# ---- helpers for the online services -------------------------------------------------------

# Starts tests/e2e/http_server.py with the given options (see its help) on 127.0.0.1 and sets
# E2E_HTTP_PORT; requests are logged to $E2E_ROOT/http.log.
e2e_start_http()
{
    local portfile=$E2E_ROOT/http.port
    rm -f "$portfile"
    "$E2E_PYTHON" "$E2E_DIR/http_server.py" --log "$E2E_ROOT/http.log" --port-file "$portfile" "$@" \
        >"$E2E_ROOT/logs/http.log" 2>&1 &
    E2E_HTTP_PID=$!
    E2E_PIDS+=("$E2E_HTTP_PID")
    e2e_wait_until 10 "the test HTTP server did not start" test -s "$portfile"
    E2E_HTTP_PORT=$(cat "$portfile")
}

# Puts a recording "xdg-open" first on PATH: each call appends its argument count and first
# argument to $E2E_ROOT/opened.tsv instead of opening a browser.
e2e_install_recording_opener()
{
    mkdir -p "$E2E_ROOT/bin"
    cat >"$E2E_ROOT/bin/xdg-open" <<EOF
#!/bin/bash
printf '%s\t%s\n' "\$#" "\${1-}" >>'$E2E_ROOT/opened.tsv'
EOF
    chmod +x "$E2E_ROOT/bin/xdg-open"
    : >"$E2E_ROOT/opened.tsv"
    export PATH=$E2E_ROOT/bin:$PATH
}

# ---- a drive of its own --------------------------------------------------------------------

# Runs the rest of the test in a private mount namespace (root only), so that it can mount a
# drive of its own. Call before e2e_setup, with the script's arguments.
e2e_enter_private_mounts()
{
    [ -z "${E2E_IN_MOUNT_NAMESPACE:-}" ] || return 0
    [ "$(id -u)" -eq 0 ] || e2e_fail "a private mount namespace needs root (unshare -m)"
    export E2E_IN_MOUNT_NAMESPACE=1
    exec unshare -m --propagation private bash "$0" "$@"
}

# Mounts a tmpfs as the drive that holds the working folder: the working folder becomes
# DRIVE/suite and the drive's root, where the suite INI file lives, is $E2E_DRIVE. Stand-ins
# and the login context's host directory must be installed after this call.
e2e_use_own_drive()
{
    [ -n "${E2E_IN_MOUNT_NAMESPACE:-}" ] || e2e_fail "call e2e_enter_private_mounts first"
    E2E_DRIVE=$E2E_ROOT/drive
    mkdir -p "$E2E_DRIVE"
    mount -t tmpfs -o size=16m tevo-e2e "$E2E_DRIVE" || e2e_fail "cannot mount a tmpfs at $E2E_DRIVE"
    mkdir -p "$E2E_DRIVE/suite"
    E2E_WORK=$E2E_DRIVE/suite
}

# ---- a private D-Bus session and the accessibility bus -------------------------------------

# Runs the rest of the test on a private D-Bus session bus (dbus-run-session), which starts the
# accessibility bus and the AT-SPI registry of at-spi2-core on demand and ends with the test.
# Call before e2e_setup, with the script's arguments.
e2e_enter_private_dbus_session()
{
    [ -z "${E2E_IN_DBUS_SESSION:-}" ] || return 0
    command -v dbus-run-session >/dev/null || e2e_fail "dbus-run-session is missing (scripts/setup.sh installs dbus)"
    export E2E_IN_DBUS_SESSION=1
    exec dbus-run-session -- bash "$0" "$@"
}

# Starts the session's accessibility bus and waits until it answers. It is started with the
# test's display and runtime folder, so that its socket lies in the test's own folder and no
# other test's bus is touched. Call after e2e_start_xvfb.
e2e_start_accessibility_bus()
{
    [ -n "${E2E_IN_DBUS_SESSION:-}" ] || e2e_fail "call e2e_enter_private_dbus_session first"
    dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR ||
        e2e_fail "cannot hand the display to the session bus"
    e2e_wait_until 60 "the accessibility bus (at-spi2-core) did not start" e2e__accessibility_bus
}
e2e__accessibility_bus()
{
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1
}

# ---- bash completion -----------------------------------------------------------------------

# What Tab offers, one candidate a line (sorted), for a command line whose last word is the one
# being completed (empty for a new word), with the completion file FILE loaded:
#   e2e_complete FILE COMMAND WORD... CURRENT
# The words are taken as typed; the command runs in the current folder and environment.
e2e_complete()
{
    local file=$1
    shift
    bash -c 'source /usr/share/bash-completion/bash_completion || exit 1
        source "$0" || exit 1
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        function=$(complete -p "$1" | sed -n "s/.* -F \([^ ]*\) .*/\1/p")
        [ -n "$function" ] || exit 1
        "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}"' "$file" "$@" | sort
}
