#!/usr/bin/env python3
"""Prints the figures of a benchmark run from the raw files that bench/run_bench.sh left.

    summary.py RESULTS_FOLDER

Every figure is the median of its runs, with the baseline measured in the same run; the verdict
against each target is computed here from those medians.
"""

import json
import os
import statistics
import sys


def read_tsv(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f if line.strip()]


def column(rows, name, index):
    return [float(r[index]) for r in rows if r[0] == name]


def median(values):
    return statistics.median(values) if values else float("nan")


def spread(values, unit, digits=1):
    if not values:
        return "no runs"
    return f"{min(values):.{digits}f} to {max(values):.{digits}f} {unit}, {len(values)} runs"


def verdict(met):
    return "met" if met else "MISSED"


def ratio_row(figure, menu, bare, limit, spreads):
    """A time of the menu against the bare window's, as a ratio with its limit."""
    ratio = median(menu) / median(bare)
    return (figure, f"{median(menu):.1f} ms", f"bare window {median(bare):.1f} ms",
            f"{ratio:.2f}x", f"<= {limit:.2f}x", verdict(ratio <= limit), spreads)


def main(argv):
    if len(argv) != 2:
        print("usage: summary.py RESULTS_FOLDER", file=sys.stderr)
        return 2
    folder = argv[1]
    machine = {r[0]: r[1] for r in read_tsv(os.path.join(folder, "machine.tsv")) if len(r) > 1}
    ram_gib = int(machine.get("ram_kib", "0")) / 1024 / 1024
    print()
    print("Machine: {} CPUs ({}), {:.1f} GiB RAM, Linux {}, Qt {}; store on {}".format(
        machine.get("cpus", "?"), machine.get("cpu", "?"), ram_gib, machine.get("kernel", "?"),
        machine.get("qt", "?"), machine.get("store_fs", "?")))
    print("Load average before / after: {} / {}".format(
        machine.get("load_before", "?"), machine.get("load_after", "?")))
    print()

    rows = []  # figure, value, baseline, ratio, target, verdict, spread

    startup = read_tsv(os.path.join(folder, "startup.tsv"))
    menu, bare = column(startup, "menu", 2), column(startup, "bare", 2)
    if menu and bare:
        rows.append(ratio_row("start-up to first frame", menu, bare, 1.20,
                              f"menu {spread(menu, 'ms')}; bare {spread(bare, 'ms')}"))
        menu_cpu, bare_cpu = column(startup, "menu", 3), column(startup, "bare", 3)
        rows.append(ratio_row("CPU time to first frame", menu_cpu, bare_cpu, 1.25,
                              f"menu {spread(menu_cpu, 'ms')}; bare {spread(bare_cpu, 'ms')}; "
                              "less sensitive to other work on the machine than the time"))

    handoff = read_tsv(os.path.join(folder, "handoff.tsv"))
    key, floor = column(handoff, "handoff", 2), column(handoff, "floor", 2)
    if key and floor:
        started = column(handoff, "handoff", 3)
        floor_started = column(handoff, "floor", 3)
        gap = median(started) - median(floor_started)
        rows.append(("hand-off: F1 to the module's main()", f"{median(started):.1f} ms",
                     f"direct start {median(floor_started):.1f} ms", f"+{gap:.1f} ms",
                     "<= +4 ms", verdict(gap <= 4),
                     f"{spread(started, 'ms')}; direct {spread(floor_started, 'ms')}"))
        rows.append(("hand-off: F1 to keys read", f"{median(key):.1f} ms",
                     f"direct start {median(floor):.1f} ms", f"{median(key) / median(floor):.2f}x",
                     "<= 20 ms", verdict(median(key) <= 20),
                     f"{spread(key, 'ms')}; module's main() {median(started):.1f} ms after the "
                     f"press ({median(floor_started):.1f} ms when started directly)"))

    idle = read_tsv(os.path.join(folder, "idle.tsv"))
    menu_cpu, bare_cpu = column(idle, "menu", 2), column(idle, "bare", 2)
    if menu_cpu and bare_cpu:
        seconds = machine.get("idle_seconds", "?")
        rows.append((f"idle CPU over {seconds} s", f"{median(menu_cpu):.2f} %",
                     f"bare window {median(bare_cpu):.2f} %",
                     f"{median(menu_cpu) / median(bare_cpu):.0f}x" if median(bare_cpu) > 0 else "-",
                     "<= 0.35 % of a core", verdict(median(menu_cpu) <= 0.35),
                     f"menu {spread(menu_cpu, '%', 2)}; bare {spread(bare_cpu, '%', 2)}"))
        menu_hwm = [v / 1024 for v in column(idle, "menu", 3)]
        bare_hwm = [v / 1024 for v in column(idle, "bare", 3)]
        more = median(menu_hwm) - median(bare_hwm)
        rows.append(("peak resident size (VmHWM)", f"{median(menu_hwm):.1f} MiB",
                     f"bare window {median(bare_hwm):.1f} MiB", f"+{more:.1f} MiB",
                     "<= +10 MiB", verdict(more <= 10),
                     f"menu {spread(menu_hwm, 'MiB')}; bare {spread(bare_hwm, 'MiB')}"))

    cold = read_tsv(os.path.join(folder, "cold.tsv"))
    menu, bare = column(cold, "menu", 2), column(cold, "bare", 2)
    if menu and bare:
        rows.append(ratio_row("cold start to first frame", menu, bare, 1.15,
                              f"page cache dropped before each start; menu {spread(menu, 'ms')}; "
                              f"bare {spread(bare, 'ms')}"))
    elif "cold_skipped" in machine:
        rows.append(("cold start to first frame", "skipped", "-", "-", "<= 1.15x", "-",
                     machine["cold_skipped"]))

    # The Wine installation: differences against the native start-up and a direct wine start.
    wine_startup = read_tsv(os.path.join(folder, "wine-startup.tsv"))
    wine, native = column(wine_startup, "wine", 2), column(wine_startup, "native", 2)
    wine_handoff = read_tsv(os.path.join(folder, "wine-handoff.tsv"))
    key, floor = column(wine_handoff, "handoff", 2), column(wine_handoff, "floor", 2)
    for figure, menu, base, label, limit, note in (
            ("Wine: start-up to first frame", wine, native, "native start-up", 40,
             "Wine warm"),
            ("Wine: F1 to E2.exe's main()", key, floor, "direct wine E2.exe", 30,
             "both warm; times on CLOCK_MONOTONIC_RAW, Wine's QueryPerformanceCounter")):
        if menu and base:
            gap = median(menu) - median(base)
            rows.append((figure, f"{median(menu):.1f} ms", f"{label} {median(base):.1f} ms",
                         f"{gap:+.1f} ms", f"<= +{limit} ms", verdict(gap <= limit),
                         f"{note}; {spread(menu, 'ms')}; baseline {spread(base, 'ms')}"))
        elif "wine_skipped" in machine:
            rows.append((figure, "skipped", "-", "-", f"<= +{limit} ms", "-",
                         machine["wine_skipped"]))

    micro_path = os.path.join(folder, "micro.json")
    if os.path.exists(micro_path):
        with open(micro_path, encoding="utf-8") as f:
            micro = json.load(f)
        medians = {}
        for b in micro.get("benchmarks", []):
            if b.get("aggregate_name") == "median":
                scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[b.get("time_unit", "us")]
                medians[b["run_name"]] = (b["real_time"] * scale, b["cpu_time"] * scale)

        def micro_row(figure, name, baseline_label, baseline):
            if name not in medians or baseline not in medians:
                return
            real, cpu = medians[name]
            base_real, base_cpu = medians[baseline]
            rows.append((figure, f"{real:.1f} us", f"{baseline_label} {base_real:.1f} us",
                         f"{real / base_real:.1f}x", "-", "-",
                         f"CPU time {cpu:.1f} us, baseline {base_cpu:.1f} us"))

        micro_row("apply 43-key permission profile", "BM_ApplyPermissions",
                  "one key read", "BM_ReadOneProfileKey")
        micro_row("store set (one commit)", "BM_StoreSet", "raw sqlite3", "BM_RawSqliteSet")
        micro_row("store set of a hand-off's 2 keys", "BM_StoreSetHandOffKeys", "one set",
                  "BM_StoreSet")
        micro_row("store get", "BM_StoreGet", "raw sqlite3", "BM_RawSqliteGet")
        if "BM_FdatasyncFloor" in medians:
            real, cpu = medians["BM_FdatasyncFloor"]
            rows.append(("write + fdatasync, 64 bytes", f"{real:.1f} us", "-", "-", "-", "-",
                         "what a commit with synchronous = FULL would add"))

    headers = ("figure", "menu", "baseline", "ratio", "target", "result")
    widths = [max(len(str(r[i])) for r in rows + [headers]) for i in range(len(headers))]
    line = "  ".join(h.ljust(w) for h, w in zip(headers, widths))
    print(line)
    print("-" * len(line))
    for r in rows:
        print("  ".join(str(v).ljust(w) for v, w in zip(r, widths)))
    print()
    for r in rows:
        print(f"{r[0]}: {r[6]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
