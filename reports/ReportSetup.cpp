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

void stopReport()
{
    if (frmDlgDruck* w = frmDlgDruck::shared())
        w->vp->stop();
}

QVector<DayRange> planInChunks()
{
    // Each chunk starts on a day that has entries, so that weeks without any cost nothing: one stray
    // date years away is one chunk more, not one per week between.
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select distinct TAG from SPEISEPLAN where TAG is not null order by TAG"));
    QVector<DayRange> chunks;
    const int days = rs->rowCount();
    const QDate last = days > 0 ? rs->value(days - 1, 0).toDate() : QDate();
    for (int r = 0; r < days; ++r) {
        const QDate from = rs->value(r, 0).toDate();
        if (!from.isValid() || (!chunks.isEmpty() && from <= chunks.last().to))
            continue;
        chunks << DayRange{from, qMin(last, chunks.isEmpty() ? from : from.addDays(6))};
    }
    return chunks;
}

QString daysFromTo(const QDate& from, const QDate& to)
{
    return QStringLiteral("TAG between '%1' and '%2'")
        .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
}

} // namespace tlm
