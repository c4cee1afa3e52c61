#include "reports/ReportSetup.h"
#include "data/Globals.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"

#include <QDate>

namespace tlm {

ReportPrinter& startReport(const QString& title)
{
    ReportPrinter& vp = *frmDlgDruck::showShared()->vp;
    vp.PageMargins(1000, 1500, 500);
    vp.PageHeader(gAppTitle + "|" + title + "|" +
                  QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    vp.HeaderFont(gFontName, 8, true);
    vp.TextFont(gFontName, 8, false, false);
    vp.BeginDocument();
    vp.setCursorY(1000);
    return vp;
}

} // namespace tlm
