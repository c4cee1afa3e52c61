// Benchmarks of every interactive action and report, at camp and at stress size, through the code
// the windows run, with the same statements stepped by the bare SQLite C API as the baseline.
#include "app/Application.h"
#include "app/DataGrid.h"
#include "app/DataProcedures.h"
#include "bench/RunBenchmarks.h"
#include "bench/SyntheticDb.h"
#include "data/Connection.h"
#include "data/Convert.h"
#include "data/GermanText.h"
#include "data/Globals.h"
#include "data/JetSql.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmGerichtList.h"
#include "ingredients/frmZutatList.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/ShoppingPlan.h"
#include "kitchen/ShoppingRows.h"
#include "plan/PlanFile.h"
#include "plan/PlanTransfer.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "reports/Cookbook.h"
#include "reports/CostReport.h"
#include "reports/Einkaufsplan.h"
#include "reports/MealPlanReport.h"
#include "reports/RecipeCards.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"
#include "reports/ShoppingCsv.h"
#include "reports/ShoppingList.h"
#include "reports/frmDlgDruck.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <sqlite3.h>

using namespace tlm;
using tlmbench::Size;

namespace {
QTemporaryDir* g_dir;
QString g_root; // where the sizes' databases lie
const Size* g_open = nullptr;

QString dbFile(const Size& s)
{
    return QDir(g_root).filePath(QString::fromLatin1(s.name) + "/tlm.mdb");
}

// Opens the size's database as the program's one connection.
void use(const Size& s)
{
    if (g_open == &s)
        return;
    if (gConnection.isOpen())
        gConnection.close();
    gConnection.open(dbFile(s));
    setApplicationDirectory(QFileInfo(dbFile(s)).absolutePath());
    gAppPath = applicationDirectory();
    g_open = &s;
}

const Size& sizeOf(const benchmark::State& st)
{
    return st.range(0) == 0 ? tlmbench::kCamp : (st.range(0) == 1 ? tlmbench::kStress : tlmbench::kStress2);
}

// Bare SQLite: prepare, step every row, touch every column, no conversion.
class Bare
{
public:
    explicit Bare(const Size& s)
    {
        sqlite3_open_v2(dbFile(s).toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        registerGermanText(m_db); // the same collation and like as ours: the same work for SQLite
    }
    ~Bare() { sqlite3_close_v2(m_db); }
    // Returns the rows' first-column texts when asked.
    int run(const QString& jet, QStringList* firstColumn = nullptr)
    {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = rewriteJetSql(jet).toUtf8();
        sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr);
        int rows = 0;
        const int n = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < n; ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            if (firstColumn)
                *firstColumn << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            ++rows;
        }
        sqlite3_finalize(st);
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
};

const QString kPlanQuery =
    QStringLiteral("select KEY,TAG,TAGZEITNR,TAGZEITKURZ,GTYPNR,GTYPKURZ,GERNR,GERICHT,PERSONEN,"
                   "FARBE from VW_SPEISEPLAN order by TAG,TAGZEITSORT,GTYPSORT");
const QString kShoppingAll = QStringLiteral(
    "select ZUTAT,MENGE,EINHEIT,MENGSUM,PREIS from VW_MENGEN where 1=1 and NOKAUF = 0 order by ZUTAT");
const QString kMealPlan = QStringLiteral(
    "select TAG,TAGZEITKURZ,GTYPKURZ,GERICHT,PERSONEN from VW_SPEISEPLAN order by TAG,TAGZEITSORT,GTYPSORT");

// The statements the reports send, run by one of two runners: ours (recordsets) or bare. Kind 1 the
// shopping list "Alles", 3 the fresh list, 5 the cookbook (the plan, then its printed dishes' recipes
// and preparations), 6 the meal plan: each the whole plan at once.
template <class Run> void reportQueries(int kind, Run run)
{
    if (kind == 1) {
        run(kShoppingAll, nullptr);
        return;
    }
    if (kind == 6) {
        run(kMealPlan, nullptr);
        return;
    }
    if (kind == 3) {
        run(freshItemsPerDay(), nullptr);
        return;
    }
    const QString printed = QStringLiteral(" in (select GERNR from VW_SPEISEPLAN where TAG is not null and"
                                           " TAGZEITNR in (2, 3) and GTYPNR <> 7 and NODRUCK = 0)");
    run(QStringLiteral("select TAG,TAGZEITNR,TAGZEIT,GTYPNR,NODRUCK,GERNR,GERICHT from VW_SPEISEPLAN"
                       " where TAG is not null order by TAG,TAGZEITNR,GTYPSORT,GERNR,PERSONEN,KEY"),
        nullptr);
    run("select GERNR,ZUTAT,MENGE4P,EINHEIT from VW_REZEPTE where GERNR" + printed +
            " order by GERNR,ZUTAT,ZUTNR,MENGE4P,REZNR",
        nullptr);
    run("select GERNR,ZUBEREITUNG as vWert from GERICHTE where GERNR" + printed, nullptr);
}

int oursRun(const QString& sql, QStringList* firstColumn)
{
    RecordsetPtr rs = gConnection.execute(sql);
    if (firstColumn)
        for (int r = 0; r < rs->rowCount(); ++r) {
            const QVariant& v = rs->value(r, 0);
            *firstColumn << (v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate) : textOf(v));
        }
    return rs->rowCount();
}
} // namespace

static void BM_MainReload(benchmark::State& st)
{
    use(sizeOf(st));
    frmMain w;
    const qint32 key = sizeOf(st).entries - 3;
    for (auto _ : st) {
        w.fncReq(key);
        benchmark::DoNotOptimize(w.gd1->columnValue("KEY"));
    }
    if (w.gd1->columnValue("KEY").toInt() != key)
        st.SkipWithError("not positioned");
}

static void BM_MainReload_Bare(benchmark::State& st)
{
    Bare bare(sizeOf(st));
    for (auto _ : st)
        benchmark::DoNotOptimize(bare.run(kPlanQuery));
}

// Each iteration is one keystroke in the list's search box: a requery and a rebind.
template <class Window> void typeInSearch(benchmark::State& st, const QString& a, const QString& b)
{
    use(sizeOf(st));
    Window w;
    w.Form_Load();
    int i = 0;
    for (auto _ : st)
        w.txSuch->setText(i++ % 2 ? b : a);
}

static void BM_DishSearchKeystroke(benchmark::State& st)
{
    typeInSearch<frmGerichtList>(st, "Oma", "Omas");
}

static void BM_IngredientSearchKeystroke(benchmark::State& st)
{
    typeInSearch<frmZutatList>(st, "K", "Kä");
}

static void BM_OpenPlanEntry(benchmark::State& st)
{
    use(sizeOf(st));
    for (auto _ : st) {
        frmSpeiseplanDet d;
        d.fKEY = 5;
        d.Form_Load();
    }
}

static void BM_OpenDishEditor(benchmark::State& st)
{
    use(sizeOf(st));
    for (auto _ : st) {
        frmGerichtDet d;
        d.fGERNR = 150;
        d.Form_Load();
    }
}

// A report from the menu click to its last page.
template <class Print> void wholeReport(benchmark::State& st, Print print)
{
    use(sizeOf(st));
    for (auto _ : st) {
        print();
        if (!frmDlgDruck::shared()->vp->finish())
            st.SkipWithError("the report did not complete");
    }
}

static void BM_MealPlan(benchmark::State& st)
{
    wholeReport(st, [] { fncDruckSpeiseplan(); });
}

static void BM_ShoppingAll(benchmark::State& st)
{
    wholeReport(st, [] { fncDruckEinkauf(1); });
}

static void BM_ShoppingFresh(benchmark::State& st)
{
    wholeReport(st, [] { fncDruckEinkauf(3); });
}

static void BM_Cookbook(benchmark::State& st)
{
    wholeReport(st, [] { fncDruckKochbuch(); });
}

// From the menu click until the preview has painted page 1; the rest of the report is left unwritten.
static void BM_FirstPage(benchmark::State& st)
{
    use(sizeOf(st));
    const std::function<void()> reports[] = {
        [] { fncDruckSpeiseplan(); },
        [] { fncDruckEinkauf(1); },
        [] { fncDruckEinkauf(3); },
        [] { fncDruckKochbuch(); },
        [] { fncDruckEinkaufsplan(everyNDays(7)); },
        [] {
            const PlanSpan span = planSpan();
            fncDruckKosten(span.first, span.last, 6.0);
        },
    };
    for (auto _ : st) {
        reports[st.range(1)]();
        benchmark::DoNotOptimize(frmDlgDruck::shared()->grab());
    }
}

template <int Kind> static void BM_ReportQueries(benchmark::State& st)
{
    use(sizeOf(st));
    for (auto _ : st)
        reportQueries(Kind, oursRun);
}

template <int Kind> static void BM_ReportQueries_Bare(benchmark::State& st)
{
    Bare bare(sizeOf(st));
    for (auto _ : st)
        reportQueries(Kind, [&](const QString& sql, QStringList* first) { return bare.run(sql, first); });
}

static void BM_ExportPlan(benchmark::State& st)
{
    use(sizeOf(st));
    const QString path = QDir(g_dir->path()).filePath("export.tlm");
    for (auto _ : st)
        exportPlan(path);
}

static void BM_ImportPlan(benchmark::State& st)
{
    use(sizeOf(st));
    const QString path = QDir(g_dir->path()).filePath(QString::fromLatin1(sizeOf(st).name) + "-import.tlm");
    exportPlan(path);
    for (auto _ : st)
        importPlan(path);
}

// The tools under "Extras", each as the user runs it.
static void BM_ChangePersons(benchmark::State& st)
{
    use(sizeOf(st));
    const PlanSpan span = planSpan();
    for (auto _ : st)
        benchmark::DoNotOptimize(changePersons(span.first, span.last, 0, 20));
}

static void BM_CopyDays(benchmark::State& st)
{
    use(sizeOf(st));
    const PlanSpan span = planSpan();
    const qint32 highest = highestKey();
    for (auto _ : st) {
        copyDays(span.first, span.first.addDays(29), span.last.addDays(1)); // a month after the plan
        st.PauseTiming();
        gConnection.exec(QStringLiteral("delete from SPEISEPLAN where KEY > ?"), {highest});
        st.ResumeTiming();
    }
}

static void BM_ShoppingPlanWeekly(benchmark::State& st)
{
    use(sizeOf(st));
    const ShoppingPlan plan = everyNDays(7);
    wholeReport(st, [&] { fncDruckEinkaufsplan(plan); });
}

static void BM_CostReport(benchmark::State& st)
{
    use(sizeOf(st));
    const PlanSpan span = planSpan();
    wholeReport(st, [&] { fncDruckKosten(span.first, span.last, 6.0); });
}

// One change of the persons in the plan entry dialog: the cost label follows.
static void BM_CostLabel(benchmark::State& st)
{
    use(sizeOf(st));
    frmSpeiseplanDet d;
    d.fKEY = 5;
    d.Form_Load();
    int i = 0;
    for (auto _ : st)
        d.txPersonen->setText(QString::number(10 + i++ % 2));
    if (d.lbKosten->text().isEmpty())
        st.SkipWithError("no cost shown");
}

static void BM_ShoppingCsv(benchmark::State& st)
{
    use(sizeOf(st));
    for (auto _ : st)
        benchmark::DoNotOptimize(shoppingCsv());
}

// As the user meets it: "&Zufügen" clicked in the shown main window until the plan entry dialog is
// shown and painted; then "Abbrechen" clicked until the plan is reloaded and painted again. The two
// halves are timed apart, by manual time.
template <bool Reload> static void userAddAndCancel(benchmark::State& st)
{
    use(sizeOf(st));
    frmMain w;
    w.resize(900, 600);
    w.show();
    w.fncReq(5);
    QApplication::processEvents();
    QElapsedTimer clock;
    double shown = 0, back = 0;
    for (auto _ : st) {
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<frmSpeiseplanDet*>(QApplication::activeModalWidget());
            if (!d)
                std::exit(4);
            d->repaint();
            shown = clock.nsecsElapsed() / 1e9;
            clock.restart();
            d->sfAbbrechen->click();
        });
        clock.start();
        w.sfAdd->click();
        w.repaint();
        back = clock.nsecsElapsed() / 1e9;
        st.SetIterationTime(Reload ? back : shown);
    }
}

static void BM_UserOpenPlanEntry(benchmark::State& st)
{
    userAddAndCancel<false>(st);
}

static void BM_UserReloadAfterCancel(benchmark::State& st)
{
    userAddAndCancel<true>(st);
}

// The dialog's reference: its three lists' statements in bare SQLite.
static void BM_UserOpenPlanEntry_Bare(benchmark::State& st)
{
    Bare bare(sizeOf(st));
    for (auto _ : st) {
        benchmark::DoNotOptimize(bare.run("select TAGZEITNR,TAGZEIT from TAGZEIT order by TAGZEITSORT"));
        benchmark::DoNotOptimize(bare.run("select GTYPNR,GTYP from GTYP order by GTYPSORT"));
        benchmark::DoNotOptimize(bare.run("select GERNR,GERICHT from GERICHTE order by GERICHT"));
    }
}

// "Als PDF speichern" of the largest report (the fresh list), the report already written: pages/s.
static void BM_SavePdf(benchmark::State& st)
{
    use(sizeOf(st));
    fncDruckEinkauf(3);
    ReportPrinter* vp = frmDlgDruck::shared()->vp;
    vp->finish();
    const QString path = QDir(g_dir->path()).filePath("bench.pdf");
    for (auto _ : st)
        if (!vp->savePdf(path))
            st.SkipWithError("not saved");
    st.counters["pages"] = vp->pageCount();
    st.counters["pages_per_s"] =
        benchmark::Counter(vp->pageCount(), benchmark::Counter::kIsIterationInvariantRate);
}

// Its reference: plain QPdfWriter pages of the same texts at the same places, each drawn as it comes.
static void BM_SavePdf_Bare(benchmark::State& st)
{
    use(sizeOf(st));
    fncDruckEinkauf(3);
    ReportPrinter* vp = frmDlgDruck::shared()->vp;
    vp->finish();
    // Read back before the clock runs: the reference paints pages it holds.
    QVector<ReportPage> pages;
    for (int n = 0; n < vp->pageCount(); ++n)
        pages << vp->page(n);
    QVector<QFont> fonts;
    for (int f = 0;; ++f) {
        bool used = false;
        for (const ReportPage& page : pages)
            for (const ReportItem& i : page.items)
                used = used || i.font >= f;
        if (!used)
            break;
        const ReportFont& rf = vp->ReportWriter::font(f);
        QFont font(rf.name);
        font.setPixelSize(qMax(1, qRound(rf.size * 20)));
        font.setBold(rf.bold);
        font.setItalic(rf.italic);
        font.setStyleStrategy(QFont::PreferNoShaping);
        fonts << font;
    }
    const QString path = QDir(g_dir->path()).filePath("bare.pdf");
    for (auto _ : st) {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(600);
        QPainter p(&pdf);
        p.scale(pdf.width() / ReportWriter::kPageWidth, pdf.height() / ReportWriter::kPageHeight);
        for (int n = 0; n < vp->pageCount(); ++n) {
            if (n > 0)
                pdf.newPage();
            for (const ReportItem& i : pages[n].items) {
                if (i.kind != ReportItem::Text)
                    continue;
                p.setFont(fonts[i.font]);
                p.drawText(i.rect.topLeft() + QPointF(0, 160),
                           i.lines.isEmpty() ? i.text : i.lines.join(' '));
            }
        }
    }
    st.counters["pages_per_s"] =
        benchmark::Counter(vp->pageCount(), benchmark::Counter::kIsIterationInvariantRate);
}

#define SIZES ->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(0.5)
#define SIZES3 ->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(0.5)
BENCHMARK(BM_MainReload) SIZES3;
BENCHMARK(BM_MainReload_Bare) SIZES;
BENCHMARK(BM_DishSearchKeystroke) SIZES;
BENCHMARK(BM_IngredientSearchKeystroke) SIZES;
BENCHMARK(BM_OpenPlanEntry) SIZES;
BENCHMARK(BM_OpenDishEditor) SIZES;
BENCHMARK(BM_MealPlan) SIZES3;
// Page 1 of each report: meal plan, Alles, fresh, cookbook, Einkaufsplan, costs.
BENCHMARK(BM_FirstPage)
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4, 5}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_ShoppingAll) SIZES3;
BENCHMARK(BM_ShoppingFresh) SIZES3;
BENCHMARK(BM_Cookbook) SIZES3;
BENCHMARK_TEMPLATE(BM_ReportQueries, 1) SIZES;
BENCHMARK_TEMPLATE(BM_ReportQueries_Bare, 1) SIZES;
BENCHMARK_TEMPLATE(BM_ReportQueries, 3) SIZES;
BENCHMARK_TEMPLATE(BM_ReportQueries_Bare, 3) SIZES;
BENCHMARK_TEMPLATE(BM_ReportQueries, 5) SIZES;
BENCHMARK_TEMPLATE(BM_ReportQueries_Bare, 5) SIZES;
BENCHMARK_TEMPLATE(BM_ReportQueries, 6) SIZES;
BENCHMARK_TEMPLATE(BM_ReportQueries_Bare, 6) SIZES;
BENCHMARK(BM_ExportPlan) SIZES3;
// The doubled plan (60,000 entries) does not fit the plan's keys (up to 32767): its import is refused.
BENCHMARK(BM_ImportPlan) SIZES;
BENCHMARK(BM_CopyDays) SIZES;
BENCHMARK(BM_ShoppingPlanWeekly) SIZES;
BENCHMARK(BM_CostReport) SIZES;
BENCHMARK(BM_CostLabel) SIZES;
BENCHMARK(BM_ShoppingCsv) SIZES;
BENCHMARK(BM_UserOpenPlanEntry) SIZES->UseManualTime();
BENCHMARK(BM_UserReloadAfterCancel) SIZES->UseManualTime();
BENCHMARK(BM_UserOpenPlanEntry_Bare) SIZES;
// Real time: our PDF writer deflates on a thread of its own.
BENCHMARK(BM_SavePdf) SIZES->UseRealTime();
BENCHMARK(BM_SavePdf_Bare) SIZES->UseRealTime();
BENCHMARK(BM_ChangePersons) SIZES; // last: it changes the persons of every entry

// The reports that print from the menus and the extras, by their titles.
const std::pair<const char*, std::function<void()>> kReports[] = {
    {"Speiseplan", [] { fncDruckSpeiseplan(); }},
    {"Einkaufsliste Alles", [] { fncDruckEinkauf(1); }},
    {"Einkaufsliste Haltbares", [] { fncDruckEinkauf(2); }},
    {"Einkaufsliste Frisches (pro Tag)", [] { fncDruckEinkauf(3); }},
    {"Kochbuch", [] { fncDruckKochbuch(); }},
    {"Einkaufsplan (alle 7 Tage)", [] { fncDruckEinkaufsplan(everyNDays(7)); }},
    {"Kosten",
     [] {
         const PlanSpan span = planSpan();
         fncDruckKosten(span.first, span.last, 6.0);
     }},
};

// Every report at camp and stress size, its cells counted: how many wrapped, and how many of those
// had a word (a number with its unit, a price) broken inside. The last must be 0.
static int unbroken()
{
    int broken = 0;
    for (const Size* s : {&tlmbench::kCamp, &tlmbench::kStress}) {
        use(*s);
        for (const auto& [title, print] : kReports) {
            print();
            ReportPrinter* vp = frmDlgDruck::shared()->vp;
            vp->finish();
            int cells = 0, wrapped = 0, inside = 0;
            for (int n = 0; n < vp->pageCount(); ++n)
                for (const ReportItem& item : vp->page(n).items) {
                    if (item.kind != ReportItem::Text)
                        continue;
                    ++cells;
                    if (item.lines.isEmpty())
                        continue;
                    ++wrapped;
                    const auto words = [](const QString& t) {
                        return t.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
                    };
                    if (words(item.lines.join(' ')) != words(item.text))
                        ++inside;
                }
            std::printf("%-7s %-34s %8d cells %6d wrapped %4d broken inside a word\n", s->name, title, cells,
                        wrapped, inside);
            broken += inside;
        }
    }
    return broken == 0 ? 0 : 1;
}

// A stress-size session for peak memory: start-up, reload, every report once.
static int session()
{
    frmMain w;
    w.Form_Load(); // opens the database in the application directory, About box for two seconds
    w.show();
    w.fncReq(100);
    for (const auto& report : kReports) {
        report.second();
        frmDlgDruck::shared()->vp->finish();
    }
    return gConnection.isOpen() ? 0 : 1;
}

// The memory the process holds now and at most so far, in MB (Linux).
static std::pair<double, double> residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    double now = 0, peak = 0;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n')) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() > 1 && f[0] == "VmRSS:")
                now = f[1].toDouble() / 1024;
            if (f.size() > 1 && f[0] == "VmHWM:")
                peak = f[1].toDouble() / 1024;
        }
    return {now, peak};
}

// A year's recipe cards in the preview at stress size: the peak memory with the pages in the preview's
// file, paging through them (each page painted as the preview shows it), and the same pages held whole
// in memory as the reference.
static int previewCards()
{
    use(tlmbench::kStress);
    QElapsedTimer clock;
    clock.start();
    fncDruckRezeptkarten(QDate(2026, 1, 1), QDate(2026, 12, 31));
    ReportPrinter* vp = frmDlgDruck::shared()->vp;
    if (!vp->finish())
        return 1;
    const qint64 written = clock.elapsed();
    const auto [afterReport, peakReport] = residentMb();
    QImage screen(794, 1123, QImage::Format_RGB32); // an A4 page at 96 dpi
    std::vector<double> ms;
    const int pages = vp->pageCount();
    for (int n = 0; n < pages; n += qMax(1, pages / 400)) {
        QElapsedTimer one;
        one.start();
        QPainter p(&screen);
        vp->paintPage(p, n, QRectF(screen.rect()));
        p.end();
        ms.push_back(double(one.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    QVector<ReportPage> whole;
    for (int n = 0; n < pages; ++n)
        whole << vp->page(n);
    const auto [heldWhole, peakWhole] = residentMb();
    std::printf("recipe cards, a year at stress size: %d pages written in %lld ms\n", pages, written);
    std::printf("preview: %.0f MB resident after writing, peak %.0f MB\n", afterReport, peakReport);
    std::printf("paging: %zu pages painted, median %.2f ms, slowest %.2f ms\n", ms.size(), ms[ms.size() / 2],
                ms.back());
    std::printf("reference, every page held in memory: %.0f MB resident (peak %.0f MB)\n", heldWhole,
                peakWhole);
    return 0;
}

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpApplication(app);
    QTemporaryDir dir;
    g_dir = &dir;
    const bool keep = argc > 2 && QByteArray(argv[1]) == "--make";
    if (keep) {
        // A folder that cannot be made would leave the databases in the working folder.
        const QString parent = QString::fromLocal8Bit(argv[2]);
        QDir().mkpath(parent);
        dir.setAutoRemove(false), g_dir = new QTemporaryDir(parent + "/XXXXXX");
        if (!g_dir->isValid()) {
            std::fprintf(stderr, "%s: no folder can be made there\n", argv[2]);
            return 1;
        }
    }
    // --use DIR: the databases a --make left there, so that a profile sees the benchmark alone.
    QString made;
    if (argc > 2 && QByteArray(argv[1]) == "--use") {
        made = QString::fromLocal8Bit(argv[2]);
        argv[2] = argv[0];
        argc -= 2;
        argv += 2;
    }
    gAppTitle = QStringLiteral("Fennor Tellomat V1.01");
    gFontName = QStringLiteral("Verdana");
    gUnitList = QStringLiteral("g,g;kg,kg;L,L;ml,ml;Paar,Paar;Pkg,Pkg;Stk,Stk");
    g_root = made.isEmpty() ? g_dir->path() : made;
    for (const Size* s : {&tlmbench::kCamp, &tlmbench::kStress, &tlmbench::kStress2}) {
        if (!made.isEmpty())
            break;
        QDir().mkpath(QFileInfo(dbFile(*s)).absolutePath());
        tlmbench::makeSyntheticDb(dbFile(*s), *s);
    }
    if (keep) {
        std::printf("%s\n", g_dir->path().toLocal8Bit().constData());
        g_dir->setAutoRemove(false);
        return 0;
    }
    if (argc > 1 && QByteArray(argv[1]) == "--session") {
        setApplicationDirectory(QFileInfo(dbFile(tlmbench::kStress)).absolutePath());
        return session();
    }
    if (argc > 1 && QByteArray(argv[1]) == "--preview-cards")
        return previewCards();
    if (argc > 1 && QByteArray(argv[1]) == "--unbroken")
        return unbroken();
    return tlmbench::runBenchmarks(argc, argv, "tlm_bench");
}
