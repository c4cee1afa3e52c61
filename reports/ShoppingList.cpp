#include "reports/ShoppingList.h"
#include "app/DataProcedures.h"
#include "app/ErrorReporter.h"
#include "data/Convert.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "reports/PackageCount.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

#include <QApplication>
#include <QPalette>

namespace tlm {

namespace {
const QString kItemFormat = QStringLiteral("3500|>1000|>1000|>1100|1000|1000;");

// One item row per ingredient of the query; the running sum grows by each row's price.
void itemList(ReportPrinter& vp, const QString& sql, double& sum)
{
    vp.TableFrame(0);
    RecordsetPtr rs = gConnection.execute(sql);
    for (; !rs->eof(); rs->moveNext()) {
        const QString name = textOf(rs->field(QStringLiteral("ZUTAT")));
        try {
            const QVariant mengsum = rs->field(QStringLiteral("MENGSUM"));
            const QVariant menge = rs->field(QStringLiteral("MENGE"));
            const QString unit = textOf(rs->field(QStringLiteral("EINHEIT")));
            const qint16 n = packageCount(mengsum, menge);
            const QVariant price = rs->field(QStringLiteral("PREIS"));
            if (price.isNull())
                raise(ErrInvalidNull);
            const double rowPrice = roundSignificant(n * toDouble(price));
            vp.AppendRows(kItemFormat, {{name, numberText(roundSignificant(toDouble(mengsum))) + " " + unit,
                                         numberText(n * toDouble(menge)) + " " + unit, QString::number(n),
                                         currencyText(toDouble(price)), currencyText(rowPrice)}});
            sum = roundSignificant(sum + rowPrice);
        } catch (const Error& e) {
            // The user learns which ingredient to mend.
            throw Error(e.number, e.description + " (Zutat: " + name + ")");
        }
    }
}
} // namespace

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
        vp.TableFrame(1);
        vp.setCursorY(vp.CursorY() + 200);
        vp.AppendTable(kItemFormat, QStringLiteral("Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt;"),
                       QApplication::palette().button().color());
        double sum = 0;
        const QString columns = QStringLiteral("select ZUTAT,MENGE,EINHEIT,MENGSUM,PREIS from ");
        if (kind != 3) {
            itemList(vp, columns + "VW_MENGEN" + condition + " and NOKAUF = 0 order by ZUTAT", sum);
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
                itemList(vp,
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
