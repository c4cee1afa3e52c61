#include "kitchen/Costs.h"

#include "data/Convert.h"
#include "data/ExtraSettings.h"
#include "data/Globals.h"
#include "kitchen/DayRange.h"
#include "kitchen/EaterList.h"

#include <QHash>
#include <QMap>
#include <QPair>
#include <cmath>

namespace tlm {

namespace {
constexpr int kTagessatzRow = 200;
}

namespace {
// The one definition of what a dish costs per person, and of what makes that unknown: the sum over
// its recipe lines of MENGE4P / 4 x PREIS / MENGE, basic stock and lines without a quantity left out.
// Both the dialog's label and the report use it, so they never differ.
const QString kCounts = QStringLiteral("Z.NOKAUF = 0 and coalesce(RZ.MENGE4P, 0) <> 0");
const QString kPerPerson =
    QStringLiteral("select RZ.GERNR as GERNR,"
                   " sum(case when %1 then RZ.MENGE4P / 4.0 * Z.PREIS / nullif(Z.MENGE, 0) end) as KOSTEN,"
                   " min(case when %1 and Z.PREIS is null then 'Preis fehlt: ' || coalesce(Z.ZUTAT, '?')"
                   " when %1 and coalesce(Z.MENGE, 0) = 0 then 'Packungsgröße 0: ' || coalesce(Z.ZUTAT, '?')"
                   " end) as FEHLT"
                   " from REZEPTE RZ join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR")
        .arg(kCounts);

// A dish's cost per person as the sum of its lines gives it, settled to nine decimals: the engine adds
// the lines in an order of its own, and the last bits of a sum such as 11.2195 must not decide the cent.
double settled(double sum)
{
    return std::round(sum * 1e9) / 1e9;
}

struct PerPerson
{
    double cost = 0;
    QString missing;
};

Cost times(const PerPerson& p, double persons)
{
    Cost c;
    c.missing = p.missing;
    if (c.known())
        c.value = Money::fromDouble(p.cost * persons);
    return c;
}
} // namespace

namespace {
// Who eats on each day: the largest meal, a meal's course feeding the persons of its common entry and
// those of the groups' replacements for it. Two common entries of a course (a choice of dishes) feed
// the same persons, as do a group's two replacements.
QHash<QDate, qint32> dayHeads(const Recordset& rs)
{
    struct Course
    {
        qint32 common = 0;
        QHash<qint32, qint32> groups;
    };
    // Day -> (time of day, dish type) -> course.
    QHash<QDate, QHash<QPair<qint32, qint32>, Course>> courses;
    for (int r = 0; r < rs.rowCount(); ++r) {
        Course& c = courses[rs.value(r, 0).toDate()][{rs.value(r, 1).toInt(), rs.value(r, 2).toInt()}];
        const qint32 persons = rs.value(r, 4).toInt();
        const QVariant group = rs.value(r, 5);
        qint32& eaters = group.isNull() ? c.common : c.groups[group.toInt()];
        eaters = qMax(eaters, persons);
    }
    QHash<QDate, qint32> heads;
    for (auto day = courses.cbegin(); day != courses.cend(); ++day) {
        QHash<qint32, qint32> meals;
        for (auto c = day.value().cbegin(); c != day.value().cend(); ++c) {
            qint32 persons = c.value().common;
            for (qint32 g : c.value().groups)
                persons += g;
            qint32& meal = meals[c.key().first];
            meal = qMax(meal, persons);
        }
        qint32 most = 0;
        for (qint32 m : meals)
            most = qMax(most, m);
        heads.insert(day.key(), most);
    }
    return heads;
}
} // namespace

Cost entryCost(qint32 gerNr, double persons)
{
    RecordsetPtr rs = gConnection.execute(kPerPerson + " where RZ.GERNR = " + QString::number(gerNr) +
                                          " group by RZ.GERNR");
    PerPerson p;
    if (!rs->eof()) {
        p.cost = settled(rs->value(0, 1).toDouble());
        p.missing = textOf(rs->value(0, 2));
    }
    return times(p, persons);
}

Cost DayCost::perPerson() const
{
    if (!cost.known())
        return cost;
    Cost c;
    if (headCount <= 0)
        c.missing = QStringLiteral("keine Personen");
    else
        c.value = cost.value.dividedBy(headCount);
    return c;
}

QVector<DayCost> dayCosts(const QDate& von, const QDate& bis)
{
    const QString days = daysFromTo(von, bis);
    // Each planned dish's cost per person once, then the persons per day and dish.
    RecordsetPtr dishes =
        gConnection.execute(kPerPerson + " where RZ.GERNR in (select GERNR from SPEISEPLAN where " + days +
                            ") group by RZ.GERNR");
    QHash<qint32, PerPerson> perPerson;
    for (int r = 0; r < dishes->rowCount(); ++r)
        perPerson.insert(dishes->value(r, 0).toInt(),
                         {settled(dishes->value(r, 1).toDouble()), textOf(dishes->value(r, 2))});
    // The persons per day and dish, from the entries the heads are counted from too.
    RecordsetPtr rs = spanEntries(von, bis);
    QVector<DayCost> out;
    QMap<qint32, double> dishPersons; // of the last day
    auto endDay = [&] {
        DayCost& d = out.last();
        for (auto it = dishPersons.cbegin(); it != dishPersons.cend(); ++it) {
            const PerPerson p = perPerson.value(it.key());
            // Of several unknown prices the day names the first by name.
            if (!p.missing.isEmpty() && (d.cost.known() || p.missing < d.cost.missing))
                d.cost.missing = p.missing;
            // Each dish's amount of the day to 1/10000, their sum exact.
            if (d.cost.known())
                d.cost.value += Money::fromDouble(p.cost * it.value());
            else
                d.cost.value = Money();
        }
        dishPersons.clear();
    };
    for (int r = 0; r < rs->rowCount(); ++r) {
        const QDate day = rs->value(r, 0).toDate();
        if (out.isEmpty() || out.last().day != day) {
            if (!out.isEmpty())
                endDay();
            out << DayCost{day, 0, Cost()};
        }
        dishPersons[rs->value(r, 3).toInt()] += rs->value(r, 4).toDouble();
    }
    if (!out.isEmpty())
        endDay();
    const QHash<QDate, qint32> heads = dayHeads(*rs);
    // Where the eaters cover a day its persons are portions: the cost per person is per head.
    const EaterList eaters = eaterList();
    for (DayCost& d : out) {
        const DayEaters e = eatersOn(eaters, d.day);
        d.byEaters = e.covered;
        d.headCount = e.covered ? e.heads : heads.value(d.day);
    }
    return out;
}

std::optional<double> storedTagessatz()
{
    bool ok = false;
    const double d = extraSetting(kTagessatzRow).value_or(QString()).toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

void storeTagessatz(std::optional<double> tagessatz)
{
    if (storedTagessatz() == tagessatz)
        return;
    // The old value stays unless the new one is stored.
    Transaction t(gConnection);
    gConnection.exec(QStringLiteral("delete from PARAMETER where PARID = ?"), {kTagessatzRow});
    if (tagessatz)
        gConnection.exec(QStringLiteral("insert into PARAMETER (PARID, WERT) values (?, ?)"),
                         {kTagessatzRow, QString::number(*tagessatz, 'g', 15)});
    t.commit();
}

} // namespace tlm
