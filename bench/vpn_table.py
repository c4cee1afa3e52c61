"""Helpers of bench/run-vpn.

  vpn_table.py watch DIR EVENTS   notes when each file in DIR is finished (inotify: written and closed,
                                  or renamed into place) as "epoch seconds<TAB>name" lines in EVENTS;
                                  EVENTS exists once the watch is set; ends when ".end" is finished
  vpn_table.py table OUT          the tables of the runs recorded in OUT (see bench/run-vpn)
"""
import collections
import ctypes
import ctypes.util
import json
import os
import re
import statistics
import struct
import sys
import time

IN_CLOSE_WRITE, IN_MOVED_TO, IN_IGNORED = 0x008, 0x080, 0x8000


def watch(folder, events):
    libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
    fd = libc.inotify_init()
    if fd < 0 or libc.inotify_add_watch(fd, folder.encode(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0:
        sys.exit("vpn_table.py: inotify: " + os.strerror(ctypes.get_errno()))
    with open(events, "w") as out:
        out.flush()
        while True:
            data = os.read(fd, 65536)
            now = time.time()
            at = 0
            while at < len(data):
                _, mask, _, length = struct.unpack_from("iIII", data, at)
                name = data[at + 16:at + 16 + length].rstrip(b"\0").decode()
                at += 16 + length
                if name == ".end" or mask & IN_IGNORED:  # the end, or the folder is gone
                    return
                out.write(f"{now:.6f}\t{name}\n")
                out.flush()


# A statement line of the server's log: log_line_prefix '%n|%p|%a| ', log_statement = all.
LINE = re.compile(r"^(\d+\.\d+)\|(\d+)\|([^|]*)\| LOG:  (?:statement|execute [^:]*): (.*)$")
MARK = re.compile(r"select 'tlm-vpn (begin|end) ([^']+)'")
PROGRAM = "Fennor Tellomat"


def statements(log):
    """{run: [(time, text)]}: the program's statements between the run's marks."""
    runs, current = {}, None
    for line in open(log, encoding="utf-8", errors="replace"):
        m = LINE.match(line)
        if not m:
            continue
        mark = MARK.search(m.group(4))
        if mark and m.group(3) != PROGRAM:
            current = mark.group(2) if mark.group(1) == "begin" else None
            if current:
                runs[current] = []
        elif current and m.group(3) == PROGRAM:
            runs[current].append((float(m.group(1)), m.group(4)))
    return runs


def shape(text):
    """A statement with its values left out, so that the same statement counts as one."""
    text = re.sub(r"'[^']*'", "?", text)
    text = re.sub(r"\b\d+(\.\d+)?\b", "?", text)
    text = re.sub(r"\(\s*\?(\s*,\s*\?)*\s*\)", "(…)", text)
    return re.sub(r"\s+", " ", text).strip()


def wall(path):
    text = open(path).read()
    clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (?:(\d+):)?(\d+):([\d.]+)", text)
    return int(clock.group(1) or 0) * 3600 + int(clock.group(2)) * 60 + float(clock.group(3))


def turns(path):
    return sum(int(m) for m in re.findall(r"(\d+) turns", open(path).read()))


def finished(path):
    """[(time, report)] in the order the reports were finished. tlm --pdf writes each report into an
    unnamed file ("#INODE" to inotify, closed when the report is finished) and gives them their names
    in the same order once all are written."""
    closed, names = [], []
    for line in open(path):
        t, name = line.rstrip("\n").split("\t")
        if name.startswith("#"):
            closed.append(float(t))
        elif name.endswith(".pdf"):
            names.append(name[:-4])
    if len(closed) != len(names):
        return [(max([0.0] + closed), "(all reports: the files were not told apart)")]
    return list(zip(closed, names))


def per_report(stmts, done):
    """Statements per report: each goes to the first report finished after the server saw it."""
    counts = collections.OrderedDict((n, 0) for _, n in done)
    counts["(after the last report)"] = 0
    for t, _ in stmts:
        name = next((n for d, n in done if t < d), "(after the last report)")
        counts[name] += 1
    return counts


def seconds(t):
    return f"{t * 1000:,.0f} ms" if t < 1 else f"{t:,.2f} s"


def app_figures(path):
    """(about, start, [dialog ms]) of a tlm_bench_vpn run."""
    about, start, dialogs = None, None, []
    for line in open(path):
        what, ms = line.split()
        if what == "about":
            about = float(ms)
        elif what == "start":
            start = float(ms)
        elif what == "dialog":
            dialogs.append(float(ms))
    return about, start, dialogs


def app_table(out, config, runs):
    """The start and the plan entry dialog: a row per size and route, medians over the runs."""
    sizes, reps, delay = config["sizes"], config["repetitions"], config["delay_ms"]
    routes = [("file", "file"), ("direct", "server direct"), ("vpn", f"server at {delay} ms each way")]
    print("| the program as the user starts it | until the About box shows | until the main window shows "
          "| \"&Zufügen\" until the dialog shows: first click | clicks 2 to 5 "
          "| statements: start, each click and cancel |")
    print("|---|---:|---:|---:|---:|---|")
    ms = lambda values: f"{statistics.median(values):,.0f} ms" if values else ""
    for s in sizes:
        for r, name in routes:
            figures = [app_figures(os.path.join(out, "runs", f"app-{s}-{r}-{n}.out")) for n in range(1, reps + 1)]
            counted = ""
            if r == "vpn" and f"app-{s}-vpn-start" in runs and f"app-{s}-vpn-1" in runs:
                start, whole = len(runs[f"app-{s}-vpn-start"]), len(runs[f"app-{s}-vpn-1"])
                clicks = len(figures[0][2])
                counted = f"{start}, {(whole - start) / clicks:.0f}" if clicks else str(start)
            print(f"| {config['names'][s]}, {name} | {ms([f[0] for f in figures if f[0] is not None])} "
                  f"| {ms([f[1] for f in figures if f[1] is not None])} | {ms([f[2][0] for f in figures if f[2]])} "
                  f"| {ms([v for f in figures for v in f[2][1:]])} | {counted} |")


def table(out):
    config = json.load(open(os.path.join(out, "config.json")))
    runs = statements(os.path.join(out, "server.log"))
    sizes, reps, delay = config["sizes"], config["repetitions"], config["delay_ms"]
    run = lambda size, route, rep: os.path.join(out, "runs", f"{size}-{route}-{rep}")

    print(f"| `tlm --pdf DIR` | time on the file | time direct | time at {delay} ms each way | ratio to direct "
          f"| statements | round trips | over {delay} ms: round trips x {2 * delay} ms |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    for size in sizes:
        on_file = statistics.median(wall(run(size, "file", r) + ".time") for r in range(1, reps + 1))
        direct = statistics.median(wall(run(size, "direct", r) + ".time") for r in range(1, reps + 1))
        vpn = statistics.median(wall(run(size, "vpn", r) + ".time") for r in range(1, reps + 1))
        counts = {len(runs.get(f"{size}-{route}-{r}", [])) for route in ("direct", "vpn")
                  for r in range(1, reps + 1)}
        count = "/".join(str(c) for c in sorted(counts))  # one figure unless the runs differed
        trips = statistics.median(turns(run(size, "vpn", r) + ".proxy") for r in range(1, reps + 1))
        print(f"| {config['names'][size]} | {seconds(on_file)} | {seconds(direct)} | {seconds(vpn)} | {vpn / direct:.2f} | {count} "
              f"| {trips:.0f} | {seconds(trips * 2 * delay / 1000)} |")

    print()
    print("| statements per report (the first with the opening of the connection) | "
          + " | ".join(config["names"][s] for s in sizes) + " |")
    print("|---|" + "---:|" * len(sizes))
    columns = {}
    for size in sizes:
        key = f"{size}-vpn-1"
        columns[size] = per_report(runs.get(key, []), finished(run(size, "vpn", 1) + ".events"))
    names = list(columns[sizes[-1]])
    for name in names:
        print(f"| {name} | " + " | ".join(str(columns[s].get(name, "")) for s in sizes) + " |")

    print()
    app_table(out, config, runs)

    size = sizes[-1]
    common = collections.Counter(shape(text) for _, text in runs.get(f"{size}-vpn-1", []))
    print()
    print(f"| statements of `--pdf` at {config['names'][size]}, the most frequent (values left out) | count |")
    print("|---|---:|")
    for text, n in common.most_common(12):
        text = text if len(text) <= 110 else text[:107] + "…"
        print(f"| `{text.replace('|', '/')}` | {n} |")
    print()
    print("load before and after: "
          + " / ".join(l.split("load average:")[1].strip() for l in open(os.path.join(out, "load.txt"))))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "watch":
        watch(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] == "table":
        table(sys.argv[2])
    else:
        sys.exit(__doc__)
