#pragma once

#include "reports/ReportJob.h"

#include <QColor>
#include <QString>

namespace tlm {

class ReportPrinter;

// The shade of caption rows: the light grey of the button faces of the window system the reports
// were first laid out for. The reports' own, so that a dark desktop theme does not print dark rows.
inline const QColor kCaptionShade{0xef, 0xef, 0xef};

// Starts a new document under the page header with the title, in the margins and fonts every
// report uses; the cursor stands at 1000 twips. The page is A4 upright unless landscape is asked for.
void setUpReport(ReportPrinter& vp, const QString& title, bool landscape = false);

} // namespace tlm
