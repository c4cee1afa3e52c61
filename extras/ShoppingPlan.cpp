#include "extras/ShoppingPlan.h"

#include "data/Convert.h"
#include "extras/CampPlanning.h"
#include "extras/ExtraSettings.h"
#include "extras/StockCarry.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"
#include "reports/ShoppingRows.h"
#include "reports/SpanNeeds.h"

#include <QApplication>
#include <QPalette>

namespace tlm {

namespace {
// "Einkauf planen…" keeps what is bought at first in row 202 (beside its other choices), the span and
// the shopping days (ISO dates, comma-separated) in the rows after.
constexpr int kHaltbaresRow = 202;
constexpr int kVonRow = 204;
constexpr int kBisRow = 205;
constexpr int kEinkaufstageRow = 206;

QDate keptDate(int row)
{
    return QDate::fromString(extraSetting(row).value_or(QString()), Qt::ISODate);
}
} // namespace

std::optional<ShoppingPlan> keptShoppingPlan()
{
    ShoppingPlan plan{keptDate(kVonRow),
                      keptDate(kBisRow),
                      {},
                      extraSetting(kHaltbaresRow).value_or("1") != QLatin1String("0")};
    if (!plan.von.isValid() || !plan.bis.isValid())
        return std::nullopt;
    for (const QString& day :
         extraSetting(kEinkaufstageRow).value_or(QString()).split(',', Qt::SkipEmptyParts))
        if (const QDate d = QDate::fromString(day, Qt::ISODate); d.isValid())
            plan.runs << d;
    return plan;
}

namespace {
// The kept plan's runs and choice over another span.
ShoppingPlan keptWithin(const std::optional<ShoppingPlan>& kept, const QDate& von, const QDate& bis)
{
    ShoppingPlan plan{von, bis, {von}, kept ? kept->keepsFirst : true};
    if (kept)
        for (const QDate& d : kept->runs)
            if (d > von && d <= bis)
                plan.runs << d;
    return plan;
}
} // namespace

ShoppingPlan keptShoppingPlan(const QDate& von, const QDate& bis)
{
    return keptWithin(keptShoppingPlan(), von, bis);
}

void keepShoppingPlan(const ShoppingPlan& plan)
{
    QStringList days;
    for (const QDate& d : plan.runs)
        days << d.toString(Qt::ISODate);
    storeExtraSetting(kHaltbaresRow, plan.keepsFirst ? QStringLiteral("1") : QStringLiteral("0"));
    storeExtraSetting(kVonRow, plan.von.toString(Qt::ISODate));
    storeExtraSetting(kBisRow, plan.bis.toString(Qt::ISODate));
    storeExtraSetting(kEinkaufstageRow, days.join(','));
}

ShoppingPlan keptOrWeeklyPlan()
{
    const std::optional<ShoppingPlan> kept = keptShoppingPlan();
    const PlanSpan span = proposedSpan();
    if (!kept || !span.first.isValid())
        return everyNDays(7);
    return keptWithin(kept, span.first, span.last);
}

ShoppingPlan everyNDays(int n)
{
    const PlanSpan span = proposedSpan();
    ShoppingPlan plan{span.first, span.last, {}, true};
    for (QDate d = span.first; d.isValid() && d <= span.last; d = d.addDays(n))
        plan.runs << d;
    return plan;
}

RunDays runDays(const ShoppingPlan& plan, int i)
{
    const QDate start = plan.runs[i];
    const QDate end = i + 1 < plan.runs.size() ? plan.runs[i + 1].addDays(-1) : plan.bis;
    const DayRange days{start, end};
    return {start, end, days, !plan.keepsFirst ? days : (i == 0 ? DayRange{plan.von, plan.bis} : DayRange{})};
}

namespace {
// The shopping lists' item table with what comes from stock and what is left after the run.
const QString kRunItemFormat = QStringLiteral("2300|>1000|>1000|>1000|>1100|>1000|>1000|>1000;");

QString amountText(double d, const QString& unit)
{
    return numberText(d) + " " + unit;
}

ReportJob shoppingPlan(ReportPrinter& vp, ShoppingPlan plan)
{
    setUpReport(vp, QStringLiteral("Einkaufsplan"));
    vp.TableFrame(1);
    vp.setCursorY(vp.CursorY() + 200);
    vp.AppendTable(kRunItemFormat,
                   QStringLiteral("Zutat|Bedarf|aus Vorrat|Einkauf|Packungen|Einzel|Gesamt|Rest;"),
                   QApplication::palette().button().color());
    vp.TableFrame(0);
    Money total;
    // Run by run: the first page does not wait for a year's runs.
    StockCarry carry(plan, storedStock());
    for (StockRun run; carry.next(&run);) {
        vp.TableFrame(1);
        vp.setCursorY(vp.CursorY() + 200);
        vp.AppendRows(QStringLiteral("9400;"),
                      {{QStringLiteral("Einkauf am %1 für %2 bis %3")
                            .arg(longDayDate(run.start), run.start.toString(QStringLiteral("dd.MM.")),
                                 run.end.toString(QStringLiteral("dd.MM.yyyy")))}});
        vp.setCursorY(vp.CursorY() + 100);
        vp.TableFrame(0);
        Money sum;
        for (const StockLine& l : run.lines) {
            vp.AppendRows(kRunItemFormat,
                          {{l.name, amountText(l.need, l.unit), amountText(l.fromStock, l.unit),
                            amountText(l.bought, l.unit), QString::number(l.packages), priceText(l.price),
                            currencyText(l.total), amountText(l.left, l.unit)}});
            sum += l.total;
            co_yield 0;
        }
        vp.setCursorY(vp.CursorY() + 100);
        vp.AppendTable(QStringLiteral("8000"), "Summe Einkauf: " + currencyText(sum));
        total += sum;
        vp.setCursorY(vp.CursorY() + 200);
    }
    vp.setCursorY(vp.CursorY() + 100);
    vp.AppendTable(QStringLiteral("8000"), "Gesamtsumme: " + currencyText(total));
    // Basic stock is never on the lists: where the plan eats more of it than is on hand, say so.
    for (const StockShortage& s : carry.shortages())
        vp.AppendTable(QStringLiteral("8000"), QStringLiteral("Vorrat reicht nicht: %1, es fehlen %2")
                                                   .arg(s.name, amountText(s.missing, s.unit)));
    vp.EndDocument();
}
} // namespace

void fncDruckEinkaufsplan(const ShoppingPlan& plan)
{
    runReport("tlm/fncDruckEinkaufsplan", [plan](ReportPrinter& vp) { return shoppingPlan(vp, plan); });
}

} // namespace tlm
