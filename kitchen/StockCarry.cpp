#include "kitchen/StockCarry.h"

#include "data/Connection.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/ShoppingRows.h"
#include "kitchen/SpanNeeds.h"

#include <algorithm>

namespace tlm {

bool hasStockTable()
{
    return gConnection.hasTable(QStringLiteral("VORRAT"));
}

QHash<qint64, double> storedStock()
{
    QHash<qint64, double> stock;
    if (!hasStockTable())
        return stock;
    RecordsetPtr rs = gConnection.execute(QStringLiteral("select ZUTNR, MENGE from VORRAT"));
    for (int r = 0; r < rs->rowCount(); ++r)
        stock.insert(rs->value(r, 0).toLongLong(), rs->value(r, 1).toDouble());
    return stock;
}

StockCarry::StockCarry(const ShoppingPlan& plan, QHash<qint64, double> onHand)
    : m_plan(plan), m_onHand(std::move(onHand)), m_needs(std::make_unique<SpanNeeds>(plan.von, plan.bis))
{}

StockCarry::~StockCarry() = default;

bool StockCarry::next(StockRun* out)
{
    if (m_next >= m_plan.runs.size())
        return false;
    const auto [start, end, days, keeps] = runDays(m_plan, m_next++);
    StockRun run{start, end, {}};
    for (const SpanNeeds::Item& item : m_needs->items(keeps, days)) {
        StockLine l;
        l.number = item.number;
        l.fresh = item.fresh.toBool();
        const double have = m_onHand.value(item.number, 0);
        const double need = roundSignificant(item.need.toDouble());
        l.fromStock = roundSignificant(std::min(have, need));
        // Only the part not on hand is bought, in whole packages by the lists' rule.
        const ShoppingRow row = shoppingRow(item.name, roundSignificant(need - l.fromStock), item.size,
                                            item.unit, item.price, item.fresh);
        l.name = row.name;
        l.unit = row.unit;
        l.need = need;
        l.bought = roundSignificant(row.bought);
        l.packages = row.packages;
        l.price = row.price;
        l.total = row.total;
        l.left = roundSignificant(have - l.fromStock + l.bought - (need - l.fromStock));
        m_onHand.insert(item.number, l.fresh ? roundSignificant(have - l.fromStock) : l.left);
        run.lines.push_back(l);
    }
    eatBasicStock(days);
    *out = std::move(run);
    return true;
}

void StockCarry::eatBasicStock(const DayRange& days)
{
    for (const SpanNeeds::Item& item : m_needs->basicStock(days)) {
        // Without a stock entry nothing is known of it, and nothing is said.
        const auto have = m_onHand.find(item.number);
        if (have == m_onHand.end())
            continue;
        const double need = roundSignificant(item.need.toDouble());
        const double missing = roundSignificant(need - *have);
        *have = roundSignificant(std::max(0.0, *have - need));
        if (missing <= 0)
            continue;
        auto known = std::find_if(m_shortages.begin(), m_shortages.end(),
                                  [&](const StockShortage& s) { return s.number == item.number; });
        if (known == m_shortages.end())
            m_shortages.push_back({item.number, textOf(item.name), textOf(item.unit), missing});
        else
            known->missing = roundSignificant(known->missing + missing);
    }
}

QHash<qint64, double> StockCarry::rest() const
{
    QHash<qint64, double> onHand = m_onHand;
    // Fresh produce is not kept for the next camp.
    RecordsetPtr ingredients = gConnection.execute(ingredientsByName());
    for (int r = 0; r < ingredients->rowCount(); ++r)
        if (ingredients->value(r, 5).toInt() == 1)
            onHand.remove(ingredients->value(r, 0).toLongLong());
    QHash<qint64, double> rest;
    for (auto it = onHand.constBegin(); it != onHand.constEnd(); ++it)
        if (it.value() > 0)
            rest.insert(it.key(), it.value());
    return rest;
}

std::vector<StockRun> carryStock(const ShoppingPlan& plan, QHash<qint64, double> onHand,
                                 QHash<qint64, double>* rest)
{
    StockCarry carry(plan, std::move(onHand));
    std::vector<StockRun> runs;
    for (StockRun run; carry.next(&run);)
        runs.push_back(std::move(run));
    if (rest)
        *rest = carry.rest();
    return runs;
}

void takeOverStock(const QHash<qint64, double>& amounts, const QDate& counted)
{
    gConnection.requireWritable();
    Transaction t(gConnection);
    gConnection.exec(QStringLiteral("delete from VORRAT"));
    for (auto it = amounts.constBegin(); it != amounts.constEnd(); ++it)
        gConnection.exec(QStringLiteral("insert into VORRAT (ZUTNR, MENGE, GEZAEHLT) values (?, ?, ?)"),
                         {it.key(), roundSignificant(it.value()), counted.toString(Qt::ISODate)});
    t.commit();
}

void storeStock(qint64 number, double amount, const QDate& counted)
{
    gConnection.requireWritable();
    amount = roundSignificant(amount);
    if (amount == 0)
        gConnection.exec(QStringLiteral("delete from VORRAT where ZUTNR = ?"), {number});
    else
        gConnection.exec(
            QStringLiteral("insert or replace into VORRAT (ZUTNR, MENGE, GEZAEHLT) values (?, ?, ?)"),
            {number, amount, counted.isValid() ? QVariant(counted.toString(Qt::ISODate)) : QVariant()});
}

std::optional<Money> stockValue(double amount, const QVariant& size, const QVariant& price)
{
    if (price.isNull() || size.isNull() || size.toDouble() == 0)
        return std::nullopt;
    return Money::fromValue(price).times(amount / size.toDouble());
}

std::vector<RestLine> restAfter(const ShoppingPlan& plan)
{
    QHash<qint64, double> rest;
    carryStock(plan, storedStock(), &rest);
    return restLines(rest);
}

std::vector<RestLine> restLines(const QHash<qint64, double>& rest)
{
    std::vector<RestLine> lines;
    RecordsetPtr rs = gConnection.execute(ingredientsByName());
    for (int r = 0; r < rs->rowCount(); ++r) {
        const qint64 number = rs->value(r, 0).toLongLong();
        if (!rest.contains(number))
            continue;
        const double amount = rest.value(number);
        lines.push_back({number, rs->value(r, 1).toString(), rs->value(r, 2).toString(), amount,
                         stockValue(amount, rs->value(r, 3), rs->value(r, 4))});
    }
    return lines;
}

SpanPurchase spanPurchase(const ShoppingPlan& plan)
{
    SpanPurchase p;
    QHash<qint64, double> rest;
    for (const StockRun& run : carryStock(plan, storedStock(), &rest))
        for (const StockLine& l : run.lines)
            p.bought += l.total;
    for (const RestLine& l : restLines(rest))
        if (l.value)
            p.restValue += *l.value;
    return p;
}

} // namespace tlm
