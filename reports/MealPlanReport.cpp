#include "reports/MealPlanReport.h"

#include "data/Convert.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

namespace tlm {

namespace {
RecordsetPtr mealPlanRows()
{
    return gConnection.execute(QStringLiteral("select TAG,TAGZEITKURZ,GTYPKURZ,GERICHT,PERSONEN from "
                                              "VW_SPEISEPLAN order by TAG,TAGZEITSORT,GTYPSORT,KEY"));
}

ReportJob mealPlan(ReportPrinter& vp)
{
    setUpReport(vp, QStringLiteral("Speiseplan"));
    const QString format = QStringLiteral("1500|1000|800|5000|800;");
    vp.TableFrame(1);
    vp.AppendTable(format, QStringLiteral("Tag|Zeit|Typ|Gericht|Pers.;"), kCaptionShade);
    vp.TableFrame(0);
    RecordsetPtr rs = mealPlanRows();
    QDate previousDay;
    QString previousTime;
    for (; !rs->eof(); rs->moveNext()) {
        const QVariant tag = rs->field(QStringLiteral("TAG"));
        const QVariant time = rs->field(QStringLiteral("TAGZEITKURZ"));
        if (tag.isNull() || time.isNull())
            raise(ErrInvalidNull);
        QString dayText, timeText;
        if (tag.toDate() != previousDay) {
            vp.setCursorY(vp.CursorY() + 200);
            dayText = shortDate(tag.toDate());
        }
        if (time.toString() != previousTime)
            timeText = time.toString();
        vp.AppendRows(format, {{dayText, timeText, textOf(rs->field(QStringLiteral("GTYPKURZ"))),
                                textOf(rs->field(QStringLiteral("GERICHT"))),
                                textOf(rs->field(QStringLiteral("PERSONEN")))}});
        previousDay = tag.toDate();
        previousTime = time.toString();
        co_yield 0;
    }
    vp.EndDocument();
}
} // namespace

void fncDruckSpeiseplan()
{
    runReport("tlm/fncDruckSpeiseplan", mealPlan);
}

void readSpeiseplan()
{
    mealPlanRows();
}

} // namespace tlm
