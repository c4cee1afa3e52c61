#include "extras/ShoppingPlan.h"

#include "data/Convert.h"
#include "extras/CampPlanning.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"
#include "reports/ShoppingRows.h"
#include "reports/SpanNeeds.h"

namespace tlm {

ShoppingPlan everyNDays(int n)
{
    const PlanSpan span = planSpan();
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
ReportJob shoppingPlan(ReportPrinter& vp, ShoppingPlan plan)
{
    setUpReport(vp, QStringLiteral("Einkaufsplan"));
    appendShoppingCaption(vp);
    Money total;
    const SpanNeeds needs(plan.von, plan.bis);
    for (int i = 0; i < plan.runs.size(); ++i) {
        const auto [start, end, days, keeps] = runDays(plan, i);
        vp.TableFrame(1);
        vp.setCursorY(vp.CursorY() + 200);
        vp.AppendRows(QStringLiteral("8000;"),
                      {{QStringLiteral("Einkauf am %1 für %2 bis %3")
                            .arg(longDayDate(start), start.toString(QStringLiteral("dd.MM.")),
                                 end.toString(QStringLiteral("dd.MM.yyyy")))}});
        vp.setCursorY(vp.CursorY() + 100);
        vp.TableFrame(0);
        Money sum;
        for (const SpanNeeds::Item& item : needs.items(keeps, days)) {
            appendShoppingItem(vp, item.row(), sum);
            co_yield 0;
        }
        vp.setCursorY(vp.CursorY() + 100);
        vp.AppendTable(QStringLiteral("8000"), "Summe Einkauf: " + currencyText(sum));
        total += sum;
        vp.setCursorY(vp.CursorY() + 200);
    }
    vp.setCursorY(vp.CursorY() + 100);
    vp.AppendTable(QStringLiteral("8000"), "Gesamtsumme: " + currencyText(total));
    vp.EndDocument();
}
} // namespace

void fncDruckEinkaufsplan(const ShoppingPlan& plan)
{
    runReport("tlm/fncDruckEinkaufsplan", [plan](ReportPrinter& vp) { return shoppingPlan(vp, plan); });
}

} // namespace tlm
