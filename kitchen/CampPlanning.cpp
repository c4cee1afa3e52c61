#include "kitchen/CampPlanning.h"

#include "data/Error.h"
#include "data/Globals.h"
#include "kitchen/PlanKeys.h"
#include "kitchen/Undo.h"

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
    UndoStep step(QStringLiteral("Personen ändern"));
    step.keepRows(where, span);
    // An entry cooked for a group keeps the group's persons; the common entries of its meal and dish
    // type feed the others, so that the meal still has the persons given.
    int changed = gConnection.exec(
        QStringLiteral("update SPEISEPLAN set PERSONEN = (select G.PERSONEN from ERSATZ E join GRUPPEN G on"
                       " G.GRUPPENR = E.GRUPPENR where E.KEY = SPEISEPLAN.KEY)"
                       " where KEY in (select KEY from ERSATZ) and ") +
            where,
        span);
    // Only the common entries of a meal with a group's entry subtract: summing the meal's groups for
    // each of a year's 30,000 entries took most of the time.
    const QString sharing = QStringLiteral(
        " (select C.KEY from ERSATZ E join SPEISEPLAN S on S.KEY = E.KEY join SPEISEPLAN C on C.TAG = S.TAG"
        " and C.TAGZEITNR = S.TAGZEITNR and C.GTYPNR = S.GTYPNR) and ");
    changed += gConnection.exec("update SPEISEPLAN set PERSONEN = ? where KEY not in (select KEY from ERSATZ)"
                                " and KEY not in" +
                                    sharing + where,
                                QVector<QVariant>{persons} + span);
    changed += gConnection.exec(
        "update SPEISEPLAN set PERSONEN = max(0, ? - coalesce((select sum(S.PERSONEN) from SPEISEPLAN S"
        " join ERSATZ E on E.KEY = S.KEY where S.TAG = SPEISEPLAN.TAG and S.TAGZEITNR ="
        " SPEISEPLAN.TAGZEITNR and S.GTYPNR = SPEISEPLAN.GTYPNR), 0))"
        " where KEY not in (select KEY from ERSATZ) and KEY in" +
            sharing + where,
        QVector<QVariant>{persons} + span);
    step.finish();
    t.commit();
    return changed;
}

CopyResult copyDays(const QDate& von, const QDate& bis, const QDate& ziel)
{
    // Beyond the last day a date can hold the copies would have no date at all.
    if (ziel.addDays(von.daysTo(bis)) > QDate(9999, 12, 31))
        raise(ErrArguments, QStringLiteral("die Kopien endeten nach dem 31.12.9999"));
    Transaction t(gConnection);
    // The keys of the copies, reserved at once: on a server no other program gets them meanwhile.
    const int entries = entriesBetween(von, bis, 0);
    const PlanKeys keys = newPlanKeys(qMax(1, entries));
    if (!keys.refusal.isEmpty())
        throw Error(ErrArguments, keys.refusal);
    const qint32 highest = keys.first - 1;
    // The copies of entries cooked for a group stay the group's; numbered as below, before the copies
    // can fall into the span.
    gConnection.exec(
        QStringLiteral("insert into ERSATZ (KEY, GRUPPENR) select N.NEWKEY, E.GRUPPENR from"
                       " (select KEY, ? + row_number() over (order by TAG, TAGZEITNR, GTYPNR, KEY)"
                       " as NEWKEY from SPEISEPLAN where TAG between ? and ?) N"
                       " join ERSATZ E on E.KEY = N.KEY"),
        {highest, iso(von), iso(bis)});
    // The copies in the plan's own order, numbered on from the highest key.
    const int count = gConnection.exec(
        QStringLiteral("insert into SPEISEPLAN (KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK)"
                       " select ? + row_number() over (order by TAG, TAGZEITNR, GTYPNR, KEY),"
                       " date(TAG, ?), TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK"
                       " from SPEISEPLAN where TAG between ? and ?"),
        {highest, QStringLiteral("%1 days").arg(von.daysTo(ziel)), iso(von), iso(bis)});
    UndoStep step(QStringLiteral("Tage kopieren"));
    step.keepNew(QStringLiteral("KEY between ? and ?"), {keys.first, highest + count});
    step.finish();
    t.commit();
    return {count, highest + 1};
}

} // namespace tlm
