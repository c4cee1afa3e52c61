#include "reports/Restbestand.h"

#include "data/Convert.h"
#include "kitchen/StockCarry.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

namespace tlm {

namespace {
const QString kFormat = QStringLiteral("4500|>1500|>1500;");

ReportJob restReport(ReportPrinter& vp, ShoppingPlan plan)
{
    setUpReport(vp, QStringLiteral("Restbestand"));
    const std::vector<RestLine> lines = restAfter(plan);
    vp.setCursorY(vp.CursorY() + 200);
    vp.AppendTable(QStringLiteral("8000"),
                   QStringLiteral("Übrig nach dem %1 (Vorrat und Einkauf abzüglich Verbrauch)")
                       .arg(plan.bis.toString(QStringLiteral("dd.MM.yyyy"))));
    vp.TableFrame(1);
    vp.setCursorY(vp.CursorY() + 100);
    vp.AppendTable(kFormat, QStringLiteral("Zutat|Menge|Wert;"), kCaptionShade);
    vp.TableFrame(0);
    Money total;
    int unpriced = 0;
    for (const RestLine& l : lines) {
        vp.AppendRows(kFormat, {{l.name, numberText(l.amount) + " " + l.unit,
                                 l.value ? currencyText(*l.value) : QStringLiteral("Preis fehlt")}});
        if (l.value)
            total += *l.value;
        else
            ++unpriced;
        co_yield 0;
    }
    vp.setCursorY(vp.CursorY() + 100);
    QString sum = "Gesamtwert: " + currencyText(total);
    if (unpriced > 0)
        sum +=
            QStringLiteral(" (%1 ohne Preis nicht mitgezählt)")
                .arg(unpriced == 1 ? QStringLiteral("1 Zutat") : QStringLiteral("%1 Zutaten").arg(unpriced));
    vp.AppendTable(QStringLiteral("8000"), sum);
    vp.EndDocument();
}
} // namespace

void fncDruckRestbestand(const ShoppingPlan& plan)
{
    runReport("tlm/fncDruckRestbestand", [plan](ReportPrinter& vp) { return restReport(vp, plan); });
}

} // namespace tlm
