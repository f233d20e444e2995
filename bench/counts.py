# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT
# Counts, not times, for the same start-up the timings cover (each program a whole process that
# ends once its window is painted): X requests and the replies waited for, system calls, page
# faults, the dynamic linker's relocations and symbol lookups, and instructions, for the bare
# window, the plain board and the program (no record file). Counts hold on a busy machine where
# times do not. The platform is the caller's QT_QPA_PLATFORM (and DISPLAY). A row whose tool is
# missing (strace, xtrace, valgrind) is left out.
#
#   python3 bench/counts.py <build-dir> [bench_vantorel to count instead of the tree's]
import collections
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

bench = os.path.join(sys.argv[1], "bench")
vantorel = sys.argv[2] if len(sys.argv) > 2 else os.path.join(bench, "bench_vantorel")
work = tempfile.mkdtemp()
record = os.path.join(work, "none", "games.sqlite")
xcb = os.environ.get("QT_QPA_PLATFORM", "xcb").startswith("xcb")


def run(args, env=None, output=subprocess.DEVNULL):
    shutil.rmtree(os.path.dirname(record), ignore_errors=True)
    process = subprocess.Popen(args, stdout=output, stderr=subprocess.DEVNULL,
                               env=dict(os.environ, **(env or {})))
    _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        sys.exit(f"{args[0]} failed (status {status})")
    return usage


# The board's size and scale, as the tree's program prints them, for the floors to copy.
size = subprocess.run([os.path.join(bench, "bench_vantorel"), "--size"], capture_output=True,
                      text=True, check=True).stdout
width, height, pixels_per_twip, font_factor = size.split()
programs = {
    "bare": [os.path.join(bench, "bench_bare"), width, height],
    "plain": [os.path.join(bench, "bench_plain"), pixels_per_twip, font_factor],
    "vantorel": [vantorel, "--record", record],
}
rows = []  # (label, {program: value}, format)


def median_of(count, times=5):
    return {name: statistics.median(count(args) for _ in range(times))
            for name, args in programs.items()}


rows.append(("page faults", median_of(lambda args: run(args).ru_minflt), "{:.0f}"))


def syscalls(args):
    summary = os.path.join(work, "strace")
    run(["strace", "-f", "-c", "-o", summary] + args)
    with open(summary) as table:
        total = [line for line in table if line.rstrip().endswith("total")]
    return int(total[0].split()[3])


if shutil.which("strace"):
    rows.append(("system calls", median_of(syscalls), "{:.0f}"))


# The dynamic linker's own account: relocations done, symbols bound and the objects searched
# for them (every object in the search order up to the one that has the symbol).
def linking(args):
    log = os.path.join(work, "ld")
    for name in os.listdir(work):
        if name.startswith("ld."):
            os.remove(os.path.join(work, name))
    run(args, {"LD_DEBUG": "statistics,symbols,bindings", "LD_DEBUG_OUTPUT": log})
    counts = collections.Counter()
    for name in os.listdir(work):
        if not name.startswith("ld."):
            continue
        with open(os.path.join(work, name), errors="replace") as lines:
            for line in lines:
                if "lookup in file=" in line:
                    counts["probes"] += 1
                elif "binding file " in line:
                    counts["bindings"] += 1
                elif "final number of relocations:" in line:
                    counts["relocations"] = int(line.split(":")[-1])
    return counts


linked = {name: linking(args) for name, args in programs.items()}
rows.append(("relocations", {n: c["relocations"] for n, c in linked.items()}, "{:.0f}"))
rows.append(("symbols bound", {n: c["bindings"] for n, c in linked.items()}, "{:.0f}"))
rows.append(("objects searched", {n: c["probes"] for n, c in linked.items()}, "{:.0f}"))


# Instructions of the program's own process (not of a child it forks, which callgrind counts
# from the fork on, with the parent's count until then), the dynamic linker's share, and the
# calls that wait for an X reply.
def instructions(args):
    for name in os.listdir(work):
        if name.startswith("callgrind."):
            os.remove(os.path.join(work, name))
    run(["valgrind", "--tool=callgrind",
         "--callgrind-out-file=" + os.path.join(work, "callgrind.%p")] + args)
    best = None
    for name in os.listdir(work):
        if name.startswith("callgrind."):
            with open(os.path.join(work, name)) as profile:
                text = profile.read()
            total = int(re.search(r"^totals: (\d+)", text, re.M).group(1))
            if not best or total > best[0]:
                best = (total, text)
    total, text = best
    linker, waits, obj, callee, names = 0, 0, "", None, {}
    for line in text.splitlines():
        key, _, value = line.partition("=")
        if key in ("ob", "cob", "fn", "cfn"):
            match = re.match(r"\((\d+)\)(?: (.*))?", value)
            kind = "o" if key.endswith("ob") else "f"
            if match.group(2):
                names[kind, match.group(1)] = match.group(2)
            label = names.get((kind, match.group(1)), "")
            if key == "ob":
                obj = label
            elif key == "fn":
                callee = None
            elif key == "cfn":
                callee = label
        elif key == "calls":
            if callee.startswith("xcb_wait_for_reply"):
                waits += int(value.split()[0])
        elif line[:1].isdigit() or line[:1] in "+-*":
            if callee is not None:  # a call's cost line: inclusive, the callee counts its own
                callee = None
            elif "ld-linux" in obj and len(line.split()) > 1:
                linker += int(line.split()[1])
    return total, linker, waits


if shutil.which("valgrind"):
    profiled = {name: instructions(args) for name, args in programs.items()}
    rows.append(("instructions (M)", {n: p[0] / 1e6 for n, p in profiled.items()}, "{:.2f}"))
    rows.append(("  in ld.so (M)", {n: p[1] / 1e6 for n, p in profiled.items()}, "{:.2f}"))
    if xcb:
        rows.append(("X replies waited for", {n: p[2] for n, p in profiled.items()}, "{:.0f}"))

# The X requests, by name: how many, and which ones the program sends beyond the plain board.
requests = {}
if xcb and shutil.which("xtrace"):
    # xtrace stands between the program and the display, as a display of its own.
    proxy = next(n for n in range(90, 200) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
    for name, args in programs.items():
        trace = os.path.join(work, "xtrace")
        if os.path.exists(trace):
            os.remove(trace)  # xtrace adds to it
        run(["xtrace", "-n", "-D", f":{proxy}", "-o", trace, "--"] + args)
        with open(trace, errors="replace") as lines:
            requests[name] = collections.Counter(
                    match.group(1) for match in
                    (re.search(r":<:[0-9a-f]+: *\d+: (?:[\w-]+-)?Request\([\d,]+\): (\w+)", line)
                     for line in lines) if match)
    rows.insert(0, ("X requests", {n: sum(c.values()) for n, c in requests.items()}, "{:.0f}"))

print(f"Counts up to the first board painted (platform {os.environ.get('QT_QPA_PLATFORM')}; "
      "page faults and system calls: medians of 5)")
print(f"  {'':22} {'bare':>10} {'plain':>10} {'vantorel':>10} {'- plain':>10}")
for label, values, form in rows:
    cells = "".join(f" {form.format(values[n]):>10}" for n in ("bare", "plain", "vantorel"))
    difference = ("+" if values["vantorel"] >= values["plain"] else "") + form.format(
            values["vantorel"] - values["plain"])
    print(f"  {label:22}{cells} {difference:>10}")
if requests:
    extra = requests["vantorel"] - requests["plain"]
    fewer = requests["plain"] - requests["vantorel"]
    print("  X requests beyond the plain board's: "
          + (", ".join(f"{name} {count}" for name, count in sorted(extra.items())) or "none")
          + ("; fewer: " + ", ".join(f"{name} {count}" for name, count in sorted(fewer.items()))
             if fewer else ""))
shutil.rmtree(work, ignore_errors=True)
