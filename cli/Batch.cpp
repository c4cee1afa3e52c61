#include "cli/Batch.h"

#include "app/ErrorReporter.h"
#include "app/MessageBox.h"
#include "cli/CommandLine.h"
#include "data/Connection.h"
#include "data/DatabaseCopy.h"
#include "data/Error.h"
#include "data/FileWrite.h"
#include "data/ExtraSettings.h"
#include "data/Globals.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/Costs.h"
#include "kitchen/EaterList.h"
#include "kitchen/ShoppingPlan.h"
#include "reports/AllergenReports.h"
#include "reports/Cookbook.h"
#include "reports/CostReport.h"
#include "reports/Einkaufsplan.h"
#include "reports/HygieneSheets.h"
#include "reports/MealPlanReport.h"
#include "reports/RecipeCards.h"
#include "reports/ReportPrinter.h"
#include "reports/Restbestand.h"
#include "reports/ShoppingCsv.h"
#include "reports/ShoppingList.h"
#include "reports/frmDlgDruck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace tlm {

namespace {
std::function<void(const QString&)> gBetweenReports;

struct Report
{
    QString file;
    std::function<void()> print;
};

// What the reports read, asked ahead, so that a server answers the run in a few round trips however
// long the plan: first what decides the rest (the span, the settings, the eaters), then what the
// reports read of the span.
void readSpanAhead()
{
    gConnection.readAhead({}, {[] { planSpan(); }, [] { extraSetting(0); }, [] { eaterList(); }});
}

void readReportsAhead(const QDate& von, const QDate& bis)
{
    const ShoppingPlan plan = keptOrWeeklyPlan();
    gConnection.readAhead({}, {readSpeiseplan, readEinkauf, readKochbuch, [&] { readKosten(von, bis); },
                               [&] { readEinkaufsplan(plan); }, [&] { readRezeptkarten(von, bis); },
                               [&] { readAllergenReports(von, bis); }, [&] { readHygieneSheets(von, bis); }});
}

// A document is written under a name of this run's own until every one is complete.
QString partOf(const QString& path)
{
    return path + QStringLiteral(".part") + QString::number(QCoreApplication::applicationPid());
}

const QStringList kPdfNames = {
    QStringLiteral("Speiseplan.pdf"),
    QStringLiteral("Einkaufsliste Alles.pdf"),
    QStringLiteral("Einkaufsliste Haltbares.pdf"),
    QStringLiteral("Einkaufsliste Frisches (pro Tag).pdf"),
    QStringLiteral("Kochbuch für 4 Personen.pdf"),
    QStringLiteral("Kosten pro Tag und Person.pdf"),
    QStringLiteral("Einkaufsplan.pdf"),
    QStringLiteral("Restbestand.pdf"),
    QStringLiteral("Rezeptkarten.pdf"),
    QStringLiteral("Wochenplan.pdf"),
    QStringLiteral("Allergene je Gericht.pdf"),
    QStringLiteral("Rückstellproben.pdf"),
    QStringLiteral("Rückstellproben-Etiketten.pdf"),
    QStringLiteral("Temperaturkontrolle Kühlgeräte.pdf"),
    QStringLiteral("Temperaturkontrolle Speisen.pdf"),
    QStringLiteral("Wareneingang.pdf"),
    QStringLiteral("Reinigungsplan.pdf"),
    QStringLiteral("Belehrung gemäß §§ 42, 43 IfSG.pdf"),
};

// Every target is looked at before anything is written, so that a run writes all its files or none;
// the refusal, or an empty text.
QString targetRefusal(const BatchRun& run)
{
    if (!run.pdfFolder.isEmpty()) {
        const QFileInfo folder(run.pdfFolder);
        if (!folder.exists())
            return QStringLiteral("Den Ordner '%1' gibt es nicht.").arg(run.pdfFolder);
        if (!folder.isDir())
            return QStringLiteral("'%1' ist kein Ordner; --pdf braucht einen Ordner.").arg(run.pdfFolder);
        if (!folder.isWritable())
            return QStringLiteral("In den Ordner '%1' kann nicht geschrieben werden.").arg(run.pdfFolder);
        for (const QString& name : kPdfNames) {
            const QString path = QDir(run.pdfFolder).absoluteFilePath(name);
            if (QFileInfo(path).isDir())
                return QStringLiteral("'%1' ist ein Ordner; der Bericht kann ihn nicht ersetzen.").arg(path);
        }
    }
    if (!run.csvFile.isEmpty() && run.csvFile != kStandardOutput) {
        const QFileInfo file(run.csvFile);
        if (file.isDir())
            return QStringLiteral("'%1' ist ein Ordner; --csv braucht den Namen einer Datei.")
                .arg(run.csvFile);
        const QFileInfo folder(file.absolutePath());
        if (!folder.isDir())
            return QStringLiteral("Den Ordner '%1' gibt es nicht.").arg(folder.filePath());
        // A read-only folder takes an existing file that may be written, in place.
        if (!folder.isWritable() && !(file.exists() && file.isWritable()))
            return QStringLiteral("Die Datei '%1' kann nicht geschrieben werden.").arg(run.csvFile);
        if (!run.pdfFolder.isEmpty() && kPdfNames.contains(file.fileName()) &&
            QFileInfo(run.pdfFolder).absoluteFilePath() == file.absolutePath())
            return QStringLiteral("'%1' ist schon ein Bericht von --pdf.").arg(run.csvFile);
    }
    return QString();
}
} // namespace

void setBetweenReports(std::function<void(const QString&)> hook)
{
    gBetweenReports = std::move(hook);
}

int runBatch(const BatchRun& run)
{
    setBoxesToErrorOutput(true);
    std::vector<QString> parts;
    auto fail = [&] {
        for (const QString& p : parts)
            QFile::remove(p);
        return ExitFailure;
    };
    const int reportsBefore = reportsMade();
    std::optional<ReadSnapshot> snapshot; // ends before the files take their names
    if (const QString refusal = targetRefusal(run); !refusal.isEmpty()) {
        tellOnErrorOutput(refusal);
        return ExitFailure;
    }
    guard("tlm/runBatch", [&] {
        setProgramGlobals();
        gAppPath = applicationDirectory();
        // The first run of an installed program may well be one from the command line.
        const QString made = provideUserDatabase(databasePath());
        if (!made.isEmpty())
            tellOnErrorOutput(made);
        gConnection.open(databasePath(), true);
        snapshot.emplace(gConnection);
        readSpanAhead();
    });
    if (reportsMade() != reportsBefore)
        return fail();

    QStringList written;
    if (!run.pdfFolder.isEmpty()) {
        const QDir folder(run.pdfFolder);
        // As the window proposes and takes it: a year at most.
        const PlanSpan span = planSpan();
        const QDate von = run.von.isValid() ? run.von : span.first;
        const QDate bis = run.bis.isValid() ? run.bis : qMin(span.last, von.addDays(kLongestSpan - 1));
        if (von.isValid() && bis.isValid() && bis < von) {
            tellOnErrorOutput(QStringLiteral("Das Datum bei --bis (%1) liegt vor dem bei --von (%2).")
                                  .arg(bis.toString(QStringLiteral("dd.MM.yyyy")),
                                       von.toString(QStringLiteral("dd.MM.yyyy"))));
            return fail();
        }
        if (von.isValid() && von.daysTo(bis) >= kLongestSpan) {
            tellOnErrorOutput(
                QStringLiteral("Der Zeitraum von --von bis --bis darf höchstens %1 Tage lang sein.")
                    .arg(kLongestSpan));
            return fail();
        }
        guard("tlm/runBatch", [&] { readReportsAhead(von, bis); });
        if (reportsMade() != reportsBefore)
            return fail();
        const std::vector<Report> reports = {
            {kPdfNames[0], [] { fncDruckSpeiseplan(); }},
            {kPdfNames[1], [] { fncDruckEinkauf(1); }},
            {kPdfNames[2], [] { fncDruckEinkauf(2); }},
            {kPdfNames[3], [] { fncDruckEinkauf(3); }},
            {kPdfNames[4], [] { fncDruckKochbuch(); }},
            {kPdfNames[5], [&] { fncDruckKosten(von, bis, storedTagessatz()); }},
            {kPdfNames[6], [] { fncDruckEinkaufsplan(keptOrWeeklyPlan()); }},
            {kPdfNames[7], [] { fncDruckRestbestand(keptOrWeeklyPlan()); }},
            {kPdfNames[8], [&] { fncDruckRezeptkarten(von, bis); }},
            {kPdfNames[9], [&] { fncDruckWochenplan(von, bis); }},
            {kPdfNames[10], [&] { fncDruckAllergeneJeGericht(von, bis); }},
            {kPdfNames[11], [&] { fncDruckRueckstellproben(von, bis); }},
            {kPdfNames[12], [&] { fncDruckProbenEtiketten(von, bis, 1); }},
            {kPdfNames[13], [&] { fncDruckKuehltemperaturen(von, bis); }},
            {kPdfNames[14], [&] { fncDruckKerntemperaturen(von, bis); }},
            {kPdfNames[15], [] { fncDruckWareneingang(keptOrWeeklyPlan()); }},
            {kPdfNames[16], [&] { fncDruckReinigungsplan(von, bis); }},
            {kPdfNames[17], [&] { fncDruckBelehrung(von, bis); }},
        };
        for (const Report& r : reports) {
            r.print();
            ReportPrinter* vp = frmDlgDruck::shared() ? frmDlgDruck::shared()->vp : nullptr;
            if (!vp || reportsMade() != reportsBefore)
                return fail();
            const QString path = folder.absoluteFilePath(r.file);
            parts.push_back(partOf(path));
            // Straight into the file: a year's recipe cards are ten thousand pages.
            if (!vp->streamPdf(parts.back())) {
                if (vp->failed() || reportsMade() != reportsBefore)
                    return fail(); // the report's error is told already
                tellOnErrorOutput(errorText(ErrFileAccess) + ": " + path);
                return fail();
            }
            written << path;
            if (gBetweenReports)
                gBetweenReports(r.file);
        }
    }
    QByteArray csv;
    guard("tlm/runBatch", [&] {
        if (!run.csvFile.isEmpty())
            csv = shoppingCsv();
    });
    if (reportsMade() != reportsBefore)
        return fail();
    snapshot.reset();
    // Everything is complete: the spreadsheet is written (the step that may still fail), then the
    // documents take their names.
    const bool toStandardOutput = run.csvFile == kStandardOutput;
    if (toStandardOutput) {
        if (std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout) != size_t(csv.size()) ||
            std::fflush(stdout) != 0) {
            tellOnErrorOutput(QStringLiteral("Die Standardausgabe kann nicht geschrieben werden."));
            return fail();
        }
    } else if (!run.csvFile.isEmpty()) {
        guard("tlm/runBatch", [&] { writeFileAtomically(run.csvFile, csv); });
        if (reportsMade() != reportsBefore)
            return fail();
    }
    for (int i = 0; i < int(parts.size()); ++i) {
        std::error_code ec; // replaces an older file of that name in one step
        std::filesystem::rename(parts[i].toStdString(), written[i].toStdString(), ec);
        if (ec) {
            tellOnErrorOutput(errorText(ErrFileAccess) + ": " + written[i]);
            return fail();
        }
    }
    parts.clear();
    if (!run.csvFile.isEmpty() && !toStandardOutput)
        written << QFileInfo(run.csvFile).absoluteFilePath();
    if (!toStandardOutput) {
        for (const QString& f : written)
            std::printf("%s\n", qUtf8Printable(f));
        std::fflush(stdout);
    }
    return ExitOk;
}

} // namespace tlm

namespace tlm {

int runCopy(const QString& source, const QString& target)
{
    try {
        const qint64 rows = copyWholeDatabase(source, target);
        std::printf(
            "%s\n",
            qUtf8Printable(QStringLiteral("%1 (%2 Zeilen kopiert)").arg(shownLocation(target)).arg(rows)));
        return ExitOk;
    } catch (const Error& e) {
        tellOnErrorOutput(e.description);
        return ExitFailure;
    }
}

} // namespace tlm
