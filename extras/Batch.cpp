#include "extras/Batch.h"

#include "app/ErrorReporter.h"
#include "app/MessageBox.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "extras/AllergenReports.h"
#include "extras/CampPlanning.h"
#include "extras/CostReport.h"
#include "extras/ShoppingCsv.h"
#include "extras/ShoppingPlan.h"
#include "plan/PlanFile.h"
#include "reports/Cookbook.h"
#include "reports/MealPlanReport.h"
#include "reports/ReportPrinter.h"
#include "reports/ShoppingList.h"
#include "reports/frmDlgDruck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

namespace tlm {

namespace {
struct Report
{
    QString file;
    std::function<void()> print;
};

// A document is written under a name of this run's own until every one is complete.
QString partOf(const QString& path)
{
    return path + QStringLiteral(".part") + QString::number(QCoreApplication::applicationPid());
}
} // namespace

int runBatch(const BatchRun& run)
{
    setBoxesToErrorOutput(true);
    std::vector<QString> parts;
    auto fail = [&] {
        for (const QString& p : parts)
            QFile::remove(p);
        return 1;
    };
    const int reportsBefore = reportsMade();
    guard("tlm/runBatch", [&] {
        setProgramGlobals();
        gAppPath = applicationDirectory();
        // The first run of an installed program may well be one from the command line.
        const QString made = provideUserDatabase(databasePath());
        if (!made.isEmpty())
            std::fprintf(stderr, "%s\n", qUtf8Printable(made));
        gConnection.open(databasePath(), true);
    });
    if (reportsMade() != reportsBefore)
        return fail();

    QStringList written;
    if (!run.pdfFolder.isEmpty()) {
        const QDir folder(run.pdfFolder);
        if (!folder.exists()) {
            std::fprintf(stderr, "Den Ordner '%s' gibt es nicht.\n", qUtf8Printable(run.pdfFolder));
            return fail();
        }
        const PlanSpan span = planSpan();
        const QDate von = run.von.isValid() ? run.von : span.first;
        const QDate bis = run.bis.isValid() ? run.bis : span.last;
        const std::vector<Report> reports = {
            {QStringLiteral("Speiseplan.pdf"), [] { fncDruckSpeiseplan(); }},
            {QStringLiteral("Einkaufsliste Alles.pdf"), [] { fncDruckEinkauf(1); }},
            {QStringLiteral("Einkaufsliste Haltbares.pdf"), [] { fncDruckEinkauf(2); }},
            {QStringLiteral("Einkaufsliste Frisches (pro Tag).pdf"), [] { fncDruckEinkauf(3); }},
            {QStringLiteral("Kochbuch für 4 Personen.pdf"), [] { fncDruckKochbuch(); }},
            {QStringLiteral("Kosten pro Tag und Person.pdf"),
             [&] { fncDruckKosten(von, bis, storedTagessatz()); }},
            {QStringLiteral("Einkaufsplan.pdf"), [] { fncDruckEinkaufsplan(everyNDays(7)); }},
            {QStringLiteral("Wochenplan.pdf"), [&] { fncDruckWochenplan(von, bis); }},
            {QStringLiteral("Allergene je Gericht.pdf"), [&] { fncDruckAllergeneJeGericht(von, bis); }},
        };
        for (const Report& r : reports) {
            r.print();
            ReportPrinter* vp = frmDlgDruck::shared() ? frmDlgDruck::shared()->vp : nullptr;
            if (!vp || !vp->finish() || reportsMade() != reportsBefore)
                return fail();
            const QString path = folder.absoluteFilePath(r.file);
            parts.push_back(partOf(path));
            if (!vp->savePdf(parts.back())) {
                std::fprintf(stderr, "%s\n", qUtf8Printable(errorText(ErrFileAccess) + ": " + path));
                return fail();
            }
            written << path;
        }
    }
    QByteArray csv;
    guard("tlm/runBatch", [&] {
        if (!run.csvFile.isEmpty())
            csv = shoppingCsv();
    });
    if (reportsMade() != reportsBefore)
        return fail();
    // Everything is complete: the documents take their names, the spreadsheet is written.
    for (int i = 0; i < int(parts.size()); ++i) {
        std::error_code ec; // replaces an older file of that name in one step
        std::filesystem::rename(parts[i].toStdString(), written[i].toStdString(), ec);
        if (ec) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(errorText(ErrFileAccess) + ": " + written[i]));
            return fail();
        }
    }
    parts.clear();
    if (!run.csvFile.isEmpty()) {
        guard("tlm/runBatch", [&] { writeFileAtomically(run.csvFile, csv); });
        if (reportsMade() != reportsBefore)
            return 1;
        written << QFileInfo(run.csvFile).absoluteFilePath();
    }
    for (const QString& f : written)
        std::printf("%s\n", qUtf8Printable(f));
    std::fflush(stdout);
    return 0;
}

} // namespace tlm
