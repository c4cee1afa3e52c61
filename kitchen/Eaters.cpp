#include "kitchen/Eaters.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tlm {

bool EaterBand::on(const QDate& day) const
{
    return (!von.isValid() || day >= von) && (!bis.isValid() || day <= bis);
}

bool AppetiteDays::on(const QDate& day) const
{
    return day >= von && day <= (bis.isValid() ? bis : von);
}

double EaterList::factorOf(int bandNr) const
{
    for (const EaterBand& b : bands)
        if (b.nr == bandNr)
            return b.factor;
    return 1;
}

DayEaters eatersOn(const EaterList& list, const QDate& day)
{
    DayEaters d;
    double portions = 0;
    for (const EaterBand& b : list.bands)
        if (b.on(day)) {
            d.covered = true;
            d.heads += b.count;
            portions += b.count * b.factor;
        }
    for (const AppetiteDays& a : list.appetite)
        if (a.on(day))
            d.appetite *= a.factor;
    d.portions = portions * d.appetite;
    return d;
}

int wholePortions(double exact)
{
    // 10 × 1,1 is 11.000000000000002 in binary: settled to millionths before rounding up.
    return int(std::ceil(std::round(exact * 1e6) / 1e6));
}

CoursePortions coursePortions(const EaterList& list, const QDate& day, const QVector<CourseGroup>& groups)
{
    const DayEaters d = eatersOn(list, day);
    CoursePortions c;
    c.total = wholePortions(d.portions);
    int eaten = 0;
    for (const CourseGroup& g : groups) {
        if (c.groups.contains(g.gruppeNr))
            continue;
        const int portions = wholePortions(g.heads * list.factorOf(g.bandNr) * d.appetite);
        c.groups.insert(g.gruppeNr, portions);
        eaten += portions;
    }
    c.common = c.total - eaten;
    c.refused = c.common < 0;
    return c;
}

QString portionStand(const EaterList& list, const QVector<CourseGroup>& groups, const QDate& day)
{
    if (!eatersOn(list, day).covered)
        return {};
    const CoursePortions all = coursePortions(list, day, groups);
    QStringList parts{QString::number(all.total)};
    for (const CourseGroup& g : groups)
        parts << QString::number(g.gruppeNr) + '=' + QString::number(all.groups.value(g.gruppeNr));
    return parts.join(';');
}

QString daySpansText(QVector<QDate> days)
{
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    QStringList spans;
    for (int i = 0; i < days.size();) {
        int j = i;
        while (j + 1 < days.size() && days[j].daysTo(days[j + 1]) == 1)
            ++j;
        const QString first = days[i].toString(QStringLiteral("dd.MM."));
        spans << (j == i ? first : first + QStringLiteral("–") + days[j].toString(QStringLiteral("dd.MM.")));
        i = j + 1;
    }
    return spans.join(QStringLiteral(", "));
}

} // namespace tlm
