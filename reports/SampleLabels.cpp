#include "data/Convert.h"
#include "kitchen/Hygiene.h"
#include "reports/HygieneSheets.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

namespace tlm {

namespace {
constexpr double kInset = 3 * kMillimetre; // a label printer's drift keeps off its edges

ReportJob labels(ReportPrinter& vp, QDate von, QDate bis, int firstLabel)
{
    setUpReport(vp, QStringLiteral("Rückstellproben-Etiketten"));
    // The sheet's labels fill the page: no page header, the labels placed by their own margins.
    vp.PageHeader(QString());
    vp.PageMargins(0, 0, 0);
    vp.BeginDocument();
    vp.setDocumentTitle(QStringLiteral("Rückstellproben-Etiketten"));
    vp.TableFrame(0);
    const int keepDays = hygieneSettings().keepDays;
    const QString format = QString::number(qRound(kLabelWidth - 2 * kInset)) + ';';
    int slot = qBound(1, firstLabel, kLabelColumns * kLabelRows) - 1;
    for (const ServedDish& d : retainedSamples(von, bis, keepDays)) {
        if (slot == kLabelColumns * kLabelRows) {
            vp.NewPage();
            slot = 0;
        }
        const int row = slot / kLabelColumns;
        const int column = slot % kLabelColumns;
        vp.PageMargins(qRound(column * kLabelWidth + kInset), 0, 0);
        vp.setCursorY(kLabelTop + row * kLabelHeight + kInset);
        vp.TextFontBold(true);
        vp.AppendRows(format, {{QStringLiteral("Rückstellprobe")}, {d.dish}});
        vp.TextFontBold(false);
        vp.AppendRows(
            format,
            {{longDayDate(d.day)}, {d.meal}, {QStringLiteral("aufbewahren bis ") + shortDate(d.keepUntil)}});
        ++slot;
        co_yield 0;
    }
    vp.PageMargins(1000, 1500, 500);
    vp.EndDocument();
}
} // namespace

void fncDruckProbenEtiketten(const QDate& von, const QDate& bis, int firstLabel)
{
    runReport("tlm/fncDruckProbenEtiketten",
              [von, bis, firstLabel](ReportPrinter& vp) { return labels(vp, von, bis, firstLabel); });
}

} // namespace tlm
