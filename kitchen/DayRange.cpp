#include "kitchen/DayRange.h"

#include "data/Globals.h"

namespace tlm {

QVector<DayRange> planInChunks()
{
    // Each chunk starts on a day that has entries, so that weeks without any cost nothing: one stray
    // date years away is one chunk more, not one per week between.
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select distinct TAG from SPEISEPLAN where TAG is not null order by TAG"));
    QVector<DayRange> chunks;
    const int days = rs->rowCount();
    const QDate last = days > 0 ? rs->value(days - 1, 0).toDate() : QDate();
    for (int r = 0; r < days; ++r) {
        const QDate from = rs->value(r, 0).toDate();
        if (!from.isValid() || (!chunks.isEmpty() && from <= chunks.last().to))
            continue;
        chunks << DayRange{from, qMin(last, chunks.isEmpty() ? from : from.addDays(6))};
    }
    return chunks;
}

QString daysFromTo(const QDate& from, const QDate& to)
{
    return QStringLiteral("TAG between '%1' and '%2'")
        .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
}

} // namespace tlm
