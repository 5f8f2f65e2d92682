#!/usr/bin/env python3
"""Host side of the benchmark: runs the driver (zurelo_bench.exe) under Wine for the floor
program and for each Zurelo.exe, reads the processes' CPU time at the driver's marks, and
prints the figures as tables and as JSON. scripts/bench sets up Wine and calls this.

Start-up and peak memory are also measured over several starts of Zurelo and of the floor,
in turn (--starts, or ZURELO_BENCH_STARTS, default 5); the tables give their medians.

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
        self.history = []  # (monotonic seconds, CPU seconds) at every read
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
            total = sum(self.seen.values()) / 1e9
            self.history.append((time.monotonic(), total))
            return total

    def at(self, t):
        """The CPU seconds at time t, between the two reads around it."""
        with self.lock:
            h = list(self.history)
        before = [p for p in h if p[0] <= t]
        after = [p for p in h if p[0] >= t]
        if not before or not after:
            return None
        (t0, c0), (t1, c1) = before[-1], after[0]
        return c0 if t1 == t0 else c0 + (c1 - c0) * (t - t0) / (t1 - t0)


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
    """CPU seconds of each followed process over one or more spans of time."""

    def __init__(self):
        self.seconds = 0.0
        self.cpu = {}
        self.open = None

    def begin(self, sample):
        self.open = sample

    def end(self, sample):
        if self.open is not None:
            (t0, c0), (t1, c1) = self.open, sample
            self.seconds += t1 - t0
            for who in c1:
                if c0.get(who) is not None and c1[who] is not None:
                    self.cpu[who] = self.cpu.get(who, 0.0) + c1[who] - c0[who]
        self.open = None

    def percent(self, who):
        if self.seconds <= 0 or who not in self.cpu:
            return None
        return round(self.cpu[who] / self.seconds * 100, 3)


# The idle phase is also cut into this many windows, each with its own ratio to the floor: their
# median says more than the whole phase's ratio when another program's burst hits one window.
IDLE_WINDOWS = 8


def window_ratios(zurelo, floor, t0, t1, n=IDLE_WINDOWS):
    """Zurelo's CPU over the floor's in n equal windows of [t0, t1]."""
    ratios = []
    for i in range(n):
        a, b = t0 + (t1 - t0) * i / n, t0 + (t1 - t0) * (i + 1) / n
        z0, z1, f0, f1 = zurelo.at(a), zurelo.at(b), floor.at(a), floor.at(b)
        if None in (z0, z1, f0, f1) or f1 <= f0:
            continue
        ratios.append(round((z1 - z0) / (f1 - f0), 3))
    return ratios


# Which mark opens and closes which measured phase.
PHASES = {
    "alone_start": ("alone", "begin"), "alone_end": ("alone", "end"),
    "idle_start": ("idle", "begin"), "idle_end": ("idle", "end"),
    "pause_start": ("pause", "begin"), "pause_end": ("pause", "end"),
    "send_begin": ("send", "begin"), "send_end": ("send", "end"),
    "steady_start": ("steady", "begin"), "steady_end": ("steady", "end"),
    "options_start": ("options", "begin"), "options_end": ("options", "end"),
}
ZURELO_PHASES = ("idle", "pause", "send", "steady", "options")


def run_driver(args, sampler, server, exe):
    """Runs the driver for one Zurelo.exe; returns its figures with the host's."""
    names = {"zurelo": os.path.basename(exe), "floor": os.path.basename(args.floor)}
    windows = {phase: Window() for phase, _ in PHASES.values()}
    counters, taken, hwm, figures = {}, set(), {}, None
    figures_windows = []
    start_hwm = {"zurelo": [], "floor": []}
    idle_span = [None, None]
    argv = [args.wine, args.driver, exe, f"{args.seconds:g}", "--floor", args.floor,
            "--peer", args.peer, "--starts", str(args.starts)]
    if args.only:
        argv += ["--only", args.only]
    proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True,
                            errors="replace")
    for line in proc.stdout:
        line = line.rstrip("\r\n")
        if line.startswith("{"):
            figures = json.loads(line)
            continue
        if not line.startswith("mark "):
            continue
        mark = line[5:]
        if mark.startswith("launched "):
            who = mark.split()[1]
            pid = None
            for _ in range(20):
                pid = unix_pid_of(names[who], args.prefix, taken)
                if pid:
                    break
                time.sleep(0.1)
            counters.pop(who, None)
            if pid:
                taken.add(pid)
                counters[who] = CpuCounter(pid)
                sampler.watch(counters[who])
            else:
                print(f"bench: no Unix process found for {names[who]}", file=sys.stderr)
            continue
        if mark.startswith("started "):
            who = mark.split()[1]
            if who in counters:
                start_hwm[who].append(peak_rss_kb(counters[who].pid))
            continue
        now = time.monotonic()
        cpu = {who: c.read() for who, c in counters.items()}
        cpu["wineserver"] = server.read()
        if mark in PHASES:
            phase, edge = PHASES[mark]
            getattr(windows[phase], edge)((now, cpu))
        if mark == "idle_start":
            idle_span[0] = now
        if mark == "idle_end" and idle_span[0] is not None and "zurelo" in counters \
                and "floor" in counters:
            # Both edges were read just now and at idle_start; the sampler's reads lie between.
            ratios = window_ratios(counters["zurelo"], counters["floor"], idle_span[0], now)
            figures_windows = ratios
        # Each program's own peak, read while it still runs: Zurelo's first start at the
        # end of its pause, the floor at the end.
        if mark == "pause_end" and "zurelo" in counters:
            hwm["zurelo"] = peak_rss_kb(counters["zurelo"].pid)
        if mark == "floor_end" and "floor" in counters:
            hwm["floor"] = peak_rss_kb(counters["floor"].pid)
    proc.wait()
    figures = figures or {"error": "no figures"}
    figures["exe"] = exe
    for phase, w in windows.items():
        for who, key in (("zurelo", "host_cpu"), ("floor", "floor_cpu"),
                         ("wineserver", "wineserver_cpu")):
            v = w.percent(who)
            if v is not None and (who != "zurelo" or phase != "alone"):
                figures[f"{key}_{phase}_percent"] = v
    alone = figures.get("floor_cpu_alone_percent")
    for phase in ZURELO_PHASES:
        z, f = figures.get(f"host_cpu_{phase}_percent"), figures.get(f"floor_cpu_{phase}_percent")
        if z is not None and f:
            figures[f"host_cpu_{phase}_floor_ratio"] = round(z / f, 3)
        if z is not None and alone:
            figures[f"host_cpu_{phase}_floor_alone_ratio"] = round(z / alone, 3)
    figures["host_cpu_idle_floor_ratio_windows"] = figures_windows
    figures["host_cpu_idle_floor_ratio_median"] = median(figures_windows)
    figures["host_peak_rss_kb"] = hwm.get("zurelo", 0)
    figures["floor_peak_rss_kb"] = hwm.get("floor", 0)
    figures["host_start_peak_rss_kb_samples"] = start_hwm["zurelo"]
    figures["floor_host_start_peak_rss_kb_samples"] = start_hwm["floor"]
    figures["host_start_peak_rss_kb"] = median(start_hwm["zurelo"])
    figures["floor_host_start_peak_rss_kb"] = median(start_hwm["floor"])
    # Each build against the floor started in turn with it, in the same run.
    for key in ("startup_median_ms", "host_start_peak_rss_kb"):
        z, f = figures.get(key), figures.get("floor_" + key)
        if z not in (None, -1) and f:
            figures[key.replace("_ms", "").replace("_kb", "") + "_floor_ratio"] = round(z / f, 3)
    return figures


def median(values):
    """The middle value (the upper one of an even count), or None."""
    return sorted(values)[len(values) // 2] if values else None


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


def print_tables(runs, seconds, starts):
    def pct(v):
        return cell(v, "{:.2f}")

    for r in runs:
        get = r.get
        alone = get("wineserver_cpu_alone_percent")
        print(f"\nCPU of {short(r['exe'])}, % of one core ({seconds:g} s per phase; slow send: "
              "only the time inside the input box's answers). Exact per-thread run time from "
              "/proc/PID/task/*/schedstat.")
        rows = []
        z = [get(f"host_cpu_{p}_percent") for p in ZURELO_PHASES]
        f = [get(f"floor_cpu_{p}_percent") for p in ZURELO_PHASES]
        w = [get(f"wineserver_cpu_{p}_percent") for p in ZURELO_PHASES]
        # Against the floor in the same seconds, and against the floor running alone.
        fa = get("floor_cpu_alone_percent")
        rows.append(["Zurelo"] + [
            pct(a) + (f" ({a / b:.2f}x floor, {a / fa:.2f}x alone)" if a is not None and b and fa
                      else "") for a, b in zip(z, f)])
        rows.append(["floor, same seconds"] + [pct(b) for b in f])
        rows.append(["Zurelo, ratio to its idle", "1.00"] + [
            f"{a / z[0]:.2f}" if a is not None and z[0] else "n/a" for a in z[1:]])
        rows.append(["Zurelo/floor, ratio to idle's", "1.00"] + [
            f"{(a / b) / (z[0] / f[0]):.2f}" if None not in (a, b, z[0], f[0]) and b and z[0]
            and f[0] else "n/a" for a, b in zip(z[1:], f[1:])])
        rows.append(["wineserver (driver, peers, floor, Zurelo)"] + [
            pct(a) + (f" ({a / alone:.2f}x alone)" if a is not None and alone else "")
            for a in w])
        print(table(rows, ["process", "idle", "pause", "slow send", "steady song",
                           "steady, once + file"]))
        print(f"Floor alone beforehand (\"alone\"): floor {pct(fa)} %, "
              f"wineserver (driver, peers and floor) {pct(alone)} %.")
        ratios = get("host_cpu_idle_floor_ratio_windows") or []
        print(f"Idle, Zurelo/floor in {IDLE_WINDOWS} equal windows of the phase: median "
              f"{cell(get('host_cpu_idle_floor_ratio_median'), '{:.2f}x')} (each: "
              + ", ".join(f"{r:.2f}" for r in ratios) + ").")

    figures = [
        ("CPU idle as Windows reports it (%)", "cpu_idle_percent", "{:.2f}"),
        ("CPU pause as Windows reports it (%)", "cpu_pause_percent", "{:.2f}"),
        ("CPU slow send as Windows reports it (%)", "cpu_slow_send_percent", "{:.2f}"),
        ("slow sends measured (count)", "slow_sends", "{}"),
        ("slow sends measured (s)", "slow_send_seconds", "{:.1f}"),
        ("title change to label, idle, samples (count)", "samples", "{}"),
        ("title change to label, idle, median (ms)", "title_to_label_ms", "{:.1f}"),
        ("title change to label, idle, worst (ms)", "title_to_label_max_ms", "{:.1f}"),
        ("title change to label, pause, median (ms)", "title_to_label_pause_ms", "{:.1f}"),
        ("title change to label, slow send, median (ms)", "title_to_label_send_ms", "{:.1f}"),
        ("title change to label, slow send, worst (ms)", "title_to_label_send_max_ms", "{:.1f}"),
        ('"On" click to the line in mIRC, first after start (ms)', "on_to_line_first_ms",
         "{:.1f}"),
        ('"On" click to the line in mIRC, samples (count)', "on_samples", "{}"),
        ('"On" click to the line in mIRC, median (ms)', "on_to_line_ms", "{:.1f}"),
        ('"On" click to the line in mIRC, worst (ms)', "on_to_line_max_ms", "{:.1f}"),
        (f"start-up to a visible window, median of {starts} starts (ms)", "startup_median_ms",
         "{:.1f}"),
        ("start-up, median, as a multiple of the floor's in the same run", "startup_median_floor_ratio",
         "{:.2f}x"),
        ("start-up to a visible window, first start (ms)", "startup_ms", "{:.1f}"),
        (f"peak memory, resident, 1 s after the window shows, median of {starts} starts (KiB)",
         "host_start_peak_rss_kb", "{}"),
        ("peak memory, resident, median, as a multiple of the floor's in the same run",
         "host_start_peak_rss_floor_ratio", "{:.2f}x"),
        ("peak memory, resident, first start to the end of its pause (floor: whole run) (KiB)",
         "host_peak_rss_kb", "{}"),
        ("peak working set as Windows reports it (KiB)", "peak_working_set_kb", "{}"),
        (f"peak working set as Windows reports it, median of {starts} starts (KiB)",
         "start_peak_working_set_kb", "{:.0f}"),
        ("open handles", "handles", "{}"),
        ("executable size (bytes)", "exe_bytes", "{}"),
    ]
    # The floor's own figures, from the first run, where it has them.
    floor = {k: runs[0].get("floor_" + k) for k in
             ("startup_ms", "peak_working_set_kb", "exe_bytes", "startup_median_ms",
              "host_start_peak_rss_kb", "start_peak_working_set_kb")}
    floor["host_peak_rss_kb"] = runs[0].get("floor_peak_rss_kb")
    rows = [[name] + [cell(c.get(key), fmt) for c in [floor] + runs] for name, key, fmt in figures]
    print()
    print(table(rows, ["figure", "floor"] + [short(r["exe"]) for r in runs]))


def print_idle(runs):
    """The figures of the idle phase alone."""
    rows = []
    for r in runs:
        z, f = r.get("host_cpu_idle_percent"), r.get("floor_cpu_idle_percent")
        rows.append([short(r["exe"]), cell(z, "{:.2f}"), cell(f, "{:.2f}"),
                     cell(r.get("host_cpu_idle_floor_ratio"), "{:.2f}x"),
                     cell(r.get("host_cpu_idle_floor_ratio_median"), "{:.2f}x"),
                     " ".join(f"{v:.2f}" for v in r.get("host_cpu_idle_floor_ratio_windows", [])),
                     cell(r.get("title_to_label_ms"), "{:.1f}")])
    print("\nIdle, % of one core, beside the floor in the same seconds.")
    print(table(rows, ["program", "Zurelo", "floor", "ratio", f"median of {IDLE_WINDOWS}",
                       "each window", "title to label (ms)"]))


def print_starts(runs, starts):
    """The figures of the starts alone, each build beside the floor started in turn with it."""
    rows = []
    for r in runs:
        for who, prefix in (("floor", "floor_"), (short(r["exe"]), "")):
            rows.append([who,
                         cell(r.get(prefix + "startup_median_ms"), "{:.1f}"),
                         cell(r.get(prefix + "host_start_peak_rss_kb"), "{}"),
                         cell(r.get(prefix + "start_peak_working_set_kb"), "{:.0f}"),
                         " ".join(str(v) for v in r.get(prefix + "startup_samples_ms", [])),
                         " ".join(str(v) for v in r.get(prefix + "host_start_peak_rss_kb_samples",
                                                        []))])
        rows.append(["  ratio to the floor",
                     cell(r.get("startup_median_floor_ratio"), "{:.2f}x"),
                     cell(r.get("host_start_peak_rss_floor_ratio"), "{:.2f}x"), "", "", ""])
    print(f"\nStarts, medians of {starts} each (floor and build in turn).")
    print(table(rows, ["program", "start-up (ms)", "peak resident (KiB)",
                       "peak working set (KiB)", "start-up, each (ms)", "resident, each (KiB)"]))


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--wine", required=True)
    p.add_argument("--driver", required=True)
    p.add_argument("--floor", required=True)
    p.add_argument("--peer", required=True)
    p.add_argument("--server-pid", type=int, required=True)
    p.add_argument("--prefix", required=True)
    p.add_argument("--seconds", type=float, required=True)
    p.add_argument("--json", required=True)
    p.add_argument("--exe", action="append", required=True)
    p.add_argument("--starts", type=int, default=int(os.environ.get("ZURELO_BENCH_STARTS", 5)),
                   help="starts of each program for the start-up and memory medians")
    p.add_argument("--only", choices=("starts", "idle"),
                   help="a quicker look: only the starts, or only the floor alone and Zurelo idle")
    args = p.parse_args()
    args.starts = max(1, args.starts)

    sampler = Sampler()
    server = CpuCounter(args.server_pid)
    sampler.watch(server)
    runs = []
    for exe in args.exe:
        print(f"bench: measuring {exe} beside the floor", file=sys.stderr)
        runs.append(run_driver(args, sampler, server, exe))
    with open(args.json, "w") as f:
        json.dump(runs, f, indent=2)
    if args.only == "starts":
        print_starts(runs, args.starts)
    elif args.only == "idle":
        print_idle(runs)
    else:
        print_tables(runs, args.seconds, args.starts)
    print(f"\nwritten to {args.json}")


if __name__ == "__main__":
    main()
