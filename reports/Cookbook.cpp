#include "reports/Cookbook.h"

#include "app/ErrorReporter.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

#include <QHash>

namespace tlm {

namespace {
struct Dish
{
    QVector<QStringList> lines; // quantity with unit, ingredient
    QString preparation;
};

// The recipes and preparation texts of every dish the cookbook prints (lunch and dinner, not of type
// 7, not left out), in one statement each.
QHash<qint32, Dish> printedDishes()
{
    QHash<qint32, Dish> dishes;
    const QString in = QStringLiteral(" in (select GERNR from VW_SPEISEPLAN where TAG is not null and"
                                      " TAGZEITNR in (2, 3) and GTYPNR <> 7 and NODRUCK = 0)");
    RecordsetPtr lines =
        gConnection.execute("select GERNR,ZUTAT,MENGE4P,EINHEIT from VW_REZEPTE where GERNR" + in +
                            " order by GERNR,ZUTAT,ZUTNR,MENGE4P,REZNR");
    for (int r = 0; r < lines->rowCount(); ++r)
        dishes[lines->value(r, 0).toInt()].lines << QStringList{
            textOf(lines->value(r, 2)) + " " + textOf(lines->value(r, 3)), textOf(lines->value(r, 1))};
    // A preparation text that cannot be read counts as empty; the failure is reported as a lookup's.
    guard("tlm/fncDBLookup", [&] {
        RecordsetPtr texts =
            gConnection.execute("select GERNR,ZUBEREITUNG as vWert from GERICHTE where GERNR" + in);
        for (int r = 0; r < texts->rowCount(); ++r)
            dishes[texts->value(r, 0).toInt()].preparation = textOf(texts->value(r, 1));
    });
    return dishes;
}

void printDish(ReportPrinter& vp, const QString& name, const Dish& dish)
{
    vp.TextFontBold(true);
    vp.AppendRows(QStringLiteral("9000;"), {{name}});
    vp.TextFontBold(false);
    vp.setCursorY(vp.CursorY() + 100);
    vp.TableFrame(0);
    for (const QStringList& line : dish.lines)
        vp.AppendRows(QStringLiteral(">1000|7000;"), {line});
    vp.setCursorY(vp.CursorY() + 100);
    if (!dish.preparation.isEmpty())
        vp.AppendRows(QStringLiteral("2000|7000;"), {{QStringLiteral("Zubereitung:"), dish.preparation}},
                      QColor(), false);
    vp.setCursorY(vp.CursorY() + 200);
}

RecordsetPtr cookbookPlan()
{
    return gConnection.execute(
        QStringLiteral("select TAG,TAGZEITNR,TAGZEIT,GTYPNR,NODRUCK,GERNR,GERICHT from VW_SPEISEPLAN"
                       " where TAG is not null order by TAG,TAGZEITNR,GTYPSORT,GERNR,PERSONEN,KEY"));
}

// Every day with a printable entry, its lunch and dinner (times of day 2 and 3) with the dishes that
// are printed (not of type 7, not left out). The whole plan and the dishes' recipes are read at once:
// a fixed number of statements however long the plan.
ReportJob cookbook(ReportPrinter& vp)
{
    setUpReport(vp, QStringLiteral("Kochbuch für 4 Personen"));
    RecordsetPtr rs = cookbookPlan();
    const QHash<qint32, Dish> known = printedDishes();
    const int rows = rs->rowCount();
    auto at = [&](int r, int c) { return rs->value(r, c); };
    auto time = [&](int r) { return at(r, 1).isNull() ? 0 : at(r, 1).toInt(); };
    // As "GTYPNR <> 7 and NODRUCK = 0" reads: an unknown value prints nothing.
    auto printed = [&](int r) {
        return !at(r, 3).isNull() && at(r, 3).toInt() != 7 && !at(r, 4).isNull() && !at(r, 4).toBool();
    };
    for (int first = 0; first < rows;) {
        int end = first;
        bool printable = false;
        while (end < rows && at(end, 0) == at(first, 0)) {
            printable = printable || (!at(end, 4).isNull() && !at(end, 4).toBool());
            ++end;
        }
        bool headed = false;
        for (const int t : {2, 3}) {
            int firstOfTime = first;
            while (firstOfTime < end && time(firstOfTime) != t)
                ++firstOfTime;
            if (!printable || firstOfTime == end)
                continue;
            if (!headed) {
                vp.TableFrame(1);
                vp.TextFontBold(true);
                vp.AppendRows(QStringLiteral("9000;"), {{longDayDate(at(first, 0).toDate())}}, kCaptionShade);
                vp.TextFontBold(false);
                vp.TableFrame(0);
                vp.setCursorY(vp.CursorY() + 100);
                headed = true;
            }
            vp.TextFontBold(true);
            vp.TextFontItalic(true);
            vp.TableFrame(1);
            vp.AppendRows(QStringLiteral("9000;"), {{textOf(at(firstOfTime, 2))}});
            vp.TableFrame(0);
            vp.TextFontBold(false);
            vp.TextFontItalic(false);
            for (int r = firstOfTime; r < end; ++r) {
                if (time(r) != t || !printed(r))
                    continue;
                printDish(vp, textOf(at(r, 6)), known.value(at(r, 5).toInt()));
                co_yield 0;
            }
        }
        first = end;
    }
    vp.EndDocument();
}
} // namespace

void fncDruckKochbuch()
{
    runReport("tlm/fncDruckKochbuch", cookbook);
}

void readKochbuch()
{
    cookbookPlan();
    printedDishes();
}

} // namespace tlm
