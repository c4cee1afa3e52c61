#pragma once

#include "data/Recordset.h"

#include <QDate>
#include <QString>

namespace tlm {

// A span of plan days, both ends included.
struct DayRange
{
    QDate from;
    QDate to;
};
// "TAG between 'yyyy-mm-dd' and 'yyyy-mm-dd'".
QString daysFromTo(const QDate& from, const QDate& to);

// Every entry from..to, by day and key: TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN and the diet group
// a replacement feeds (GRUPPENR, null for a common entry). One read the costs, the heads and the
// needs share.
RecordsetPtr spanEntries(const QDate& from, const QDate& to);

} // namespace tlm
