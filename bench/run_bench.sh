#!/usr/bin/env bash
# Measures the main menu against baselines on a private Xvfb display and prints the figures.
# Run through scripts/bench.sh, which builds what this needs first. Never part of the tests.
#
#   start-up   process start to the first painted frame, against a bare QMainWindow with the
#              same six menu captions in the same font (bench/BareWindow.cpp)
#   hand-off   key press (F1) to the started module having read its keys from the store, against
#              starting the same module directly
#   idle cost  CPU time of the open menu (notice scrolling, countdown running) over a period,
#              against the bare window over the same period
#   memory     peak resident size (VmHWM) at the end of that period, against the bare window
#   micro      applying the permission profile, the store's set and get (tevo-bench-micro)
#   wine-startup, wine-handoff   the same two figures in a Wine installation (bench/wine_bench.sh)
#   cold       start-up to the first frame as above, with the page cache dropped before every
#              start (as root, where /proc/sys/vm/drop_caches can be written; skipped otherwise)
#
# Environment: BENCH_PHASES (which of "startup idle handoff micro cold" to run, default all),
# BENCH_RUNS (runs of start-up and hand-off, default 20), BENCH_IDLE_RUNS (default
# 10), BENCH_IDLE_SECONDS (default 30), BENCH_COLD_RUNS (default 8), BENCH_RESULTS (folder for the raw figures, default
# BUILD/bench/results), TEVO_BUILD_DIR (default build). The exit status says whether the
# measurement ran, never whether a target was met.
# shellcheck source=tests/e2e/lib.sh

BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TEVO_SOURCE_DIR=${TEVO_SOURCE_DIR:-$(cd "$BENCH_DIR/.." && pwd)}
TEVO_BUILD_DIR=${TEVO_BUILD_DIR:-$TEVO_SOURCE_DIR/build}
TEVO_BUILD_DIR=$(cd "$TEVO_BUILD_DIR" && pwd)
# The store module plays every module the menu starts.
export TEVO_STANDIN=$TEVO_BUILD_DIR/bench/tevo-bench-module
source "$TEVO_SOURCE_DIR/tests/e2e/lib.sh"

BENCH_PHASES=${BENCH_PHASES:-startup idle handoff micro cold wine-startup wine-handoff}
BENCH_COLD_RUNS=${BENCH_COLD_RUNS:-8}
BENCH_RUNS=${BENCH_RUNS:-20}
BENCH_IDLE_RUNS=${BENCH_IDLE_RUNS:-10}
BENCH_IDLE_SECONDS=${BENCH_IDLE_SECONDS:-30}
BENCH_RESULTS=${BENCH_RESULTS:-$TEVO_BUILD_DIR/bench/results}
BENCH_EXEC=$TEVO_BUILD_DIR/bench/tevo-bench-exec
BENCH_BARE=$TEVO_BUILD_DIR/bench/tevo-bare-window
BENCH_MICRO=$TEVO_BUILD_DIR/bench/tevo-bench-micro

for f in "$BENCH_EXEC" "$BENCH_BARE" "$TEVO_STANDIN"; do
    [ -x "$f" ] || e2e_fail "$f is missing; build the target tevo-bench first (scripts/bench.sh does)"
done

# ---- helpers -------------------------------------------------------------------------------

# Starts PROGRAM in the working folder with the moment of its process start written to
# RAW/TAG.start and its first painted frame reported to RAW/TAG.frame; sets BENCH_PID.
bench_start()
{
    local tag=$1 program=$2
    rm -f "$RAW/$tag.start" "$RAW/$tag.frame"
    (cd "$E2E_WORK" && TEVO_REPORT_FIRST_FRAME=$RAW/$tag.frame \
        exec "$BENCH_EXEC" "$RAW/$tag.start" "$program") >>"$E2E_ROOT/logs/$tag.log" 2>&1 &
    BENCH_PID=$!
    E2E_PIDS+=("$BENCH_PID")
}

bench__has_frame()
{
    [ -s "$RAW/$1.frame" ] && return 0
    e2e_process_alive "$2" || e2e_fail "$1 ended before its first frame (see $E2E_ROOT/logs/$1.log)"
    return 1
}

# Waits for the first frame of TAG (process PID) and prints the time from process start to
# frame and the CPU time the process used until then, in ms, separated by a tab.
bench_wait_frame()
{
    e2e_wait_until "$E2E_TIMEOUT" "$1 reported no first frame" bench__has_frame "$1" "$2"
    awk 'NR == FNR { start = $1; next } { printf "%.3f\t%.3f\n", ($1 - start) / 1e6, $2 / 1e6 }' \
        "$RAW/$1.start" "$RAW/$1.frame"
}

bench_stop()
{
    e2e_end_process "$1"
    wait "$1" 2>/dev/null || true
}

# CPU time of a process's threads in nanoseconds, as the scheduler accounts it. The clock ticks
# of /proc/PID/stat count in 10 ms steps: a few dozen over an idle period, too coarse for it.
# Where the kernel keeps no scheduler statistics, the ticks it is.
bench_cpu_ns()
{
    if [ -r "/proc/$1/schedstat" ]; then
        cat "/proc/$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%.0f\n", sum }'
    else
        sed 's/^.*) //' "/proc/$1/stat" |
            awk -v tck="$(getconf CLK_TCK)" '{ printf "%.0f\n", ($12 + $13) * 1e9 / tck }'
    fi
}

# Peak resident size of a process in KiB.
bench_hwm_kib() { awk '$1 == "VmHWM:" { print $2 }' "/proc/$1/status"; }

bench_now_ns() { date +%s%N; }

bench_phase() { case " $BENCH_PHASES " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }

# ---- set-up --------------------------------------------------------------------------------

e2e_setup
e2e_start_xvfb
RAW=$E2E_ROOT/raw
mkdir -p "$RAW"
# A demo-like installation: a level-3 user with the demo's permission profile, so that the
# menu greys what the profile forbids, and the store module under the names the menu starts.
e2e_seed_login 3 "/權限/"
e2e_write_profile <"$TEVO_SOURCE_DIR/demo/permissions.ini.in"
e2e_install_standins E2.exe GARVO.exe

{
    echo "cpus	$(nproc)"
    echo "cpu	$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
    echo "ram_kib	$(awk '$1 == "MemTotal:" { print $2 }' /proc/meminfo)"
    echo "kernel	$(uname -r)"
    echo "qt	$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)"
    echo "store_fs	$(findmnt -n -o FSTYPE,SOURCE -T "$XDG_CONFIG_HOME" | tr -s ' ')"
    echo "load_before	$(cut -d' ' -f1-3 /proc/loadavg)"
    echo "runs	$BENCH_RUNS"
    echo "idle_runs	$BENCH_IDLE_RUNS"
    echo "idle_seconds	$BENCH_IDLE_SECONDS"
} >"$RAW/machine.tsv"

# ---- start-up ------------------------------------------------------------------------------

# Run 0 warms the page cache and the font cache and is not counted. The two programs take
# turns going first.
bench_startup()
{
    local run order which program times
    e2e_log "start-up: $BENCH_RUNS runs of each program (plus one warm-up)"
    for run in $(seq 0 "$BENCH_RUNS"); do
        if [ $((run % 2)) -eq 0 ]; then order="menu bare"; else order="bare menu"; fi
        for which in $order; do
            if [ "$which" = menu ]; then program=$E2E_MENU; else program=$BENCH_BARE; fi
            bench_start "$which.$run" "$program"
            times=$(bench_wait_frame "$which.$run" "$BENCH_PID")
            bench_stop "$BENCH_PID"
            [ "$run" -eq 0 ] || printf '%s\t%s\t%s\n' "$which" "$run" "$times" >>"$RAW/startup.tsv"
            sleep 0.3
        done
    done
}

# ---- idle cost and memory ------------------------------------------------------------------

# Both windows open side by side, settled (first activation done, profile applied, timers
# running), then their CPU time over the period; the countdown of 80 s does not end the menu.
bench_idle()
{
    local run menu bare menu0 bare0 menu1 bare1 t0 t1 which pid c0 c1
    e2e_log "idle cost and memory: $BENCH_IDLE_RUNS runs of ${BENCH_IDLE_SECONDS} s"
    for run in $(seq 1 "$BENCH_IDLE_RUNS"); do
        bench_start "idle-menu.$run" "$E2E_MENU"
        menu=$BENCH_PID
        bench_wait_frame "idle-menu.$run" "$menu" >/dev/null
        bench_start "idle-bare.$run" "$BENCH_BARE"
        bare=$BENCH_PID
        bench_wait_frame "idle-bare.$run" "$bare" >/dev/null
        sleep 2
        menu0=$(bench_cpu_ns "$menu")
        bare0=$(bench_cpu_ns "$bare")
        t0=$(bench_now_ns)
        sleep "$BENCH_IDLE_SECONDS"
        menu1=$(bench_cpu_ns "$menu")
        bare1=$(bench_cpu_ns "$bare")
        t1=$(bench_now_ns)
        e2e_expect_alive "$menu" "the menu at the end of the idle period"
        for which in menu bare; do
            if [ "$which" = menu ]; then pid=$menu c0=$menu0 c1=$menu1; else pid=$bare c0=$bare0 c1=$bare1; fi
            awk -v w="$which" -v r="$run" -v c="$((c1 - c0))" \
                -v ns="$((t1 - t0))" -v hwm="$(bench_hwm_kib "$pid")" \
                'BEGIN { printf "%s\t%s\t%.4f\t%s\n", w, r, 100 * c / ns, hwm }' \
                >>"$RAW/idle.tsv"
        done
        bench_stop "$menu"
        bench_stop "$bare"
    done
}

# ---- hand-off ------------------------------------------------------------------------------

# F1 hands off to "E2.exe" with "AT" = 工單作業 and "YXQ" = A. The key is pressed a second
# after the window appeared (the menu has settled, as for a user who reads it first); the
# figure ends when the module has read its keys from the store.
bench_handoff()
{
    local run before window pressed line start
    e2e_log "hand-off: $BENCH_RUNS runs (plus one warm-up), then as many direct starts"
    for run in $(seq 0 "$BENCH_RUNS"); do
        e2e_set AT "earlier AT"
        e2e_set YXQ B
        before=$(e2e_record_count E2.exe)
        e2e_start_menu
        window=$(e2e_wait_menu_window)
        sleep 1
        timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null ||
            e2e_fail "cannot give the menu's window the keyboard focus"
        pressed=$("$E2E_PYTHON" "$BENCH_DIR/xkey.py" F1 --linger 1) ||
            e2e_fail "xkey.py could not press F1"
        # The figure is read from the module's record, so nothing of the bench's own runs
        # (the key helper's exit, the polling below) while the module starts: the direct start
        # below has the machine to itself as well.
        sleep 0.5
        line=$(e2e_wait_record E2.exe "$E2E_TIMEOUT" $((before + 1)))
        e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after the hand-off"
        e2e_expect_eq "\"AT\" read by E2.exe" 工單作業 "$(e2e_field "$line" 2)"
        e2e_expect_eq "\"YXQ\" read by E2.exe" A "$(e2e_field "$line" 3)"
        [ "$run" -eq 0 ] || printf '%s\t%s\t%s\t%s\n' handoff "$run" \
            "$(awk -v a="$pressed" -v b="$(e2e_field "$line" 9)" 'BEGIN { printf "%.3f", (b - a) / 1e6 }')" \
            "$(awk -v a="$pressed" -v b="$(e2e_field "$line" 8)" 'BEGIN { printf "%.3f", (b - a) / 1e6 }')" \
            >>"$RAW/handoff.tsv"
    done
    # The floor: the same module started directly, with the keys already in the store.
    for run in $(seq 0 "$BENCH_RUNS"); do
        before=$(e2e_record_count E2.exe)
        (cd "$E2E_WORK" && exec "$BENCH_EXEC" "$RAW/floor.$run.start" "$E2E_WORK/E2.exe") ||
            e2e_fail "E2.exe started directly failed"
        line=$(e2e_wait_record E2.exe "$E2E_TIMEOUT" $((before + 1)))
        e2e_expect_eq "\"AT\" read by E2.exe" 工單作業 "$(e2e_field "$line" 2)"
        start=$(cat "$RAW/floor.$run.start")
        [ "$run" -eq 0 ] || printf '%s\t%s\t%s\t%s\n' floor "$run" \
            "$(awk -v a="$start" -v b="$(e2e_field "$line" 9)" 'BEGIN { printf "%.3f", (b - a) / 1e6 }')" \
            "$(awk -v a="$start" -v b="$(e2e_field "$line" 8)" 'BEGIN { printf "%.3f", (b - a) / 1e6 }')" \
            >>"$RAW/handoff.tsv"
    done
}

# ---- cold start ----------------------------------------------------------------------------

# Start-up with nothing of either program, its libraries, fonts or pictures in the page cache:
# the first start of the day. Dropping the cache needs root; elsewhere the figure is skipped.
bench_cold()
{
    local run order which program times
    if ! { sync && echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null; then
        e2e_log "cold start: skipped (the page cache can only be dropped as root)"
        echo "cold_skipped	cannot write /proc/sys/vm/drop_caches" >>"$RAW/machine.tsv"
        return 0
    fi
    e2e_log "cold start: $BENCH_COLD_RUNS runs of each program, page cache dropped before each"
    for run in $(seq 1 "$BENCH_COLD_RUNS"); do
        if [ $((run % 2)) -eq 0 ]; then order="menu bare"; else order="bare menu"; fi
        for which in $order; do
            if [ "$which" = menu ]; then program=$E2E_MENU; else program=$BENCH_BARE; fi
            sync
            echo 3 >/proc/sys/vm/drop_caches
            bench_start "cold-$which.$run" "$program"
            times=$(bench_wait_frame "cold-$which.$run" "$BENCH_PID")
            bench_stop "$BENCH_PID"
            printf '%s\t%s\t%s\n' "$which" "$run" "$times" >>"$RAW/cold.tsv"
            sleep 0.3
        done
    done
}

# ---- microbenchmarks -----------------------------------------------------------------------

bench_micro()
{
    if [ -x "$BENCH_MICRO" ]; then
        e2e_log "microbenchmarks: 10 repetitions each"
        # Repetitions of the benchmarks in random turns, so that a slow spell of the disk or the
        # processor falls on all of them rather than on one.
        (cd "$E2E_ROOT" && TMPDIR=$E2E_ROOT "$BENCH_MICRO" --benchmark_repetitions=10 \
            --benchmark_enable_random_interleaving=true \
            --benchmark_report_aggregates_only=true --benchmark_out_format=json \
            --benchmark_out="$RAW/micro.json") >"$E2E_ROOT/logs/micro.log" 2>&1 ||
            e2e_fail "tevo-bench-micro failed (see $E2E_ROOT/logs/micro.log)"
    else
        e2e_log "tevo-bench-micro was not built (libbenchmark-dev missing): no microbenchmarks"
    fi
}

source "$BENCH_DIR/wine_bench.sh"

# ---- the run -------------------------------------------------------------------------------

: >"$RAW/startup.tsv"
: >"$RAW/idle.tsv"
: >"$RAW/handoff.tsv"
: >"$RAW/cold.tsv"
: >"$RAW/wine-startup.tsv"
: >"$RAW/wine-handoff.tsv"
for phase in startup idle handoff micro cold wine-startup wine-handoff; do
    if bench_phase "$phase"; then "bench_${phase/-/_}"; fi
done
[ -z "${WINEPREFIX:-}" ] || timeout 20 wineserver -k 2>/dev/null || true

echo "load_after	$(cut -d' ' -f1-3 /proc/loadavg)" >>"$RAW/machine.tsv"
rm -f "$RAW"/*.start "$RAW"/*.frame
mkdir -p "$BENCH_RESULTS"
cp "$RAW"/* "$BENCH_RESULTS"/
"$E2E_PYTHON" "$BENCH_DIR/summary.py" "$BENCH_RESULTS"
