#!/usr/bin/env python3
"""Host side of the benchmark: runs the driver (zurelo_bench.exe) under Wine for the floor
program and for each Zurelo.exe, reads the processes' CPU time at the driver's marks, and
prints the figures as tables and as JSON. scripts/bench sets up Wine and calls this.

CPU time is the scheduler's exact per-thread run time (the first field of
/proc/PID/task/*/schedstat, in nanoseconds), summed over the threads of Zurelo's Unix
process and of the wineserver. The tick-sampled utime/stime misjudge a process that wakes
for short bursts 100 times a second.
"""

import argparse
import glob
import json
import os
import subprocess
import sys
import threading
import time


class CpuCounter:
    """A process's CPU seconds over all threads it has had. Threads are read every quarter
    second as well as at each mark, so one that ends between marks still counts (up to its
    last quarter second)."""

    def __init__(self, pid):
        self.pid = pid
        self.seen = {}
        self.lock = threading.Lock()

    def read(self):
        with self.lock:
            for path in glob.glob(f"/proc/{self.pid}/task/*/schedstat"):
                tid = path.split("/")[4]
                try:
                    with open(path) as f:
                        ns = int(f.read().split()[0])
                except (OSError, ValueError, IndexError):
                    continue
                self.seen[tid] = max(self.seen.get(tid, 0), ns)
            return sum(self.seen.values()) / 1e9


class Sampler:
    """Reads the counters it is given four times a second in the background."""

    def __init__(self):
        self.counters = []
        self.lock = threading.Lock()
        threading.Thread(target=self._run, daemon=True).start()

    def watch(self, counter):
        with self.lock:
            self.counters = [c for c in self.counters if c.pid != counter.pid] + [counter]

    def _run(self):
        while True:
            with self.lock:
                counters = list(self.counters)
            for c in counters:
                c.read()
            time.sleep(0.25)


def peak_rss_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def unix_pid_of(name, prefix, taken):
    """The newest Unix process running a Windows program of this prefix whose command
    line names `name`, leaving out the driver and processes already followed."""
    best, best_start = None, -1
    for d in glob.glob("/proc/[0-9]*"):
        pid = int(d[6:])
        if pid in taken:
            continue
        try:
            if not os.path.basename(os.readlink(f"{d}/exe")).startswith("wine"):
                continue
            with open(f"{d}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode(errors="replace").lower()
            if name.lower() not in cmd or "zurelo_bench" in cmd:
                continue
            with open(f"{d}/environ", "rb") as f:
                if f"WINEPREFIX={prefix}".encode() not in f.read().split(b"\0"):
                    continue
            with open(f"{d}/stat") as f:
                start = int(f.read().rsplit(")", 1)[1].split()[19])
        except (OSError, ValueError, IndexError):
            continue
        if start > best_start:
            best, best_start = pid, start
    return best


class Window:
    """CPU seconds of the program and of the wineserver over one or more spans of time."""

    def __init__(self):
        self.seconds = self.cpu = self.server = 0.0
        self.open = None

    def begin(self, sample):
        self.open = sample

    def end(self, sample):
        if self.open is None or self.open[1] is None or sample[1] is None:
            self.open = None
            return
        t0, z0, s0 = self.open
        t1, z1, s1 = sample
        self.seconds += t1 - t0
        self.cpu += z1 - z0
        self.server += s1 - s0
        self.open = None

    def percent(self):
        if self.seconds <= 0:
            return None, None
        return (round(self.cpu / self.seconds * 100, 3),
                round(self.server / self.seconds * 100, 3))


# Which mark opens and closes which measured phase.
PHASES = {
    "floor_start": ("idle", "begin"), "floor_end": ("idle", "end"),
    "idle_start": ("idle", "begin"), "idle_end": ("idle", "end"),
    "pause_start": ("pause", "begin"), "pause_end": ("pause", "end"),
    "send_begin": ("send", "begin"), "send_end": ("send", "end"),
}


def run_driver(args, sampler, server, argv, name):
    """Runs the driver once; returns its JSON figures and the host's phase figures."""
    windows = {"idle": Window(), "pause": Window(), "send": Window()}
    counter, taken, hwm, figures = None, set(), 0, None
    proc = subprocess.Popen([args.wine, args.driver] + argv, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, text=True, errors="replace")
    for line in proc.stdout:
        line = line.rstrip("\r\n")
        if line.startswith("{"):
            figures = json.loads(line)
            continue
        if not line.startswith("mark "):
            continue
        mark = line[5:]
        if mark == "launched":
            pid = None
            for _ in range(20):
                pid = unix_pid_of(name, args.prefix, taken)
                if pid:
                    break
                time.sleep(0.1)
            counter = CpuCounter(pid) if pid else None
            if pid:
                taken.add(pid)
                sampler.watch(counter)
            else:
                print(f"bench: no Unix process found for {name}", file=sys.stderr)
            continue
        sample = (time.monotonic(), counter.read() if counter else None, server.read())
        if mark in PHASES:
            phase, edge = PHASES[mark]
            getattr(windows[phase], edge)(sample)
        # The peak of the first start, read while it still runs: each program its own.
        if mark in ("pause_end", "floor_end") and counter:
            hwm = peak_rss_kb(counter.pid)
    proc.wait()
    if figures is None:
        figures = {"error": "no figures"}
    for phase, w in windows.items():
        cpu, srv = w.percent()
        if cpu is not None:
            figures[f"host_cpu_{phase}_percent"] = cpu
            figures[f"wineserver_cpu_{phase}_percent"] = srv
    figures["host_peak_rss_kb"] = hwm
    return figures


def cell(value, fmt):
    return "n/a" if value is None or value == -1 else fmt.format(value)


def table(rows, heads):
    widths = [max(len(r[i]) for r in [heads] + rows) for i in range(len(heads))]
    out = ["| " + " | ".join(h.ljust(w) if i == 0 else h.rjust(w)
                             for i, (h, w) in enumerate(zip(heads, widths))) + " |",
           "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
    for r in rows:
        out.append("| " + " | ".join(c.ljust(w) if i == 0 else c.rjust(w)
                                     for i, (c, w) in enumerate(zip(r, widths))) + " |")
    return "\n".join(out)


def short(path):
    parts = path.replace("\\", "/").split("/")
    return "/".join(parts[-2:]) if len(parts) >= 2 else path


def print_tables(floor, runs, seconds):
    def ratio(v, base):
        return f" ({v / base:.2f}x)" if v is not None and base else ""

    def cpu_rows(label, row, key):
        idle = row.get(f"{key}_idle_percent")
        pause = row.get(f"{key}_pause_percent")
        send = row.get(f"{key}_send_percent")
        base = floor.get(f"{key}_idle_percent")
        return [label] + [cell(v, "{:.2f}") + ratio(v, base) for v in (idle, pause, send)] + [
            f"{v / idle:.2f}" if v is not None and idle else "n/a" for v in (pause, send)]

    print(f"\nCPU, % of one core over each phase ({seconds:g} s each; slow send: only the time "
          "inside the input box's answers).\nExact per-thread run time from "
          "/proc/PID/task/*/schedstat; (1.18x) = times the floor's idle figure.")
    heads = ["program", "idle", "pause", "slow send", "pause/idle", "send/idle"]
    rows = [["floor", cell(floor.get("host_cpu_idle_percent"), "{:.2f}"), "", "", "", ""]]
    rows += [cpu_rows(short(r["exe"]), r, "host_cpu") for r in runs]
    rows.append(["wineserver beside the floor",
                 cell(floor.get("wineserver_cpu_idle_percent"), "{:.2f}"), "", "", "", ""])
    rows += [cpu_rows("wineserver beside " + short(r["exe"]), r, "wineserver_cpu") for r in runs]
    print(table(rows, heads))

    figures = [
        ("CPU idle as Windows reports it (%)", "cpu_idle_percent", "{:.2f}"),
        ("CPU pause as Windows reports it (%)", "cpu_pause_percent", "{:.2f}"),
        ("CPU slow send as Windows reports it (%)", "cpu_slow_send_percent", "{:.2f}"),
        ("slow sends measured (count)", "slow_sends", "{}"),
        ("slow sends measured (s)", "slow_send_seconds", "{:.1f}"),
        ("title change to label, idle, median (ms)", "title_to_label_ms", "{:.1f}"),
        ("title change to label, idle, worst (ms)", "title_to_label_max_ms", "{:.1f}"),
        ("title change to label, pause, median (ms)", "title_to_label_pause_ms", "{:.1f}"),
        ("title change to label, slow send, median (ms)", "title_to_label_send_ms", "{:.1f}"),
        ("title change to label, slow send, worst (ms)", "title_to_label_send_max_ms", "{:.1f}"),
        ('"On" click to the line in mIRC (ms)', "on_to_line_ms", "{:.1f}"),
        ("start-up to a visible window (ms)", "startup_ms", "{:.1f}"),
        ("peak memory, resident (KiB)", "host_peak_rss_kb", "{}"),
        ("peak working set as Windows reports it (KiB)", "peak_working_set_kb", "{}"),
        ("open handles", "handles", "{}"),
        ("executable size (bytes)", "exe_bytes", "{}"),
    ]
    cols = [floor] + runs
    rows = [[name] + [cell(c.get(key), fmt) for c in cols] for name, key, fmt in figures]
    print()
    print(table(rows, ["figure", "floor"] + [short(r["exe"]) for r in runs]))


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--wine", required=True)
    p.add_argument("--driver", required=True)
    p.add_argument("--floor", required=True)
    p.add_argument("--server-pid", type=int, required=True)
    p.add_argument("--prefix", required=True)
    p.add_argument("--seconds", type=float, required=True)
    p.add_argument("--json", required=True)
    p.add_argument("--exe", action="append", required=True)
    args = p.parse_args()

    sampler = Sampler()
    server = CpuCounter(args.server_pid)
    sampler.watch(server)
    secs = f"{args.seconds:g}"

    print(f"bench: measuring the floor {args.floor}", file=sys.stderr)
    floor = run_driver(args, sampler, server, ["--floor", args.floor, secs],
                       os.path.basename(args.floor))
    floor["exe"] = args.floor
    runs = []
    for exe in args.exe:
        print(f"bench: measuring {exe}", file=sys.stderr)
        row = run_driver(args, sampler, server, [exe, secs], os.path.basename(exe))
        row["exe"] = exe
        for key in ("host_cpu", "wineserver_cpu"):
            base = floor.get(f"{key}_idle_percent")
            row[f"floor_{key}_idle_percent"] = base
            for phase in ("idle", "pause", "send"):
                v = row.get(f"{key}_{phase}_percent")
                if v is not None and base:
                    row[f"{key}_{phase}_floor_ratio"] = round(v / base, 3)
        runs.append(row)

    with open(args.json, "w") as f:
        json.dump(runs, f, indent=2)
    print_tables(floor, runs, args.seconds)
    print(f"\nwritten to {args.json}")


if __name__ == "__main__":
    main()
