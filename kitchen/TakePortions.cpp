#include "kitchen/TakePortions.h"

#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/EaterList.h"
#include "kitchen/Undo.h"

#include <QHash>
#include <QMap>
#include <QStringList>
#include <optional>

namespace tlm {

namespace {
struct Entry
{
    qint32 key = 0;
    QDate day;
    int persons = 0;
    int gruppeNr = 0; // 0: a common entry
    QString meal;     // "Mo 20.07. Mittag"
};

QString keyList(const QVector<qint32>& keys)
{
    QStringList texts;
    for (qint32 k : keys)
        texts << QString::number(k);
    return texts.join(',');
}
} // namespace

TakenPortions takePortions(const QDate& von, const QDate& bis, const QVector<int>& tagZeitNrs)
{
    TakenPortions taken;
    if (tagZeitNrs.isEmpty())
        return taken;
    QStringList times;
    for (int t : tagZeitNrs)
        times << QString::number(t);
    Transaction t(gConnection);
    const EaterList list = eaterList();
    const QVector<CourseGroup> groups = dietGroupHeads();
    RecordsetPtr rs = gConnection.execute(
        "select S.KEY, S.TAG, S.TAGZEITNR, S.GTYPNR, coalesce(S.PERSONEN, 0), coalesce(E.GRUPPENR, 0),"
        " coalesce(T.TAGZEITKURZ, T.TAGZEIT) from SPEISEPLAN S left join ERSATZ E on E.KEY = S.KEY"
        " left join TAGZEIT T on T.TAGZEITNR = S.TAGZEITNR where S.TAG between ? and ? and S.TAGZEITNR in (" +
            times.join(',') + ") order by S.TAG, T.TAGZEITSORT, S.TAGZEITNR, S.GTYPNR, S.KEY",
        {von.toString(Qt::ISODate), bis.toString(Qt::ISODate)});
    // The entries per course, in the plan's order.
    QVector<QVector<Entry>> courses;
    QHash<QString, int> courseAt;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const QDate day = rs->value(r, 1).toDate();
        if (!eatersOn(list, day).covered)
            continue;
        const QString course =
            day.toString(Qt::ISODate) + '/' + rs->value(r, 2).toString() + '/' + rs->value(r, 3).toString();
        if (!courseAt.contains(course)) {
            courseAt.insert(course, int(courses.size()));
            courses.append(QVector<Entry>());
        }
        courses[courseAt.value(course)]
            << Entry{rs->value(r, 0).toInt(), day, rs->value(r, 4).toInt(), rs->value(r, 5).toInt(),
                     shortDayDate(day) + ' ' + textOf(rs->value(r, 6))};
    }
    // Every course first: a refusal changes nothing.
    QMap<int, QVector<qint32>> byPersons;
    QMap<QDate, bool> days;
    for (const QVector<Entry>& entries : courses) {
        QVector<CourseGroup> eating;
        for (const Entry& e : entries)
            for (const CourseGroup& g : groups)
                if (g.gruppeNr == e.gruppeNr)
                    eating << g;
        const CoursePortions c = coursePortions(list, entries.first().day, eating);
        if (c.refused) {
            taken.refusal =
                QStringLiteral("%1: die Gruppen essen %2 Portionen, der Tag hat nur %3. Nichts geändert.")
                    .arg(entries.first().meal)
                    .arg(c.total - c.common)
                    .arg(c.total);
            return taken;
        }
        days.insert(entries.first().day, true);
        for (const Entry& e : entries) {
            const int persons =
                e.gruppeNr != 0 && c.groups.contains(e.gruppeNr) ? c.groups.value(e.gruppeNr) : c.common;
            if (persons != e.persons)
                byPersons[persons] << e.key;
        }
    }
    QVector<qint32> changed;
    for (const QVector<qint32>& keys : byPersons)
        changed += keys;
    std::optional<UndoStep> step;
    if (!changed.isEmpty()) {
        step.emplace(QStringLiteral("Portionen übernehmen"));
        step->keepRows("KEY in (" + keyList(changed) + ')');
        step->keepPortionStand(von, bis);
        for (auto p = byPersons.cbegin(); p != byPersons.cend(); ++p)
            gConnection.exec("update SPEISEPLAN set PERSONEN = ? where KEY in (" + keyList(p.value()) + ')',
                             {p.key()});
    }
    // What was written per day, to tell later when the eaters no longer match.
    gConnection.exec(QStringLiteral("delete from PORTIONENSTAND where TAG between ? and ?"),
                     {von.toString(Qt::ISODate), bis.toString(Qt::ISODate)});
    if (!days.isEmpty()) {
        QVector<QVariant> stand;
        for (auto d = days.cbegin(); d != days.cend(); ++d)
            stand << d.key().toString(Qt::ISODate) << portionStand(list, groups, d.key());
        gConnection.exec("insert into PORTIONENSTAND (TAG, STAND) values " +
                             QStringList(days.size(), QStringLiteral("(?, ?)")).join(QStringLiteral(", ")),
                         stand);
    }
    if (step)
        step->finish();
    t.commit();
    taken.changed = int(changed.size());
    return taken;
}

} // namespace tlm
