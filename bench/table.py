"""Turns the benchmark JSON and /usr/bin/time output into the README tables."""
import json
import re
import sys

data = json.load(open(sys.argv[1]))
median = {}
pages = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") == "median":
        name = b["run_name"].split("/min_time")[0]
        median[name] = b["real_time"]  # milliseconds
        if "pages" in b:
            pages[name] = b["pages"]

sizes = {"0": "camp", "1": "stress"}
# Targets in ms per size: actions (camp 2, stress 100; the plan reload 50), reports (camp 10, stress 1000).
actions = ["BM_MainReload", "BM_DishSearchKeystroke", "BM_IngredientSearchKeystroke", "BM_OpenPlanEntry",
           "BM_OpenDishEditor", "BM_CostLabel", "BM_CopyDays", "BM_ChangePersons"]
reports = ["BM_MealPlan", "BM_ShoppingAll", "BM_ShoppingFresh", "BM_Cookbook", "BM_ShoppingPlanWeekly",
           "BM_CostReport", "BM_ShoppingCsv", "BM_ExportPlan", "BM_ImportPlan"]


def target(name, size, kind):
    if name == "BM_MainReload" and size == "stress":
        return 50
    return {"camp": (2, 10), "stress": (100, 1000)}[size][kind]


def yes(ok):
    return "yes" if ok else "NO"


print("| benchmark | size | median ms | target ms | met |")
print("|---|---|---:|---:|---|")
for names, kind in ((actions, 0), (reports, 1)):
    for n in names:
        for arg, size in sizes.items():
            t = median.get(f"{n}/{arg}")
            if t is None:
                continue
            goal = target(n, size, kind)
            print(f"| {n[3:]} | {size} | {t:.2f} | {goal} | {yes(t < goal)} |")
print()
titles = ["meal plan", "Alles", "Frisches", "cookbook", "Einkaufsplan (weekly)", "costs"]
print("| page 1 on the screen | camp ms | stress ms | met (stress < 150) |")
print("|---|---:|---:|---|")
for k, title in enumerate(titles):
    a, b = median.get(f"BM_FirstPage/0/{k}"), median.get(f"BM_FirstPage/1/{k}")
    if a and b:
        print(f"| {title} | {a:.2f} | {b:.2f} | {yes(b < 150)} |")
print()
print("| statements: ours / bare SQLite | size | ours ms | bare ms | ratio | met |")
print("|---|---|---:|---:|---:|---|")
bare = [("BM_MainReload", "BM_MainReload_Bare", 1.5)] + [
    (f"BM_ReportQueries<{k}>", f"BM_ReportQueries_Bare<{k}>", 1.2) for k in (1, 3, 5, 6)]
for ours, base, limit in bare:
    for arg, size in sizes.items():
        a, b = median.get(f"{ours}/{arg}"), median.get(f"{base}/{arg}")
        if a and b:
            print(f"| {ours[3:]} | {size} | {a:.2f} | {b:.2f} | {a / b:.2f} | {yes(a / b <= limit)} (<= {limit}) |")
print()
print("| whole report / its statements | size | report ms | statements ms | ratio | met (<= 3) |")
print("|---|---|---:|---:|---:|---|")
for report, k in (("BM_ShoppingAll", 1), ("BM_ShoppingFresh", 3), ("BM_Cookbook", 5), ("BM_MealPlan", 6)):
    for arg, size in sizes.items():
        a, b = median.get(f"{report}/{arg}"), median.get(f"BM_ReportQueries<{k}>/{arg}")
        if a and b:
            print(f"| {report[3:]} | {size} | {a:.2f} | {b:.2f} | {a / b:.2f} | {yes(a / b <= 3)} |")
print()
print("| doubling the plan | stress ms | stress2x ms | factor | met (<= 2.2) |")
print("|---|---:|---:|---:|---|")
for n in ["BM_MainReload"] + reports:
    a, b = median.get(f"{n}/1"), median.get(f"{n}/2")
    if a and b:
        print(f"| {n[3:]} | {a:.2f} | {b:.2f} | {b / a:.2f} | {yes(b / a <= 2.2)} |")
print()
time = open(sys.argv[2]).read()
pdf_time = open(sys.argv[3]).read() if len(sys.argv) > 3 else ""
pdf_pages = int(open(sys.argv[4]).read()) if len(sys.argv) > 4 else 0
pdf_files = int(open(sys.argv[5]).read()) if len(sys.argv) > 5 else 0
rss = re.search(r"Maximum resident set size \(kbytes\): (\d+)", time)
if rss:
    mb = int(rss.group(1)) / 1024
    print(f"Peak memory of a stress-size session (start-up, reload, every report once): {mb:.0f} MB "
          f"(target 200 MB: {'met' if mb < 200 else 'NOT met'})")

# What a user of a large file waits for, each against a bare reference measured in the same run.
print()
print("| what the user waits for | size | ours | bare reference | reference | ratio | target | met |")
print("|---|---|---:|---|---:|---:|---|---|")
for arg, size in sizes.items():
    for ours, base, what, ref, goal in (
            ("BM_UserOpenPlanEntry", "BM_UserOpenPlanEntry_Bare", '"&Zufügen": the plan entry dialog is shown',
             "its lists' statements", 100 if size == "stress" else 2),
            ("BM_UserReloadAfterCancel", "BM_MainReload_Bare", "Abbrechen, plan shown again (reload)",
             "the plan statement", 50 if size == "stress" else 2)):
        a, b = median.get(f"{ours}/{arg}"), median.get(f"{base}/{arg}")
        if a and b:
            print(f"| {what} | {size} | {a:.1f} ms | {ref} | {b:.1f} ms | {a / b:.2f} | < {goal} ms | {yes(a < goal)} |")
    a, b, n = median.get(f"BM_SavePdf/{arg}"), median.get(f"BM_SavePdf_Bare/{arg}"), pages.get(f"BM_SavePdf/{arg}")
    if a and b and n:
        ours, bare = n / a * 1000, n / b * 1000
        print(f'| "Als PDF speichern", fresh list ({n:.0f} pages) | {size} | {ours:.0f} pages/s | plain QPdfWriter pages '
              f"of the same texts | {bare:.0f} pages/s | {ours / bare:.2f} | >= 1000 pages/s | {yes(ours >= 1000)} |")
elapsed = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (?:(\d+):)?(\d+):([\d.]+)", pdf_time)
if elapsed and pdf_pages:
    seconds = int(elapsed.group(1) or 0) * 3600 + int(elapsed.group(2)) * 60 + float(elapsed.group(3))
    n, b = pages.get("BM_SavePdf/1"), median.get("BM_SavePdf_Bare/1")
    ref = pdf_pages / (n / b * 1000) if n and b else 0
    ratio = f"{seconds / ref:.2f}" if ref else "-"
    print(f"| `tlm --pdf DIR`, all {pdf_files} reports ({pdf_pages} pages) | stress | {seconds:.1f} s | the same pages "
          f"at the plain QPdfWriter rate | {ref:.1f} s | {ratio} | < 10 s | {yes(seconds < 10)} |")
    rss = re.search(r"Maximum resident set size \(kbytes\): (\d+)", pdf_time)
    if rss:
        mb = int(rss.group(1)) / 1024
        print(f"| peak memory of the `--pdf` run | stress | {mb:.0f} MB | | | | < 150 MB | {yes(mb < 150)} |")
