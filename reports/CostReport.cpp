#include "reports/CostReport.h"

#include "data/Convert.h"
#include "data/Error.h"
#include "kitchen/Costs.h"
#include "kitchen/StockCarry.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

#include <algorithm>

namespace tlm {

namespace {
const QString kFormat = QStringLiteral("2300|>900|>1400|>1400|>1400|>1400;");

QString money(const Cost& c)
{
    return c.known() ? currencyText(c.value) : c.missing;
}

// What the whole packages of the span's shopping runs cost, and what keeps and is left after them (as
// "Einkauf planen…" and its "Restbestand" reckon them); unknown both as the shopping lists are.
void bought(const QDate& von, const QDate& bis, Cost* purchase, Cost* rest)
{
    try {
        const SpanPurchase p = spanPurchase(keptShoppingPlan(von, bis));
        purchase->value = p.bought;
        rest->value = p.restValue;
    } catch (const Error& e) {
        purchase->missing = rest->missing = e.description;
    }
}
} // namespace

namespace {
ReportJob costReport(ReportPrinter& vp, QDate von, QDate bis, std::optional<double> tagessatz)
{
    setUpReport(vp, QStringLiteral("Kosten pro Tag und Person"));
    const QVector<DayCost> days = dayCosts(von, bis);
    // Where the eaters cover a day, its persons are portions: the report says whom it divides by.
    if (std::any_of(days.cbegin(), days.cend(), [](const DayCost& d) { return d.byEaters; }))
        vp.AppendRows(QStringLiteral("9400;"), {{QStringLiteral("je Person: nach Essern")}});
    vp.TableFrame(1);
    vp.setCursorY(vp.CursorY() + 200);
    vp.AppendTable(kFormat, QStringLiteral("Tag|Personen|Kosten|pro Person|Tagessatz|Differenz;"),
                   kCaptionShade);
    vp.TableFrame(0);
    Cost sum;
    qint64 personDays = 0;
    for (const DayCost& d : days) {
        const Cost each = d.perPerson();
        QString budget, difference;
        bool over = false;
        if (tagessatz) {
            const Money rate = Money::fromDouble(*tagessatz);
            budget = currencyText(rate);
            if (each.known()) {
                difference = currencyText(rate - each.value);
                over = each.value > rate;
            }
        }
        vp.TextFontBold(over);
        vp.AppendRows(kFormat, {{longDayDate(d.day), QString::number(d.headCount), money(d.cost),
                                 d.cost.known() ? money(each) : QString(), budget, difference}});
        vp.TextFontBold(false);
        if (!d.cost.known() && sum.known())
            sum.missing = d.cost.missing;
        sum.value += d.cost.value;
        personDays += d.headCount;
        co_yield 0;
    }
    Cost average = sum;
    if (sum.known())
        average.value = personDays > 0 ? sum.value.dividedBy(double(personDays)) : Money();
    Cost purchase, rest;
    bought(von, bis, &purchase, &rest);
    vp.setCursorY(vp.CursorY() + 100);
    vp.AppendRows(QStringLiteral("5000|>2000;"),
                  {{QStringLiteral("Summe Kosten:"), money(sum)},
                   {QStringLiteral("Durchschnitt pro Person und Tag:"), money(average)},
                   {QStringLiteral("Eingekauft (ganze Packungen):"), money(purchase)},
                   {QStringLiteral("Wert der Reste:"), money(rest)}});
    vp.EndDocument();
}
} // namespace

void fncDruckKosten(const QDate& von, const QDate& bis, std::optional<double> tagessatz)
{
    runReport("tlm/fncDruckKosten",
              [von, bis, tagessatz](ReportPrinter& vp) { return costReport(vp, von, bis, tagessatz); });
}

void readKosten(const QDate& von, const QDate& bis)
{
    dayCosts(von, bis);
    Cost purchase, rest;
    bought(von, bis, &purchase, &rest);
}

} // namespace tlm
