#include "data/Costs.h"

#include "data/Convert.h"
#include "data/Globals.h"

namespace tlm {

namespace {
// The one definition of a recipe line's cost for %1 persons, and of what makes it unknown; both
// queries below use them, so that the dialog's label and the report never differ.
const QString kCounts = QStringLiteral("Z.NOKAUF = 0 and coalesce(RZ.MENGE4P, 0) <> 0");
QString lineCost(const QString& persons)
{
    return QStringLiteral("sum(case when %1 then RZ.MENGE4P * coalesce(%2, 0) / 4.0 * Z.PREIS / Z.MENGE end)")
        .arg(kCounts, persons);
}
const QString kMissing =
    QStringLiteral(
        "min(case when %1 and Z.PREIS is null then 'Preis fehlt: ' || coalesce(Z.ZUTAT, '?')"
        " when %1 and coalesce(Z.MENGE, 0) = 0 then 'Packungsgröße 0: ' || coalesce(Z.ZUTAT, '?') end)")
        .arg(kCounts);

Cost costOf(const QVariant& sum, const QVariant& missing)
{
    Cost c;
    c.missing = textOf(missing);
    c.value = c.known() && !sum.isNull() ? roundSignificant(sum.toDouble()) : 0;
    return c;
}
} // namespace

Cost entryCost(qint32 gerNr, double persons)
{
    RecordsetPtr rs = gConnection.execute(
        "select " + lineCost(QString::number(persons, 'g', 17)) + " as KOSTEN, " + kMissing +
        " as FEHLT from REZEPTE RZ join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR where RZ.GERNR = " +
        QString::number(gerNr));
    return costOf(rs->value(0, 0), rs->value(0, 1));
}

Cost DayCost::perPerson() const
{
    if (!cost.known())
        return cost;
    Cost c;
    if (headCount <= 0)
        c.missing = QStringLiteral("keine Personen");
    else
        c.value = roundSignificant(cost.value / headCount);
    return c;
}

QVector<DayCost> dayCosts(const QDate& von, const QDate& bis)
{
    RecordsetPtr rs =
        gConnection.execute("select S.TAG as TAG, max(S.PERSONEN) as KOEPFE, " +
                            lineCost(QStringLiteral("S.PERSONEN")) + " as KOSTEN, " + kMissing +
                            " as FEHLT from SPEISEPLAN S left join REZEPTE RZ on RZ.GERNR = S.GERNR"
                            " left join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR where S.TAG between '" +
                            von.toString(Qt::ISODate) + "' and '" + bis.toString(Qt::ISODate) +
                            "' group by S.TAG order by S.TAG");
    QVector<DayCost> days;
    days.reserve(rs->rowCount());
    for (int r = 0; r < rs->rowCount(); ++r) {
        DayCost d;
        d.day = rs->value(r, 0).toDate();
        d.headCount = rs->value(r, 1).toInt();
        d.cost = costOf(rs->value(r, 2), rs->value(r, 3));
        days << d;
    }
    return days;
}

} // namespace tlm
