#pragma once

#include <QDate>
#include <QString>
#include <QVector>

namespace tlm {

// The plan's days in chunks for reports that read them a few at a time: the first day alone (its
// page is shown at once), then a week each from the next day with entries. None on an empty plan.
struct DayRange
{
    QDate from;
    QDate to;
};
QVector<DayRange> planInChunks();
// "TAG between 'yyyy-mm-dd' and 'yyyy-mm-dd'".
QString daysFromTo(const QDate& from, const QDate& to);

} // namespace tlm
