#include "reports/ShoppingRows.h"

#include "data/Convert.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "reports/PackageCount.h"
#include "reports/ReportPrinter.h"

#include <QApplication>
#include <QPalette>

namespace tlm {

const QString kShoppingItemFormat = QStringLiteral("3500|>1000|>1000|>1100|1000|1000;");

void forEachShoppingRow(const QString& sql, const std::function<void(const ShoppingRow&)>& use)
{
    RecordsetPtr rs = gConnection.execute(sql);
    const int fresh = rs->columnIndex(QStringLiteral("FRISCH"));
    for (; !rs->eof(); rs->moveNext()) {
        ShoppingRow row;
        row.name = textOf(rs->field(QStringLiteral("ZUTAT")));
        try {
            const QVariant need = rs->field(QStringLiteral("MENGSUM"));
            const QVariant size = rs->field(QStringLiteral("MENGE"));
            row.unit = textOf(rs->field(QStringLiteral("EINHEIT")));
            row.packages = packageCount(need, size);
            const QVariant price = rs->field(QStringLiteral("PREIS"));
            if (price.isNull())
                raise(ErrInvalidNull);
            row.need = roundSignificant(toDouble(need));
            row.bought = row.packages * toDouble(size);
            row.price = toDouble(price);
            row.total = roundSignificant(row.packages * row.price);
            row.fresh = fresh >= 0 && rs->value(rs->position(), fresh).toBool();
        } catch (const Error& e) {
            // The user learns which ingredient to mend.
            throw Error(e.number, e.description + " (Zutat: " + row.name + ")");
        }
        use(row);
    }
}

QString itemsOfDays(const QString& condition)
{
    return QStringLiteral("select ZUTAT,MENGE,EINHEIT,sum(MENGSUM) as MENGSUM,PREIS,FRISCH from VW_MENGENTAG"
                          " where NOKAUF = 0 and (%1) group by ZUTNR order by ZUTAT")
        .arg(condition);
}

QString daysFromTo(const QDate& from, const QDate& to)
{
    return QStringLiteral("TAG between '%1' and '%2'")
        .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
}

void appendShoppingCaption(ReportPrinter& vp)
{
    vp.TableFrame(1);
    vp.setCursorY(vp.CursorY() + 200);
    vp.AppendTable(kShoppingItemFormat, QStringLiteral("Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt;"),
                   QApplication::palette().button().color());
}

void appendShoppingItems(ReportPrinter& vp, const QString& sql, double& sum)
{
    vp.TableFrame(0);
    forEachShoppingRow(sql, [&](const ShoppingRow& r) {
        vp.AppendRows(kShoppingItemFormat,
                      {{r.name, numberText(r.need) + " " + r.unit, numberText(r.bought) + " " + r.unit,
                        QString::number(r.packages), currencyText(r.price), currencyText(r.total)}});
        sum = roundSignificant(sum + r.total);
    });
}

} // namespace tlm
