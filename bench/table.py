"""Turns the benchmark JSON and /usr/bin/time output into the README table."""
import json
import re
import sys

data = json.load(open(sys.argv[1]))
median = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].split("/min_time")[0]
        median[name] = b["real_time"]  # milliseconds

sizes = {"0": "camp", "1": "stress"}
targets = {"camp": (16, 100), "stress": (100, 1000)}
interactive = ["BM_MainReload", "BM_DishSearchKeystroke", "BM_IngredientSearchKeystroke", "BM_OpenPlanEntry",
               "BM_OpenDishEditor"]
reports = ["BM_ShoppingAll", "BM_ShoppingFresh", "BM_Cookbook", "BM_ExportPlan", "BM_ImportPlan"]
baselines = {"BM_MainReload": "BM_MainReload_Bare", "BM_ReportQueries<1>": "BM_ReportQueries_Bare<1>",
             "BM_ReportQueries<3>": "BM_ReportQueries_Bare<3>", "BM_ReportQueries<5>": "BM_ReportQueries_Bare<5>"}

print("| benchmark | size | median ms | target ms | met |")
print("|---|---|---:|---:|---|")
for names, kind in ((interactive, 0), (reports, 1)):
    for n in names:
        for arg, size in sizes.items():
            t = median.get(f"{n}/{arg}")
            if t is None:
                continue
            target = targets[size][kind]
            print(f"| {n[3:]} | {size} | {t:.2f} | {target} | {'yes' if t < target else 'NO'} |")
print()
print("| ours / bare SQLite | size | ours ms | bare ms | ratio | met (<= 3) |")
print("|---|---|---:|---:|---:|---|")
for ours, bare in baselines.items():
    for arg, size in sizes.items():
        a, b = median.get(f"{ours}/{arg}"), median.get(f"{bare}/{arg}")
        if a and b:
            print(f"| {ours[3:]} | {size} | {a:.2f} | {b:.2f} | {a / b:.2f} | {'yes' if a / b <= 3 else 'NO'} |")
print()
print("| doubling the plan | stress ms | stress2x ms | factor | met (<= 2.2) |")
print("|---|---:|---:|---:|---|")
for n in ["BM_MainReload"] + reports:
    a, b = median.get(f"{n}/1"), median.get(f"{n}/2")
    if a and b:
        print(f"| {n[3:]} | {a:.2f} | {b:.2f} | {b / a:.2f} | {'yes' if b / a <= 2.2 else 'NO'} |")
print()
time = open(sys.argv[2]).read()
rss = re.search(r"Maximum resident set size \(kbytes\): (\d+)", time)
if rss:
    mb = int(rss.group(1)) / 1024
    print(f"Peak memory of a stress-size session (start-up, reload, every report once): {mb:.0f} MB "
          f"(target 200 MB: {'met' if mb < 200 else 'NOT met'})")
