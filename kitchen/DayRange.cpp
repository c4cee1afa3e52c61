#include "kitchen/DayRange.h"

#include "data/Globals.h"

namespace tlm {

QString daysFromTo(const QDate& from, const QDate& to)
{
    return QStringLiteral("TAG between '%1' and '%2'")
        .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
}

RecordsetPtr spanEntries(const QDate& from, const QDate& to)
{
    const bool replacements = gConnection.hasTable(QStringLiteral("ERSATZ"));
    return gConnection.execute(
        QStringLiteral("select S.TAG, S.TAGZEITNR, S.GTYPNR, S.GERNR, S.PERSONEN, %1 from SPEISEPLAN S %2"
                       " where S.%3 order by S.TAG, S.KEY")
            .arg(replacements ? QStringLiteral("E.GRUPPENR") : QStringLiteral("null"),
                 replacements ? QStringLiteral("left join ERSATZ E on E.KEY = S.KEY") : QString(),
                 daysFromTo(from, to)));
}

} // namespace tlm
