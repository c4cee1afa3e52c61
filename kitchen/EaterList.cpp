#include "kitchen/EaterList.h"

#include "data/Globals.h"

namespace tlm {

namespace {
QVariant dateOrNull(const QDate& d)
{
    return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant();
}

QString iso(const QDate& d)
{
    return d.toString(Qt::ISODate);
}

// Writes the rows of one table: those kept are updated, new ones numbered on, the rest deleted.
template <class Row>
void saveRows(const QVector<Row>& rows, const QString& table, const QString& keyColumn,
              const QStringList& columns, const std::function<QVector<QVariant>(const Row&)>& values)
{
    QStringList kept{QStringLiteral("0")};
    for (const Row& r : rows)
        if (r.nr != 0)
            kept << QString::number(r.nr);
    gConnection.exec("delete from " + table + " where " + keyColumn + " not in (" + kept.join(',') + ")");
    const QString insert = "insert into " + table + " (" + columns.join(QStringLiteral(", ")) + ", " +
                           keyColumn + ") values (" +
                           QStringList(columns.size() + 1, QStringLiteral("?")).join(',') + ')';
    const QString update = "update " + table + " set " + columns.join(QStringLiteral(" = ?, ")) +
                           " = ? where " + keyColumn + " = ?";
    for (const Row& r : rows) {
        const bool added = r.nr == 0;
        const int nr = added ? gConnection.newKey(table, keyColumn, 0) : r.nr;
        gConnection.exec(added ? insert : update, values(r) << nr);
    }
}
} // namespace

EaterList eaterList()
{
    EaterList list;
    if (!gConnection.hasTable(QStringLiteral("ESSER")))
        return list;
    RecordsetPtr bands = gConnection.execute(
        QStringLiteral("select ESSERNR, ESSER, FAKTOR, ANZAHL, VON, BIS from ESSER order by ESSERNR"));
    for (int r = 0; r < bands->rowCount(); ++r)
        list.bands << EaterBand{bands->value(r, 0).toInt(),    bands->value(r, 1).toString(),
                                bands->value(r, 2).toDouble(), bands->value(r, 3).toInt(),
                                bands->value(r, 4).toDate(),   bands->value(r, 5).toDate()};
    RecordsetPtr days = gConnection.execute(
        QStringLiteral("select APPETITNR, APPETIT, FAKTOR, VON, BIS from APPETIT order by APPETITNR"));
    for (int r = 0; r < days->rowCount(); ++r)
        list.appetite << AppetiteDays{days->value(r, 0).toInt(), days->value(r, 1).toString(),
                                      days->value(r, 2).toDouble(), days->value(r, 3).toDate(),
                                      days->value(r, 4).toDate()};
    return list;
}

void saveEaterList(const EaterList& list)
{
    Transaction t(gConnection);
    saveRows<EaterBand>(
        list.bands, QStringLiteral("ESSER"), QStringLiteral("ESSERNR"),
        {"ESSER", "FAKTOR", "ANZAHL", "VON", "BIS"}, [](const EaterBand& b) {
            return QVector<QVariant>{b.name, b.factor, b.count, dateOrNull(b.von), dateOrNull(b.bis)};
        });
    saveRows<AppetiteDays>(
        list.appetite, QStringLiteral("APPETIT"), QStringLiteral("APPETITNR"),
        {"APPETIT", "FAKTOR", "VON", "BIS"}, [](const AppetiteDays& a) {
            return QVector<QVariant>{a.name, a.factor, dateOrNull(a.von), dateOrNull(a.bis)};
        });
    t.commit();
}

int groupBand(int gruppeNr)
{
    if (!gConnection.hasTable(QStringLiteral("GRUPPENESSER")))
        return 0;
    RecordsetPtr rs =
        gConnection.execute("select ESSERNR from GRUPPENESSER where GRUPPENR = " + QString::number(gruppeNr));
    return rs->eof() ? 0 : rs->value(0, 0).toInt();
}

void setGroupBand(int gruppeNr, int bandNr)
{
    gConnection.exec(QStringLiteral("delete from GRUPPENESSER where GRUPPENR = ?"), {gruppeNr});
    if (bandNr != 0)
        gConnection.exec(QStringLiteral("insert into GRUPPENESSER (GRUPPENR, ESSERNR) values (?, ?)"),
                         {gruppeNr, bandNr});
}

QHash<qint32, int> entryHeads(const EaterList& list, const QDate& von, const QDate& bis)
{
    QHash<qint32, int> heads;
    if (list.bands.isEmpty())
        return heads;
    RecordsetPtr rs = gConnection.execute(
        "select S.KEY, S.TAG, S.TAGZEITNR, S.GTYPNR, E.GRUPPENR, G.PERSONEN from SPEISEPLAN S"
        " left join ERSATZ E on E.KEY = S.KEY left join GRUPPEN G on G.GRUPPENR = E.GRUPPENR"
        " where S.TAG between '" +
        iso(von) + "' and '" + iso(bis) + "'");
    // Per course the heads of the groups that eat their own dish in it.
    QHash<QString, QHash<int, int>> courseGroups;
    auto course = [&](int r) {
        return rs->value(r, 1).toDate().toString(Qt::ISODate) + '/' + rs->value(r, 2).toString() + '/' +
               rs->value(r, 3).toString();
    };
    for (int r = 0; r < rs->rowCount(); ++r)
        if (!rs->value(r, 4).isNull())
            courseGroups[course(r)].insert(rs->value(r, 4).toInt(), rs->value(r, 5).toInt());
    for (int r = 0; r < rs->rowCount(); ++r) {
        const DayEaters day = eatersOn(list, rs->value(r, 1).toDate());
        if (!day.covered)
            continue;
        int h = 0;
        if (!rs->value(r, 4).isNull()) {
            h = rs->value(r, 5).toInt();
        } else {
            h = day.heads;
            for (int g : courseGroups.value(course(r)))
                h -= g;
        }
        heads.insert(rs->value(r, 0).toInt(), qMax(0, h));
    }
    return heads;
}

QVector<CourseGroup> dietGroupHeads()
{
    QVector<CourseGroup> groups;
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select G.GRUPPENR, G.PERSONEN, coalesce(E.ESSERNR, 0) from GRUPPEN G"
                       " left join GRUPPENESSER E on E.GRUPPENR = G.GRUPPENR order by G.GRUPPENR"));
    for (int r = 0; r < rs->rowCount(); ++r)
        groups << CourseGroup{rs->value(r, 0).toInt(), rs->value(r, 1).toInt(), rs->value(r, 2).toInt()};
    return groups;
}

QString stalePortionDays(const EaterList& list)
{
    if (!gConnection.hasTable(QStringLiteral("PORTIONENSTAND")))
        return {};
    RecordsetPtr stand = gConnection.execute(QStringLiteral("select TAG, STAND from PORTIONENSTAND"));
    if (stand->rowCount() == 0)
        return {};
    QHash<QDate, QString> written;
    for (int r = 0; r < stand->rowCount(); ++r)
        written.insert(stand->value(r, 0).toDate(), stand->value(r, 1).toString());
    RecordsetPtr days = gConnection.execute(QStringLiteral("select distinct TAG from SPEISEPLAN"));
    const QVector<CourseGroup> groups = dietGroupHeads();
    QVector<QDate> stale;
    for (int r = 0; r < days->rowCount(); ++r) {
        const QDate day = days->value(r, 0).toDate();
        if (portionStand(list, groups, day) != written.value(day))
            stale << day;
    }
    return daySpansText(stale);
}

void markPortionsNotTaken()
{
    // An empty record matches only a day the eaters do not cover.
    if (gConnection.exec(QStringLiteral("delete from PORTIONENSTAND")) > 0)
        gConnection.exec(QStringLiteral("insert into PORTIONENSTAND (TAG, STAND) select distinct TAG, '' "
                                        "from SPEISEPLAN where TAG is not null"));
}

} // namespace tlm
