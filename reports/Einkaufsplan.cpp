#include "reports/Einkaufsplan.h"

#include "data/Convert.h"
#include "kitchen/StockCarry.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

namespace tlm {

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
                   kCaptionShade);
    vp.TableFrame(0);
    Money total;
    // Run by run: the first page does not wait for a year's runs.
    StockCarry carry(plan, storedStock());
    for (StockRun run; carry.next(&run);) {
        vp.TableFrame(1);
        vp.setCursorY(vp.CursorY() + 200);
        vp.AppendRows(QStringLiteral("9400;"), {{runHeading(run)}});
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

QString runHeading(const StockRun& run)
{
    return QStringLiteral("Einkauf am %1 für %2 bis %3")
        .arg(longDayDate(run.start), run.start.toString(QStringLiteral("dd.MM.")),
             run.end.toString(QStringLiteral("dd.MM.yyyy")));
}

void fncDruckEinkaufsplan(const ShoppingPlan& plan)
{
    runReport("tlm/fncDruckEinkaufsplan", [plan](ReportPrinter& vp) { return shoppingPlan(vp, plan); });
}

void readEinkaufsplan(const ShoppingPlan& plan)
{
    StockCarry carry(plan, storedStock());
    StockRun run;
    carry.next(&run);
    restAfter(plan);
}

} // namespace tlm
