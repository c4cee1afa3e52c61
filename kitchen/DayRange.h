#pragma once

#include <QDate>
#include <QString>
#include <QVector>

namespace tlm {

// A span of plan days, both ends included.
struct DayRange
{
    QDate from;
    QDate to;
};
// "TAG between 'yyyy-mm-dd' and 'yyyy-mm-dd'".
QString daysFromTo(const QDate& from, const QDate& to);

} // namespace tlm
