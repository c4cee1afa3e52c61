#include "kitchen/ShoppingRows.h"

#include "data/Convert.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "kitchen/PackageCount.h"

#include <algorithm>
#include <numeric>

namespace tlm {

QString ingredientsByName()
{
    return QStringLiteral(
        "select ZUTNR, ZUTAT, EINHEIT, MENGE, PREIS, case when FRISCH = -1 then 1 else 0 end"
        " as FRISCHWARE from ZUTATEN order by ZUTAT, ZUTNR");
}

NameOrder::NameOrder()
{
    RecordsetPtr rs = gConnection.execute(ingredientsByName());
    m_rank.reserve(rs->rowCount());
    for (int r = 0; r < rs->rowCount(); ++r)
        m_rank.insert(rs->value(r, 0).toLongLong(), r);
}

ShoppingRows::ShoppingRows(const QString& sql)
    : m_rs(gConnection.execute(sql)), m_name(m_rs->columnIndex(QStringLiteral("ZUTAT"))),
      m_need(m_rs->columnIndex(QStringLiteral("MENGSUM"))),
      m_size(m_rs->columnIndex(QStringLiteral("MENGE"))),
      m_unit(m_rs->columnIndex(QStringLiteral("EINHEIT"))),
      m_price(m_rs->columnIndex(QStringLiteral("PREIS"))),
      m_fresh(m_rs->columnIndex(QStringLiteral("FRISCH")))
{}

ShoppingRows::ShoppingRows(const QString& sql, const NameOrder& order) : ShoppingRows(sql)
{
    const int number = m_rs->columnIndex(QStringLiteral("ZUTNR"));
    const int day = m_rs->columnIndex(QStringLiteral("TAG"));
    // Sort keys: the run of equal days a row belongs to (the query gives them in order), its rank.
    std::vector<std::pair<int, int>> keys(m_rs->rowCount());
    int run = 0;
    QVariant last;
    for (int r = 0; r < m_rs->rowCount(); ++r) {
        if (day >= 0) {
            QVariant d = m_rs->value(r, day);
            if (r > 0 && d != last)
                ++run;
            last = std::move(d);
        }
        keys[r] = {run, order.rank(m_rs->value(r, number).toLongLong())};
    }
    m_order.resize(keys.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    std::sort(m_order.begin(), m_order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
}

QVariant ShoppingRows::at(int column) const
{
    return column < 0 ? QVariant() : m_rs->value(m_rs->position(), column);
}

bool ShoppingRows::next()
{
    if (!m_order.empty() || m_rs->rowCount() == 0) {
        m_rs->setPosition(m_next < int(m_order.size()) ? m_order[m_next] : m_rs->rowCount());
        return m_next++ < int(m_order.size());
    }
    if (m_next++ > 0)
        m_rs->moveNext();
    return !m_rs->eof();
}

ShoppingRow shoppingRow(const QVariant& name, const QVariant& need, const QVariant& size,
                        const QVariant& unit, const QVariant& price, const QVariant& fresh)
{
    ShoppingRow row;
    row.name = textOf(name);
    try {
        row.unit = textOf(unit);
        row.packages = packageCount(need, size);
        if (price.isNull())
            raise(ErrInvalidNull);
        row.need = roundSignificant(toDouble(need));
        row.bought = row.packages * toDouble(size);
        row.price = Money::fromValue(price);
        row.total = row.price * row.packages;
        row.fresh = fresh.toBool();
    } catch (const Error& e) {
        // The user learns which ingredient to mend.
        throw Error(e.number, e.description + " (Zutat: " + row.name + ")");
    }
    return row;
}

ShoppingRow ShoppingRows::row() const
{
    return shoppingRow(at(m_name), at(m_need), at(m_size), at(m_unit), at(m_price), at(m_fresh));
}

QVariant ShoppingRows::field(const QString& name) const
{
    return m_rs->field(name);
}

QString freshItemsPerDay()
{
    // Grouped and ordered alike, so that the day order comes from the grouping's one sort.
    return QStringLiteral(
        "select S.TAG as TAG, Z.ZUTNR as ZUTNR, Z.ZUTAT as ZUTAT, Z.MENGE as MENGE, Z.EINHEIT as "
        "EINHEIT,"
        " sum(coalesce(RZ.MENGE4P, 0) * (coalesce(S.PERSONEN, 0) / 4.0)) as MENGSUM, Z.PREIS as PREIS"
        " from SPEISEPLAN S join REZEPTE RZ on RZ.GERNR = S.GERNR join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR"
        " where S.TAG is not null and Z.FRISCH = -1 and Z.NOKAUF = 0"
        " group by S.TAG, Z.ZUTNR order by S.TAG, Z.ZUTNR");
}

} // namespace tlm
