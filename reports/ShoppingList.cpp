#include "reports/ShoppingList.h"
#include "app/DataProcedures.h"
#include "app/ErrorReporter.h"
#include "data/Convert.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"
#include "reports/ShoppingRows.h"

namespace tlm {

void fncDruckEinkauf(qint16 kind)
{
    guard("tlm/fncDruckEinkauf", [&] {
        QString title, condition;
        switch (kind) {
        case 1:
            title = QStringLiteral("Einkaufsliste Alles");
            condition = QStringLiteral(" where 1=1");
            break;
        case 2:
            title = QStringLiteral("Einkaufsliste Haltbares");
            condition = QStringLiteral(" where FRISCH = 0");
            break;
        case 3:
            title = QStringLiteral("Einkaufsliste Frisches (pro Tag)");
            break;
        default:
            raise(ErrInvalidCall);
        }
        ReportPrinter& vp = startReport(title);
        appendShoppingCaption(vp);
        double sum = 0;
        const QString columns = QStringLiteral("select ZUTAT,MENGE,EINHEIT,MENGSUM,PREIS from ");
        if (kind != 3) {
            appendShoppingItems(vp, columns + "VW_MENGEN" + condition + " and NOKAUF = 0 order by ZUTAT",
                                sum);
            vp.setCursorY(vp.CursorY() + 100);
            vp.AppendTable(QStringLiteral("8000"), "Gesamtsumme: " + currencyText(sum));
        } else {
            RecordsetPtr days = gConnection.execute(QStringLiteral(
                "select TAG from VW_MENGENTAG where FRISCH = -1 and NOKAUF = 0 group by TAG order by TAG"));
            for (; !days->eof(); days->moveNext()) {
                const QVariant day = days->field(QStringLiteral("TAG"));
                vp.TableFrame(1);
                vp.setCursorY(vp.CursorY() + 200);
                vp.AppendRows(QStringLiteral("8000;"), {{longDayDate(day.toDate())}});
                vp.setCursorY(vp.CursorY() + 100);
                appendShoppingItems(vp,
                                    columns + "VW_MENGENTAG where TAG = " + xDatetoSQL(day) +
                                        " and FRISCH = -1 and NOKAUF = 0 order by ZUTAT",
                                    sum);
                vp.setCursorY(vp.CursorY() + 100);
                vp.AppendTable(QStringLiteral("8000"), "Tagessumme: " + currencyText(sum));
                sum = 0;
                vp.setCursorY(vp.CursorY() + 200);
            }
        }
        vp.EndDocument();
    });
}

} // namespace tlm
