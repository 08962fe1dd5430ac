# The Wine figures of bench/run_bench.sh (sourced by it after its helpers):
#
#   wine-startup   process start to the first frame of the menu in a Wine installation (its
#                  "GARVO.exe" a Windows program, the login context in the Wine registry), Wine
#                  warm, against the menu in the native installation, taking turns
#   wine-handoff   F1 to main() of the Windows "E2.exe" (bench/WineModule.cpp), against a direct
#                  `wine E2.exe` in the same folder, both warm
#
# Windows code cannot read CLOCK_MONOTONIC: the module takes its times from
# QueryPerformanceCounter, which Wine 8 on Linux answers from CLOCK_MONOTONIC_RAW, so the key
# press and the direct start are timed on that clock too, and every direct start checks that
# the module's time falls between the times taken around the wine command (a Wine whose counter
# followed another clock would fail the check rather than give a wrong figure).
#
# Skipped with a note where Wine, the Windows programs (MinGW-w64) or zh_TW.UTF-8 are missing.
# The prefix is the benchmark's own (BUILD/bench/wine-prefix, made with wineboot when missing).

BENCH_WINE_MODULE=$TEVO_BUILD_DIR/bench/wine-module.exe
BENCH_WINE_ENTRY=$TEVO_BUILD_DIR/tests/e2e/wine/entry.exe
BENCH_WINE_SUITE=

bench_wine_missing()
{
    local f
    command -v wine >/dev/null || { echo "Wine is missing (apt-get install wine)"; return; }
    for f in "$BENCH_WINE_MODULE" "$BENCH_WINE_ENTRY" "$TEVO_BUILD_DIR/src/tevo-winebridge.exe"; do
        [ -f "$f" ] || { echo "$f was not built (needs g++-mingw-w64-x86-64)"; return; }
    done
    locale -a 2>/dev/null | grep -qix 'zh_TW\.utf-\?8' || echo "the locale zh_TW.UTF-8 is missing"
}

# CLOCK_MONOTONIC_RAW in ns, then runs the command (no shell, same process).
bench_wine_raw_exec()
{
    "$E2E_PYTHON" -c 'import os, sys, time
open(sys.argv[1], "w").write("%d\n" % time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW))
os.execvp(sys.argv[2], sys.argv[2:])' "$@"
}

bench_wine_raw_now() { "$E2E_PYTHON" -c 'import time; print(time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW))'; }

# Runs a Windows program in the Wine suite's folder as the menu starts one. The command may be
# a function of this script (bench_wine_raw_exec), so it runs in the subshell rather than by exec.
bench_wine_run()
{
    (cd "$BENCH_WINE_SUITE" && export PWD=$BENCH_WINE_SUITE LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8 &&
        "$@")
}

# The prefix with D: mapped to a garage folder holding the suite D:\GARVO: the Windows entry
# program and E2.exe, the login context written by that entry program; Wine kept warm.
bench_wine_setup()
{
    [ -z "$BENCH_WINE_SUITE" ] || return 0
    export WINEPREFIX=$TEVO_BUILD_DIR/bench/wine-prefix WINEDEBUG=-all
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        e2e_log "making the benchmark's Wine prefix $WINEPREFIX (once)"
        mkdir -p "$(dirname "$WINEPREFIX")"
        WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wineboot -i >"$E2E_ROOT/logs/wineboot.log" 2>&1 ||
            e2e_fail "wineboot -i failed (see $E2E_ROOT/logs/wineboot.log)"
    fi
    # A run that failed earlier leaves its persistent wineserver behind: end it, or waiting for
    # the prefix's services to end would never return.
    timeout 20 wineserver -k 2>/dev/null || true
    timeout 60 wineserver -w
    # Kept up until the end (run_bench.sh's exit ends it), so that every start is warm.
    wineserver -p || e2e_fail "could not start wineserver"
    local garage=$E2E_ROOT/garage
    BENCH_WINE_SUITE=$garage/GARVO
    mkdir -p "$BENCH_WINE_SUITE/權限"
    ln -sfn "$garage" "$WINEPREFIX/dosdevices/d:"
    cp "$E2E_WORK/權限/權限.INI" "$BENCH_WINE_SUITE/權限/" 2>/dev/null ||
        (cd "$BENCH_WINE_SUITE" && e2e_write_profile <"$TEVO_SOURCE_DIR/demo/permissions.ini.in")
    cp "$BENCH_WINE_ENTRY" "$BENCH_WINE_SUITE/GARVO.exe"
    cp "$BENCH_WINE_MODULE" "$BENCH_WINE_SUITE/E2.exe"
    bench_wine_run timeout 120 wine "$BENCH_WINE_SUITE/GARVO.exe" VA=王小明 AAA=3 'mx=\權限\' \
        'r5=D:\GARVO' || e2e_fail "the Windows entry program could not write the login context"
}

bench_wine_startup()
{
    local missing run order which times
    missing=$(bench_wine_missing)
    if [ -n "$missing" ]; then
        e2e_log "Wine start-up: skipped ($missing)"
        echo "wine_skipped	$missing" >>"$RAW/machine.tsv"
        return 0
    fi
    bench_wine_setup
    e2e_log "Wine start-up: $BENCH_RUNS runs in each installation (plus one warm-up)"
    for run in $(seq 0 "$BENCH_RUNS"); do
        if [ $((run % 2)) -eq 0 ]; then order="wine native"; else order="native wine"; fi
        for which in $order; do
            if [ "$which" = wine ]; then
                E2E_WORK=$BENCH_WINE_SUITE bench_start "wine-$which.$run" "$E2E_MENU"
            else
                bench_start "wine-$which.$run" "$E2E_MENU"
            fi
            times=$(bench_wait_frame "wine-$which.$run" "$BENCH_PID")
            bench_stop "$BENCH_PID"
            [ "$run" -eq 0 ] || printf '%s\t%s\t%s\n' "$which" "$run" "$times" >>"$RAW/wine-startup.tsv"
            sleep 0.3
        done
    done
}

bench_wine_handoff()
{
    local missing run before window pressed line start end module
    missing=$(bench_wine_missing)
    if [ -n "$missing" ]; then
        e2e_log "Wine hand-off: skipped ($missing)"
        echo "wine_skipped	$missing" >>"$RAW/machine.tsv"
        return 0
    fi
    bench_wine_setup
    e2e_log "Wine hand-off: $BENCH_RUNS runs (plus one warm-up), then as many direct wine starts"
    for run in $(seq 0 "$BENCH_RUNS"); do
        before=$(e2e_record_count E2.exe)
        E2E_WORK=$BENCH_WINE_SUITE e2e_start_menu
        window=$(e2e_wait_menu_window 60)
        sleep 1
        timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null ||
            e2e_fail "cannot give the menu's window the keyboard focus"
        pressed=$(XKEY_CLOCK=raw "$E2E_PYTHON" "$BENCH_DIR/xkey.py" F1 --linger 1) ||
            e2e_fail "xkey.py could not press F1"
        sleep 0.5
        line=$(e2e_wait_record E2.exe 60 $((before + 1)))
        e2e_wait_exit "$E2E_MENU_PID" "$E2E_TIMEOUT" "the menu after the hand-off"
        e2e_expect_eq "\"AT\" read by the Windows E2.exe" 工單作業 "$(e2e_field "$line" 2)"
        e2e_expect_eq "\"YXQ\" read by the Windows E2.exe" A "$(e2e_field "$line" 3)"
        [ "$run" -eq 0 ] || printf '%s\t%s\t%s\n' handoff "$run" \
            "$(awk -v a="$pressed" -v b="$(e2e_field "$line" 8)" 'BEGIN { printf "%.3f", (b - a) / 1e6 }')" \
            >>"$RAW/wine-handoff.tsv"
    done
    for run in $(seq 0 "$BENCH_RUNS"); do
        before=$(e2e_record_count E2.exe)
        bench_wine_run bench_wine_raw_exec "$RAW/wine-floor.$run.start" wine "$BENCH_WINE_SUITE/E2.exe" ||
            e2e_fail "wine E2.exe failed"
        end=$(bench_wine_raw_now)
        line=$(e2e_wait_record E2.exe "$E2E_TIMEOUT" $((before + 1)))
        start=$(cat "$RAW/wine-floor.$run.start")
        module=$(e2e_field "$line" 8)
        [ "$module" -ge "$start" ] && [ "$module" -le "$end" ] ||
            e2e_fail "E2.exe's clock does not follow CLOCK_MONOTONIC_RAW ($module outside $start..$end): Wine's QueryPerformanceCounter follows another clock"
        [ "$run" -eq 0 ] || printf '%s\t%s\t%s\n' floor "$run" \
            "$(awk -v a="$start" -v b="$module" 'BEGIN { printf "%.3f", (b - a) / 1e6 }')" \
            >>"$RAW/wine-handoff.tsv"
    done
}
