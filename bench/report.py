#!/usr/bin/env python3
"""Turns the benchmark results of bench/run.sh into the tables of
docs/performance.md and the plot of throughput against file size.

    bench/report.py RESULTS_DIR DOC PLOT
    bench/report.py --compare BEFORE_DIR AFTER_DIR   # medians side by side

RESULTS_DIR holds one Google Benchmark JSON file per program (medians of
the repetitions), peak_memory.txt, instructions.*.txt with the matching
callgrind.*.log, and machine.txt. The part of DOC between the markers
<!-- results begin --> and <!-- results end --> is replaced.
"""
import json
import os
import re
import sys

BEGIN = "<!-- results begin -->"
END = "<!-- results end -->"
UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load_medians(results):
    """name -> {'cpu': ns, 'real': ns, 'counters': {...}} from every JSON."""
    medians = {}
    for name in sorted(os.listdir(results)):
        if not name.endswith(".json"):
            continue
        with open(os.path.join(results, name)) as f:
            data = json.load(f)
        # Medians of the repetitions; a benchmark run once gives its one run.
        repeated = {b["run_name"] for b in data["benchmarks"] if b.get("run_type") == "aggregate"}
        for b in data["benchmarks"]:
            median = b.get("run_type") == "aggregate" and b.get("aggregate_name") == "median"
            single = b.get("run_type") == "iteration" and b["run_name"] not in repeated
            if not (median or single):
                continue
            scale = UNIT_NS[b.get("time_unit", "ns")]
            base = b["run_name"]
            if base.endswith("/real_time"):  # timed by the wall clock; both times are there
                base = base[:-len("/real_time")]
            base = re.sub(r"/iterations:\d+", "", base)  # a fixed count of iterations
            medians[base] = {
                "cpu": b["cpu_time"] * scale,
                "real": b["real_time"] * scale,
                "counters": {k: v for k, v in b.items() if isinstance(v, (int, float))},
                "repetitions": b.get("repetitions", 0),
            }
    return medians


def fmt_time(ns):
    if ns >= 1e9:
        return "%.2f s" % (ns / 1e9)
    if ns >= 1e6:
        return "%.2f ms" % (ns / 1e6)
    if ns >= 1e3:
        return "%.1f µs" % (ns / 1e3)
    return "%.0f ns" % ns


def fmt_rate(bytes_, ns):
    return "%.0f MB/s" % (bytes_ / ns * 1e3)


def verdict(ok):
    return "met" if ok else "**missed**"


def throughput_row(m, label, work, base, goal, note=""):
    """Goal: work's throughput at least goal times the baseline's."""
    w, b = m[work], m[base]
    nbytes = w["counters"].get("file_bytes", 0)
    cpu = b["cpu"] / w["cpu"]
    wall = b["real"] / w["real"]
    return [label, "`%s`" % work, "`%s`" % base,
            "%s (%s) / %s (%s)" % (fmt_time(w["cpu"]), fmt_rate(nbytes, w["cpu"]), fmt_time(b["cpu"]),
                                   fmt_rate(b["counters"].get("file_bytes", nbytes), b["cpu"])),
            "%.2f (wall %.2f)" % (cpu, wall), "≥ %.3g" % goal, verdict(cpu >= goal) + note]


def slowdown_row(m, label, work, base, goal, use_real=False, note=""):
    """Goal: work takes at most goal times the baseline's time."""
    w, b = m[work], m[base]
    key = "real" if use_real else "cpu"
    ratio = w[key] / b[key]
    other = w["cpu"] / b["cpu"] if use_real else w["real"] / b["real"]
    return [label, "`%s`" % work, "`%s`" % base,
            "%s / %s%s" % (fmt_time(w[key]), fmt_time(b[key]), " (wall)" if use_real else ""),
            "%.2f (%s %.2f)" % (ratio, "CPU" if use_real else "wall", other), "≤ %g" % goal,
            verdict(ratio <= goal) + note]


def linear_rows(m, label, work, base, use_real=False):
    key = "real" if use_real else "cpu"
    small, large = m[work + "/1000"], m[work + "/9999"]
    bsmall, blarge = m[base + "/1000"], m[base + "/9999"]
    growth = large[key] / small[key]
    bgrowth = blarge[key] / bsmall[key]
    # Linear: growing with the number of types no faster than 10x (2x slack
    # for noise and caches); a walk per number tried would grow ~100x.
    ok = growth <= 2 * 9.999
    return [label, "`%s`" % work, "`%s`" % base,
            "%s → %s; baseline %s → %s%s" % (fmt_time(small[key]), fmt_time(large[key]), fmt_time(bsmall[key]),
                                              fmt_time(blarge[key]), " (wall)" if use_real else ""),
            "×%.1f (baseline ×%.1f); at 9,999: %.2f× baseline" % (growth, bgrowth, large[key] / blarge[key]),
            "linear (≤ ×20)", verdict(ok)]


def check_rows(m):
    """`typedata check` beside reading every file of the tree once: within
    3x at both sizes, and growing with the tree no faster than it."""
    rows = []
    for types in (1000, 9999):
        w, b = m["BM_Check/%d" % types], m["BM_ReadEveryFile/%d" % types]
        ratio = w["cpu"] / b["cpu"]
        rows.append(["`typedata check`, %s types" % "{:,}".format(types), "`BM_Check/%d`" % types,
                     "`BM_ReadEveryFile/%d`" % types, "%s / %s" % (fmt_time(w["cpu"]), fmt_time(b["cpu"])),
                     "%.2f (wall %.2f)" % (ratio, w["real"] / b["real"]), "≤ 3", verdict(ratio <= 3)])
    rows.append(linear_rows(m, "`typedata check`, growth", "BM_Check", "BM_ReadEveryFile"))
    return rows


def table(header, rows):
    out = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    out += ["| " + " | ".join(str(c) for c in row) + " |" for row in rows]
    return "\n".join(out)


def read_keyvalues(path):
    values = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                parts = line.split(None, 1)
                if len(parts) == 2:
                    values[parts[0]] = parts[1].strip()
    return values


def instructions(results):
    rows = []
    for op, label in (("read", "`DAT_fread`"), ("save-missing", "`SaveCurrentTypeData`, file missing"),
                      ("save-present", "`SaveCurrentTypeData`, file present")):
        out = os.path.join(results, "instructions.%s.txt" % op)
        log = os.path.join(results, "callgrind.%s.log" % op)
        if not (os.path.exists(out) and os.path.exists(log)):
            continue
        with open(out) as f:
            m = re.search(r"bytes (\d+) repetitions (\d+)", f.read())
        with open(log) as f:
            c = re.search(r"Collected\s*:\s*([\d,]+)", f.read())
        if not (m and c):
            continue
        nbytes, reps = int(m.group(1)), int(m.group(2))
        total = int(c.group(1).replace(",", ""))
        per = total / reps
        rows.append([label, "{:,}".format(nbytes), "{:,.0f}".format(per), "%.1f" % (per / nbytes)])
    return rows


def plot(m, path):
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        return False
    series = [("BM_LineScan", "read bytes, find line ends (baseline)", "C0", "--"),
              ("BM_Read", "DAT_fread", "C0", "-"),
              ("BM_Fwrite", "one fwrite (baseline)", "C1", "--"),
              ("BM_FwriteDurable", "one fwrite, flushed and renamed", "C1", ":"),
              ("BM_SaveMissing", "SaveCurrentTypeData, file missing", "C2", "-"),
              ("BM_SavePresent", "SaveCurrentTypeData, file present", "C3", "-")]
    fig, ax = plt.subplots(figsize=(8, 5))
    for prefix, label, colour, style in series:
        points = []
        for name, v in m.items():
            if name.startswith(prefix + "/"):
                nbytes = v["counters"].get("file_bytes", 0)
                points.append((nbytes, nbytes / v["cpu"] * 1e3))
        if not points:
            continue
        points.sort()
        ax.plot([p[0] / 1024 for p in points], [p[1] for p in points], style, color=colour, marker="o",
                label=label)
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlabel("type data file size (KiB)")
    ax.set_ylabel("throughput (MB per CPU second)")
    ax.set_title("Type data files: throughput against file size (medians)")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(fontsize=8)
    fig.tight_layout()
    fig.savefig(path, dpi=110)
    return True


def compare(before_dir, after_dir):
    """A table of the benchmarks' medians in two result sets (before and
    after a change), for the record of that change."""
    before, after = load_medians(before_dir), load_medians(after_dir)
    rows = []
    for name in sorted(set(before) & set(after)):
        b, a = before[name], after[name]
        rows.append(["`%s`" % name, fmt_time(b["cpu"]), fmt_time(a["cpu"]), "%.2f×" % (b["cpu"] / a["cpu"]),
                     fmt_time(b["real"]), fmt_time(a["real"])])
    print(table(["Benchmark", "CPU before", "CPU after", "Faster by", "Wall before", "Wall after"], rows))


def main():
    if sys.argv[1] == "--compare":
        compare(sys.argv[2], sys.argv[3])
        return
    results, doc, plot_path = sys.argv[1], sys.argv[2], sys.argv[3]
    m = load_medians(results)
    machine = read_keyvalues(os.path.join(results, "machine.txt"))
    memory = read_keyvalues(os.path.join(results, "peak_memory.txt"))

    goals = []
    goals.append(throughput_row(m, "`DAT_fread`, 20,000 numbers and 500 texts", "BM_Read/20000",
                                "BM_LineScan/20000", 0.45))
    goals.append(throughput_row(m, "`SaveCurrentTypeData`, file missing", "BM_SaveMissing/20000",
                                "BM_Fwrite/20000", 1 / 8))
    goals.append(throughput_row(m, "`SaveCurrentTypeData`, file present", "BM_SavePresent/20000",
                                "BM_Fwrite/20000", 0.2))
    goals.append(slowdown_row(m, "`SaveAllCurrentTypeData`, 2 shared configs to 1,000 types",
                              "BM_SaveAllCurrentTypeData", "BM_SystemCopies", 2, use_real=True))
    if "BM_SaveAllSlowFlush" in m:
        goals.append(slowdown_row(m, "… the same on a disk whose every flush takes 10 ms (simulated)",
                                  "BM_SaveAllSlowFlush", "BM_SystemCopies", 2, use_real=True))
    if "BM_SystemCopiesDurable" in m:
        w, b = m["BM_SaveAllCurrentTypeData"], m["BM_SystemCopiesDurable"]
        goals.append(["… the same, beside copies made atomic and durable by hand (the least the service's "
                      "replace can cost)", "`BM_SaveAllCurrentTypeData`", "`BM_SystemCopiesDurable`",
                      "%s / %s (wall)" % (fmt_time(w["real"]), fmt_time(b["real"])),
                      "%.2f (CPU %.2f)" % (w["real"] / b["real"], w["cpu"] / b["cpu"]), "—", "for comparison"])
    goals.append(linear_rows(m, "`SearchTypeNo`", "BM_SearchTypeNo", "BM_TypeListPass"))
    goals.append(linear_rows(m, "`Type_Add`", "BM_TypeAdd", "BM_TypeListPass", use_real=True))
    goals.append(linear_rows(m, "`UpdateTypeFile`, adding", "BM_UpdateTypeFileAdd",
                             "BM_RewriteCatalogueBytesDurable", use_real=True))
    goals.append(linear_rows(m, "`UpdateTypeFile`, renaming", "BM_UpdateTypeFileRename",
                             "BM_RewriteCatalogueBytesDurable", use_real=True))
    goals.append(slowdown_row(m, "full download of the large machine (786,432 items, 64 steps)", "BM_Download",
                              "BM_DownloadHostCalls", 1.15))
    goals.append(slowdown_row(m, "`SetCurrentTypeDataToCommMem`, the large machine", "BM_SetCommMemory",
                              "BM_SetCommMemoryHostCalls", 1.1))
    if "BM_Check/1000" in m and "BM_ReadEveryFile/1000" in m:
        goals.extend(check_rows(m))

    parts = [BEGIN, ""]
    parts.append("Measured %s on %s (`%s`), load average %s before and %s after; %s repetitions, medians."
                 % (machine.get("date", "?"), machine.get("commit", "?"), machine.get("compiler", "?"),
                    machine.get("load_before", "?"), machine.get("load_after", "?"),
                    machine.get("repetitions", "?")))
    parts.append("")
    parts.append("Machine: %s CPUs (`nproc`), %s, %s of memory, %s."
                 % (machine.get("nproc", "?"), machine.get("cpu", "?"), machine.get("memory", "?"),
                    machine.get("kernel", "?")))
    parts.append("")
    parts.append("### Goals")
    parts.append("")
    parts.append(table(["Work", "Benchmark", "Baseline (same run)", "Median time (work / baseline)",
                        "Ratio", "Goal", "Verdict"], goals))
    parts.append("")
    parts.append("Throughput ratios are the work's throughput over the baseline's (higher is better); "
                 "slowdowns are the work's time over the baseline's (lower is better). Times are CPU "
                 "times unless marked wall.")
    parts.append("")

    parts.append("### Every benchmark (medians)")
    parts.append("")
    rows = []
    def order(name):
        base, _, arg = name.partition("/")
        return (base, int(arg) if arg.isdigit() else 0)

    for name, v in sorted(m.items(), key=lambda item: order(item[0])):
        nbytes = v["counters"].get("file_bytes")
        rate = fmt_rate(nbytes, v["cpu"]) if nbytes else ""
        rows.append(["`%s`" % name, fmt_time(v["cpu"]), fmt_time(v["real"]), rate])
    parts.append(table(["Benchmark", "CPU time", "Wall time", "Throughput (CPU)"], rows))
    parts.append("")

    if memory:
        blocks = int(memory["value_block_bytes"])
        peak = int(memory["switch_peak_bytes"])
        ratio = float(memory["ratio"])
        parts.append("### Peak memory of a type switch")
        parts.append("")
        parts.append(table(["What", "Bytes", "MiB"], [
            ["value blocks of the type (numbers, texts, offline twins)", "{:,}".format(blocks),
             "%.2f" % (blocks / 2**20)],
            ["the switch's peak beyond the heap in use before it", "{:,}".format(peak), "%.3f" % (peak / 2**20)],
            ["heap in use before the switch (all of it)", "{:,}".format(int(memory["heap_before"])),
             "%.2f" % (int(memory["heap_before"]) / 2**20)],
            ["of which the simulated host and the rest, not value blocks",
             "{:,}".format(int(memory["host_and_other_heap"])),
             "%.2f" % (int(memory["host_and_other_heap"]) / 2**20)],
            ["maximum resident set of the process", "{:,}".format(int(memory["max_rss_bytes"])),
             "%.2f" % (int(memory["max_rss_bytes"]) / 2**20)],
        ]))
        parts.append("")
        parts.append("(value blocks + switch peak) / value blocks = **%.3f** (goal under 1.5: %s)."
                     % (ratio, verdict(ratio < 1.5)))
        parts.append("")

    rows = instructions(results)
    if rows:
        parts.append("### Instructions (callgrind)")
        parts.append("")
        parts.append(table(["Operation on the 20,000-number config", "File bytes", "Instructions per call",
                            "Instructions per byte"], rows))
        parts.append("")

    if plot(m, plot_path):
        parts.append("![Throughput against file size](%s)" % os.path.relpath(plot_path, os.path.dirname(doc)))
        parts.append("")
    parts.append(END)
    generated = "\n".join(parts)

    text = open(doc).read() if os.path.exists(doc) else "# Performance\n\n" + BEGIN + "\n" + END + "\n"
    if BEGIN in text and END in text:
        text = text[:text.index(BEGIN)] + generated + text[text.index(END) + len(END):]
    else:
        text += "\n" + generated + "\n"
    with open(doc, "w") as f:
        f.write(text)
    print(generated)


if __name__ == "__main__":
    main()
