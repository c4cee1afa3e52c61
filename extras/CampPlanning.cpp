#include "extras/CampPlanning.h"

#include "data/Error.h"
#include "data/Globals.h"
#include "extras/Undo.h"

namespace tlm {

namespace {
QString iso(const QDate& d)
{
    return d.toString(Qt::ISODate);
}
} // namespace

qint32 highestKey()
{
    return gConnection.execute(QStringLiteral("select coalesce(max(KEY), 0) from SPEISEPLAN"))
        ->value(0, 0)
        .toInt();
}

int entriesBetween(const QDate& von, const QDate& bis, int tagZeitNr)
{
    RecordsetPtr rs = gConnection.execute(
        "select count(*) from SPEISEPLAN where TAG between '" + iso(von) + "' and '" + iso(bis) + "'" +
        (tagZeitNr > 0 ? " and TAGZEITNR = " + QString::number(tagZeitNr) : QString()));
    return rs->value(0, 0).toInt();
}

int changePersons(const QDate& von, const QDate& bis, int tagZeitNr, int persons)
{
    Transaction t(gConnection);
    const QString where = QStringLiteral("TAG between ? and ?") +
                          (tagZeitNr > 0 ? QStringLiteral(" and TAGZEITNR = ?") : QString());
    const QVector<QVariant> span = tagZeitNr > 0 ? QVector<QVariant>{iso(von), iso(bis), tagZeitNr}
                                                 : QVector<QVariant>{iso(von), iso(bis)};
    UndoStep(QStringLiteral("Personen ändern")).keepRows(where, span);
    const int changed = gConnection.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = ? where ") + where,
                                         QVector<QVariant>{persons} + span);
    t.commit();
    return changed;
}

CopyResult copyDays(const QDate& von, const QDate& bis, const QDate& ziel)
{
    // Beyond the last day a date can hold the copies would have no date at all.
    if (ziel.addDays(von.daysTo(bis)) > QDate(9999, 12, 31))
        raise(ErrArguments, QStringLiteral("die Kopien endeten nach dem 31.12.9999"));
    Transaction t(gConnection);
    const qint32 highest = highestKey();
    // The copies in the plan's own order, numbered on from the highest key.
    const int count = gConnection.exec(
        QStringLiteral("insert into SPEISEPLAN (KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK)"
                       " select ? + row_number() over (order by TAG, TAGZEITNR, GTYPNR, KEY),"
                       " date(TAG, ?), TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK"
                       " from SPEISEPLAN where TAG between ? and ?"),
        {highest, QStringLiteral("%1 days").arg(von.daysTo(ziel)), iso(von), iso(bis)});
    UndoStep(QStringLiteral("Tage kopieren")).keepNew(QStringLiteral("KEY > ?"), {highest});
    t.commit();
    return {count, highest + 1};
}

} // namespace tlm
