#pragma once

#include "reports/ReportJob.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace tlm {

class ReportPrinter;

// Starts a new document under the page header with the title, in the margins and fonts every
// report uses; the cursor stands at 1000 twips. The page is A4 upright unless landscape is asked for.
void setUpReport(ReportPrinter& vp, const QString& title, bool landscape = false);

// The plan's days in chunks for reports that read them a few at a time: the first day alone (its
// page is shown at once), then a week each. None on an empty plan.
struct DayRange
{
    QDate from;
    QDate to;
};
QVector<DayRange> planInChunks();
// "TAG between 'yyyy-mm-dd' and 'yyyy-mm-dd'".
QString daysFromTo(const QDate& from, const QDate& to);

} // namespace tlm
