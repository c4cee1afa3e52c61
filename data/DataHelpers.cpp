#include "data/DataHelpers.h"

#include "data/Error.h"
#include "data/Globals.h"

namespace tlm {

qint16 fncFalseTrueto01(qint16 flag)
{
    return flag == -1 ? 1 : 0;
}

bool fnc01toFalseTrue(qint16 value)
{
    return value == 1;
}

qint64 recordVersion(const QString& table, const QString& keyColumn, qint32 key)
{
    RecordsetPtr rs = gConnection.openWritable("select " + keyColumn + " from " + table + " where " +
                                               keyColumn + " = " + QString::number(key));
    return rs->eof() ? -1 : rs->version();
}

qint64 saveRecord(const QString& table, const QString& keyColumn, qint32 key, const QString& columns,
                  const std::function<void(Recordset&)>& assign, qint64 readVersion)
{
    RecordsetPtr rs = gConnection.openWritable("select " + columns + " from " + table + " where " +
                                               keyColumn + " = " + QString::number(key));
    // Read as it was, or not at all: a record gone or changed meanwhile is not written over.
    if (readVersion >= 0 && (rs->eof() || rs->version() != readVersion))
        raise(ErrChangedElsewhere);
    if (rs->eof()) {
        rs->addNew();
        rs->setField(keyColumn, key);
    }
    assign(*rs);
    rs->update();
    return rs->version();
}

PlanSpan planSpan()
{
    RecordsetPtr rs =
        gConnection.execute(QStringLiteral("select min(TAG) as ERSTER, max(TAG) as LETZTER from SPEISEPLAN"));
    return {rs->value(0, 0).toDate(), rs->value(0, 1).toDate()};
}

PlanSpan proposedSpan()
{
    const PlanSpan span = planSpan();
    if (!span.first.isValid())
        return span;
    return {span.first, qMin(span.last, span.first.addDays(kLongestSpan - 1))};
}

qint32 newKeysWithin(const QString& table, const QString& column, int count, qint32 highest, int* room)
{
    const qint32 first = gConnection.newKey(table, column, 0, count);
    if (first + count - 1 <= highest)
        return first;
    if (gConnection.isServer()) {
        *room = qMax(0, highest - first + 1);
        return 0;
    }
    RecordsetPtr rs =
        gConnection.execute(QStringLiteral("select %1 from %2 where %1 between 1 and %3 order by %1")
                                .arg(column, table)
                                .arg(highest));
    *room = 0;
    qint32 previous = 0;
    for (int r = 0; r <= rs->rowCount(); ++r) {
        const qint32 next = r < rs->rowCount() ? rs->value(r, 0).toInt() : highest + 1;
        const int free = next - previous - 1;
        if (free >= count)
            return previous + 1;
        *room = qMax(*room, free);
        previous = next;
    }
    return 0;
}

} // namespace tlm
