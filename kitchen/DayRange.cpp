#include "kitchen/DayRange.h"

namespace tlm {

QString daysFromTo(const QDate& from, const QDate& to)
{
    return QStringLiteral("TAG between '%1' and '%2'")
        .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
}

} // namespace tlm
