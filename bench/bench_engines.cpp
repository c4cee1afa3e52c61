// The two engines side by side on the same stress data: every report and the plan reload, once on
// the file and once on a PostgreSQL server holding a copy of it (TLM_BENCH_PG_URI), with each
// engine's plan statement stepped by its bare client library as the reference.
#include "app/Application.h"
#include "app/DataGrid.h"
#include "bench/RunBenchmarks.h"
#include "data/Connection.h"
#include "data/DataHelpers.h"
#include "data/GermanText.h"
#include "data/Globals.h"
#include "data/JetSql.h"
#include "data/PgDialect.h"
#include "kitchen/Costs.h"
#include "kitchen/ShoppingPlan.h"
#include "plan/frmMain.h"
#include "reports/AllergenReports.h"
#include "reports/Cookbook.h"
#include "reports/CostReport.h"
#include "reports/Einkaufsplan.h"
#include "reports/MealPlanReport.h"
#include "reports/RecipeCards.h"
#include "reports/ReportPrinter.h"
#include "reports/Restbestand.h"
#include "reports/ShoppingList.h"
#include "reports/frmDlgDruck.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>

using namespace tlm;

namespace {
QString g_locations[2]; // 0 the file, 1 the server
int g_open = -1;
QTemporaryDir* g_appDir;

void use(const benchmark::State& st)
{
    const int engine = int(st.range(0));
    if (g_open == engine)
        return;
    if (gConnection.isOpen())
        gConnection.close();
    setDatabasePath(g_locations[engine]);
    gConnection.open(g_locations[engine], true);
    g_open = engine;
}

const QString kPlanQuery =
    QStringLiteral("select KEY,TAG,TAGZEITNR,TAGZEITKURZ,GTYPNR,GTYPKURZ,GERNR,GERICHT,PERSONEN,"
                   "FARBE from VW_SPEISEPLAN order by TAG,TAGZEITSORT,GTYPSORT");

// All the reports of `tlm --pdf`, as it runs them: the plan's days, a year at most.
struct Report
{
    const char* title;
    std::function<void(const QDate&, const QDate&)> print;
};
const Report kReports[] = {
    {"Speiseplan", [](const QDate&, const QDate&) { fncDruckSpeiseplan(); }},
    {"Einkaufsliste Alles", [](const QDate&, const QDate&) { fncDruckEinkauf(1); }},
    {"Einkaufsliste Haltbares", [](const QDate&, const QDate&) { fncDruckEinkauf(2); }},
    {"Einkaufsliste Frisches", [](const QDate&, const QDate&) { fncDruckEinkauf(3); }},
    {"Kochbuch", [](const QDate&, const QDate&) { fncDruckKochbuch(); }},
    {"Kosten", [](const QDate& von, const QDate& bis) { fncDruckKosten(von, bis, storedTagessatz()); }},
    {"Einkaufsplan", [](const QDate&, const QDate&) { fncDruckEinkaufsplan(everyNDays(7)); }},
    {"Restbestand", [](const QDate&, const QDate&) { fncDruckRestbestand(everyNDays(7)); }},
    {"Rezeptkarten", [](const QDate& von, const QDate& bis) { fncDruckRezeptkarten(von, bis); }},
    {"Wochenplan", [](const QDate& von, const QDate& bis) { fncDruckWochenplan(von, bis); }},
    {"Allergene je Gericht",
     [](const QDate& von, const QDate& bis) { fncDruckAllergeneJeGericht(von, bis); }},
};
constexpr int kReportCount = int(std::size(kReports));

const char* kEngineNames[] = {"file", "server"};

void label(benchmark::State& st, const char* what = nullptr)
{
    std::string l = kEngineNames[st.range(0)];
    if (what)
        l += std::string(" ") + what;
    st.SetLabel(l);
}
} // namespace

// The main window's requery after an edit, positioned on an entry near the end of the plan.
static void BM_EnginePlanReload(benchmark::State& st)
{
    use(st);
    label(st);
    frmMain w;
    const qint32 key =
        gConnection.execute(QStringLiteral("select max(KEY) from SPEISEPLAN"))->value(0, 0).toInt() - 3;
    for (auto _ : st) {
        w.fncReq(key);
        benchmark::DoNotOptimize(w.gd1->columnValue("KEY"));
    }
    if (w.gd1->columnValue("KEY").toInt() != key)
        st.SkipWithError("not positioned");
}

// The reload's statement through the program's recordsets.
static void BM_EnginePlanStatement(benchmark::State& st)
{
    use(st);
    label(st);
    for (auto _ : st)
        benchmark::DoNotOptimize(gConnection.execute(kPlanQuery)->rowCount());
}

// The same statement by the bare client library: sqlite3 stepping every row, or libpq fetching the
// result and touching every value, no conversion.
static void BM_EnginePlanStatement_Bare(benchmark::State& st)
{
    label(st);
    const QString sql = rewriteJetSql(kPlanQuery);
    if (st.range(0) == 0) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(g_locations[0].toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        registerGermanText(db);
        const QByteArray text = sql.toUtf8();
        for (auto _ : st) {
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(db, text.constData(), -1, &s, nullptr);
            const int n = sqlite3_column_count(s);
            while (sqlite3_step(s) == SQLITE_ROW)
                for (int c = 0; c < n; ++c)
                    benchmark::DoNotOptimize(sqlite3_column_text(s, c));
            sqlite3_finalize(s);
        }
        sqlite3_close_v2(db);
        return;
    }
    PGconn* conn = PQconnectdb(g_locations[1].toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        st.SkipWithError(PQerrorMessage(conn));
        PQfinish(conn);
        return;
    }
    const QByteArray text = pgStatement(sql).toUtf8();
    for (auto _ : st) {
        PGresult* r = PQexec(conn, text.constData());
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            st.SkipWithError(PQresultErrorMessage(r));
            PQclear(r);
            break;
        }
        const int rows = PQntuples(r), n = PQnfields(r);
        for (int i = 0; i < rows; ++i)
            for (int c = 0; c < n; ++c)
                benchmark::DoNotOptimize(PQgetvalue(r, i, c));
        PQclear(r);
    }
    PQfinish(conn);
}

// A report from the menu click to its last page.
static void BM_EngineReport(benchmark::State& st)
{
    use(st);
    const Report& report = kReports[st.range(1)];
    label(st, report.title);
    const PlanSpan span = planSpan();
    const QDate bis = qMin(span.last, span.first.addDays(365));
    for (auto _ : st) {
        report.print(span.first, bis);
        if (!frmDlgDruck::shared()->vp->finish())
            st.SkipWithError("the report did not complete");
    }
}

BENCHMARK(BM_EnginePlanReload)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_EnginePlanStatement)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_EnginePlanStatement_Bare)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_EngineReport)
    ->ArgsProduct({{0, 1}, benchmark::CreateDenseRange(0, kReportCount - 1, 1)})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);

namespace {
[[noreturn]] void fail(const QString& text)
{
    std::fprintf(stderr, "tlm_bench_engines: %s\n", qUtf8Printable(text));
    std::exit(2);
}

// Qt's notes of the offscreen platform ("does not support raise()") would bury the results.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

qint64 rows(const QString& table)
{
    return gConnection.execute("select count(*) from " + table)->value(0, 0).toLongLong();
}

// Both engines must hold the same data, or the comparison compares nothing.
void checkSameData()
{
    const QStringList tables = {QStringLiteral("ZUTATEN"), QStringLiteral("GERICHTE"),
                                QStringLiteral("REZEPTE"), QStringLiteral("SPEISEPLAN")};
    QVector<qint64> counts[2];
    for (int e = 0; e < 2; ++e) {
        try {
            gConnection.open(g_locations[e], true);
            for (const QString& t : tables)
                counts[e] << rows(t);
            gConnection.close();
        } catch (const std::exception& ex) {
            fail(QStringLiteral("cannot read %1: %2")
                     .arg(shownLocation(g_locations[e]), QString::fromUtf8(ex.what())));
        }
    }
    const auto listed = [](const QVector<qint64>& c) {
        QStringList l;
        for (qint64 n : c)
            l << QString::number(n);
        return l.join('/');
    };
    if (counts[0] != counts[1] || counts[0].value(3) == 0)
        fail(QStringLiteral("the file and the server do not hold the same data (rows of %1: %2 and %3)")
                 .arg(tables.join('/'), listed(counts[0]), listed(counts[1])));
}
} // namespace

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    setUpApplication(app);
    if (argc < 3 || QByteArray(argv[1]) != "--file")
        fail(QStringLiteral("usage: TLM_BENCH_PG_URI=postgresql://... tlm_bench_engines --file STRESS.mdb "
                            "[benchmark options]"));
    g_locations[0] = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    argv[2] = argv[0];
    argc -= 2;
    argv += 2;
    g_locations[1] = qEnvironmentVariable("TLM_BENCH_PG_URI");
    if (g_locations[1].isEmpty())
        fail(QStringLiteral("TLM_BENCH_PG_URI is not set: it names the server database that holds a copy "
                            "of the file (bench/run makes one with scripts/pg-server and tlm --kopieren)"));
    if (!isServerLocation(g_locations[1]))
        fail(QStringLiteral("TLM_BENCH_PG_URI is not a postgresql:// address: ") + g_locations[1]);
    if (!QFileInfo::exists(g_locations[0]))
        fail(QStringLiteral("no such file: ") + g_locations[0]);
    QTemporaryDir appDir;
    g_appDir = &appDir;
    setApplicationDirectory(appDir.path());
    gAppPath = applicationDirectory();
    gAppTitle = QStringLiteral("Fennor Tellomat V1.01");
    gFontName = QStringLiteral("Verdana");
    gUnitList = QStringLiteral("g,g;kg,kg;L,L;ml,ml;Paar,Paar;Pkg,Pkg;Stk,Stk");
    checkSameData();
    return tlmbench::runBenchmarks(argc, argv, "tlm_bench_engines");
}
