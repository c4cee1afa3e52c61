#include "reports/ReportSetup.h"

#include "data/Globals.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"

#include <QDate>

namespace tlm {

void setUpReport(ReportPrinter& vp, const QString& title, bool landscape)
{
    vp.setLandscape(landscape);
    vp.PageMargins(1000, 1500, 500);
    vp.PageHeader(gAppTitle + "|" + title + "|" +
                  QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    vp.HeaderFont(gFontName, 8, true);
    vp.TextFont(gFontName, 8, false, false);
    vp.BeginDocument();
    vp.setCursorY(1000);
}

void runReport(const char* tag, ReportGenerator generator)
{
    frmDlgDruck::showShared()->vp->run(QString::fromUtf8(tag), std::move(generator));
}

void stopReport()
{
    if (frmDlgDruck* w = frmDlgDruck::shared())
        w->vp->stop();
}

} // namespace tlm
