#include "kitchen/ShoppingPlan.h"

#include "data/DataHelpers.h"
#include "data/ExtraSettings.h"

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

} // namespace tlm
