#include "extras/StockCarry.h"

#include "data/Connection.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "reports/SpanNeeds.h"

#include <algorithm>

namespace tlm {

QHash<qint64, double> storedStock()
{
    QHash<qint64, double> stock;
    RecordsetPtr rs = gConnection.execute(QStringLiteral("select ZUTNR, MENGE from VORRAT"));
    for (int r = 0; r < rs->rowCount(); ++r)
        stock.insert(rs->value(r, 0).toLongLong(), rs->value(r, 1).toDouble());
    return stock;
}

std::vector<StockRun> carryStock(const ShoppingPlan& plan, QHash<qint64, double> onHand,
                                 QHash<qint64, double>* rest)
{
    std::vector<StockRun> runs;
    const SpanNeeds needs(plan.von, plan.bis);
    for (int i = 0; i < plan.runs.size(); ++i) {
        const auto [start, end, days, keeps] = runDays(plan, i);
        StockRun run{start, end, {}};
        for (const SpanNeeds::Item& item : needs.items(keeps, days)) {
            StockLine l;
            l.number = item.number;
            l.fresh = item.fresh.toBool();
            const double have = onHand.value(item.number, 0);
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
            onHand.insert(item.number, l.fresh ? roundSignificant(have - l.fromStock) : l.left);
            run.lines.push_back(l);
        }
        runs.push_back(std::move(run));
    }
    if (rest) {
        // Fresh produce is not kept for the next camp.
        RecordsetPtr fresh =
            gConnection.execute(QStringLiteral("select ZUTNR from ZUTATEN where FRISCH = -1"));
        for (int r = 0; r < fresh->rowCount(); ++r)
            onHand.remove(fresh->value(r, 0).toLongLong());
        rest->clear();
        for (auto it = onHand.constBegin(); it != onHand.constEnd(); ++it)
            if (it.value() > 0)
                rest->insert(it.key(), it.value());
    }
    return runs;
}

void takeOverStock(const QHash<qint64, double>& amounts)
{
    Transaction t(gConnection);
    gConnection.execute(QStringLiteral("delete from VORRAT"));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    for (auto it = amounts.constBegin(); it != amounts.constEnd(); ++it)
        gConnection.execute(
            QStringLiteral("insert into VORRAT (ZUTNR, MENGE, GEZAEHLT) values (%1, %2, '%3')")
                .arg(it.key())
                .arg(QString::number(it.value(), 'g', 15), today));
    t.commit();
}

} // namespace tlm
