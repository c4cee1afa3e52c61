#include "reports/Cookbook.h"
#include "app/DataProcedures.h"
#include "app/ErrorReporter.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

#include <QApplication>
#include <QPalette>

namespace tlm {

namespace {
void printDish(ReportPrinter& vp, const QString& gerNr, const QString& name)
{
    vp.TextFontBold(true);
    vp.AppendRows(QStringLiteral("9000;"), {{name}});
    vp.TextFontBold(false);
    vp.setCursorY(vp.CursorY() + 100);
    vp.TableFrame(0);
    RecordsetPtr ings = gConnection.execute(
        "select ZUTAT,MENGE4P,EINHEIT from VW_REZEPTE where GERNR = " + gerNr + " order by ZUTAT");
    for (; !ings->eof(); ings->moveNext())
        vp.AppendRows(QStringLiteral(">1000|7000;"), {{textOf(ings->field(QStringLiteral("MENGE4P"))) + " " +
                                                           textOf(ings->field(QStringLiteral("EINHEIT"))),
                                                       textOf(ings->field(QStringLiteral("ZUTAT")))}});
    vp.setCursorY(vp.CursorY() + 100);
    const QString preparation =
        textOf(fncDBLookup(QStringLiteral("GERICHTE"), QStringLiteral("ZUBEREITUNG"), "GERNR = " + gerNr));
    if (!preparation.isEmpty())
        vp.AppendRows(QStringLiteral("2000|7000;"), {{QStringLiteral("Zubereitung:"), preparation}}, QColor(),
                      false);
    vp.setCursorY(vp.CursorY() + 200);
}
} // namespace

void fncDruckKochbuch()
{
    guard("tlm/fncDruckKochbuch", [] {
        ReportPrinter& vp = startReport(QStringLiteral("Kochbuch für 4 Personen"));
        RecordsetPtr days = gConnection.execute(
            QStringLiteral("select TAG from SPEISEPLAN where NODRUCK = 0 group by TAG order by TAG"));
        for (; !days->eof(); days->moveNext()) {
            const QVariant day = days->field(QStringLiteral("TAG"));
            const QString literal = xDatetoSQL(day);
            RecordsetPtr times =
                gConnection.execute("select TAGZEIT,TAGZEITNR from VW_SPEISEPLAN where TAG = " + literal +
                                    " and TAGZEITNR in (2,3) group by TAGZEITNR,TAGZEIT order by TAGZEITNR");
            if (!times->eof()) {
                vp.TableFrame(1);
                vp.TextFontBold(true);
                vp.AppendRows(QStringLiteral("9000;"), {{longDayDate(day.toDate())}},
                              QApplication::palette().button().color());
                vp.TextFontBold(false);
                vp.TableFrame(0);
                vp.setCursorY(vp.CursorY() + 100);
            }
            for (; !times->eof(); times->moveNext()) {
                vp.TextFontBold(true);
                vp.TextFontItalic(true);
                vp.TableFrame(1);
                vp.AppendRows(QStringLiteral("9000;"), {{textOf(times->field(QStringLiteral("TAGZEIT")))}});
                vp.TableFrame(0);
                vp.TextFontBold(false);
                vp.TextFontItalic(false);
                RecordsetPtr dishes = gConnection.execute(
                    "select GERNR,GERICHT,TAGZEIT from VW_SPEISEPLAN where TAG = " + literal +
                    " and TAGZEITNR =" + textOf(times->field(QStringLiteral("TAGZEITNR"))) +
                    " and GTYPNR <> 7 and NODRUCK = 0 order by TAGZEITNR,GTYPSORT");
                for (; !dishes->eof(); dishes->moveNext())
                    printDish(vp, textOf(dishes->field(QStringLiteral("GERNR"))),
                              textOf(dishes->field(QStringLiteral("GERICHT"))));
            }
        }
        vp.EndDocument();
    });
}

} // namespace tlm
