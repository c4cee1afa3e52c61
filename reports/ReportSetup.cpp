#include "reports/ReportSetup.h"

#include "data/DataHelpers.h"
#include "data/Globals.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"

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

QVector<DayRange> planInChunks()
{
    const PlanSpan span = planSpan();
    QVector<DayRange> chunks;
    for (QDate from = span.first; from.isValid() && from <= span.last;) {
        const QDate to = qMin(span.last, chunks.isEmpty() ? from : from.addDays(6));
        chunks << DayRange{from, to};
        from = to.addDays(1);
    }
    return chunks;
}

QString daysFromTo(const QDate& from, const QDate& to)
{
    return QStringLiteral("TAG between '%1' and '%2'")
        .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
}

} // namespace tlm
