"""The table of bench/run-engines: each benchmark on the file and on the server, and the tlm --pdf runs."""
import json
import re
import sys

data = json.load(open(sys.argv[1]))
median = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") == "median":
        median[b["run_name"].split("/min_time")[0]] = b["real_time"]  # milliseconds

reports = ["Speiseplan", "Einkaufsliste Alles", "Einkaufsliste Haltbares", "Einkaufsliste Frisches (pro Tag)",
           "Kochbuch", "Kosten pro Tag und Person", "Einkaufsplan (alle 7 Tage)", "Restbestand", "Rezeptkarten",
           "Wochenplan", "Allergene je Gericht"]
rows = [("plan reload (main window requery)", "BM_EnginePlanReload"),
        ("plan statement, through the recordsets", "BM_EnginePlanStatement"),
        ("plan statement, bare sqlite3 / libpq", "BM_EnginePlanStatement_Bare")]
rows += [(f"report \"{t}\", complete", f"BM_EngineReport/{{}}/{k}") for k, t in enumerate(reports)]


def ms(t):
    return f"{t:,.1f} ms" if t < 1000 else f"{t / 1000:,.2f} s"


print("| what (stress size) | file | server | server / file |")
print("|---|---:|---:|---:|")
for what, name in rows:
    key = name if "{}" in name else name + "/{}"
    a, b = median.get(key.format(0)), median.get(key.format(1))
    if a is not None and b is not None:
        print(f"| {what} | {ms(a)} | {ms(b)} | {b / a:.2f} |")


def timed(path):
    text = open(path).read()
    clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (?:(\d+):)?(\d+):([\d.]+)", text)
    wall = int(clock.group(1) or 0) * 3600 + int(clock.group(2)) * 60 + float(clock.group(3))
    cpu = sum(float(x) for x in re.findall(r"(?:User|System) time \(seconds\): ([\d.]+)", text))
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1)) / 1024
    return wall, cpu, rss


f, s = timed(sys.argv[2]), timed(sys.argv[3])
print(f"| `tlm --pdf DIR`, all eleven reports: wall clock | {f[0]:.2f} s | {s[0]:.2f} s | {s[0] / f[0]:.2f} |")
print(f"| the same: CPU time of tlm | {f[1]:.2f} s | {s[1]:.2f} s | {s[1] / f[1]:.2f} |")
print(f"| the same: peak memory of tlm | {f[2]:.0f} MB | {s[2]:.0f} MB | {s[2] / f[2]:.2f} |")
print()
print("load before and after: " + " / ".join(l.split("load average:")[1].strip() for l in open(sys.argv[4])))
