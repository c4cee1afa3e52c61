#include "kitchen/SpanNeeds.h"

#include "data/Convert.h"
#include "data/Globals.h"

#include <algorithm>

namespace tlm {

SpanNeeds::SpanNeeds(const QDate& von, const QDate& bis)
{
    const QString days = daysFromTo(von, bis);
    const NameOrder order;
    // ART as the lists' conditions read the flag: -1 fresh, 0 keeps, anything else neither. Basic stock
    // is never bought, but it is eaten.
    RecordsetPtr z = gConnection.execute(
        QStringLiteral("select ZUTNR,ZUTAT,MENGE,EINHEIT,PREIS,FRISCH,"
                       "case when FRISCH = -1 then -1 when FRISCH = 0 then 0 else 1 end as ART,"
                       "case when NOKAUF = 0 then 0 else 1 end as BASIS from ZUTATEN"));
    QHash<qint64, int> index;
    m_ingredients.reserve(z->rowCount());
    for (int r = 0; r < z->rowCount(); ++r) {
        const qint64 number = z->value(r, 0).toLongLong();
        index.insert(number, int(m_ingredients.size()));
        m_ingredients.push_back({z->value(r, 1), z->value(r, 2), z->value(r, 3), z->value(r, 4),
                                 z->value(r, 5), qint16(z->value(r, 6).toInt()), z->value(r, 7).toInt() != 0,
                                 order.rank(number), number});
    }
    RecordsetPtr rz = gConnection.execute(
        "select GERNR,ZUTNR,MENGE4P from REZEPTE where GERNR in (select GERNR from SPEISEPLAN where " + days +
        ")");
    for (int r = 0; r < rz->rowCount(); ++r) {
        const auto it = index.constFind(rz->value(r, 1).toLongLong());
        if (it == index.constEnd() || rz->value(r, 0).isNull())
            continue;
        const QVariant m = rz->value(r, 2);
        m_recipes[rz->value(r, 0).toInt()].push_back({*it, (m.isNull() ? 0.0 : m.toDouble()) / 4.0});
    }
    RecordsetPtr s = spanEntries(von, bis);
    m_entries.reserve(s->rowCount());
    for (int r = 0; r < s->rowCount(); ++r) {
        const QVariant dish = s->value(r, 3);
        if (!dish.isNull())
            m_entries.push_back({s->value(r, 0).toDate(), dish.toInt(), s->value(r, 4).toDouble()});
    }
}

std::vector<SpanNeeds::Item> SpanNeeds::items(const DayRange& keeps, const DayRange& fresh) const
{
    return needs(keeps, fresh, false);
}

std::vector<SpanNeeds::Item> SpanNeeds::basicStock(const DayRange& days) const
{
    // Basic stock is eaten on its days, whether it keeps or not: each entry counted once.
    return needs(days, DayRange{}, true);
}

std::vector<SpanNeeds::Item> SpanNeeds::needs(const DayRange& keeps, const DayRange& fresh, bool basic) const
{
    // Per dish first the persons of each range and how many entries there are, then per recipe line.
    struct Persons
    {
        double keeps = 0, fresh = 0;
        int keepsCount = 0, freshCount = 0;
    };
    // In the order the plan first names them, so that the sums come out the same on every run.
    std::vector<std::pair<qint32, Persons>> dishes;
    QHash<qint32, int> dishIndex;
    const auto add = [&](const DayRange& range, bool isFresh) {
        if (!range.from.isValid() || range.from > range.to)
            return;
        auto it = std::lower_bound(m_entries.begin(), m_entries.end(), range.from,
                                   [](const Entry& e, const QDate& d) { return e.day < d; });
        for (; it != m_entries.end() && it->day <= range.to; ++it) {
            int at = dishIndex.value(it->dish, -1);
            if (at < 0) {
                at = int(dishes.size());
                dishIndex.insert(it->dish, at);
                dishes.push_back({it->dish, {}});
            }
            Persons& p = dishes[at].second;
            (isFresh ? p.fresh : p.keeps) += it->persons;
            ++(isFresh ? p.freshCount : p.keepsCount);
        }
    };
    add(keeps, false);
    add(fresh, true);
    std::vector<double> need(m_ingredients.size(), 0);
    std::vector<int> count(m_ingredients.size(), 0);
    for (const auto& [dish, p] : dishes) {
        const auto lines = m_recipes.constFind(dish);
        if (lines == m_recipes.constEnd())
            continue;
        for (const Line& l : *lines) {
            const qint16 kind = m_ingredients[l.ingredient].kind;
            if (m_ingredients[l.ingredient].basic != basic || (kind == 1 && !basic))
                continue;
            const bool fresh = kind == -1 && !basic;
            need[l.ingredient] += l.perPerson * (fresh ? p.fresh : p.keeps);
            count[l.ingredient] += fresh ? p.freshCount : p.keepsCount;
        }
    }
    std::vector<int> listed;
    for (int i = 0; i < int(m_ingredients.size()); ++i)
        if (count[i] > 0)
            listed.push_back(i);
    std::sort(listed.begin(), listed.end(),
              [&](int a, int b) { return m_ingredients[a].rank < m_ingredients[b].rank; });
    std::vector<Item> out;
    out.reserve(listed.size());
    for (int i : listed) {
        const Ingredient& z = m_ingredients[i];
        out.push_back({z.name, need[i], z.size, z.unit, z.price, z.fresh, z.number});
    }
    return out;
}

} // namespace tlm
