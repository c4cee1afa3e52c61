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

ShoppingRows::ShoppingRows(const QString& sql)
    : m_rs(gConnection.execute(sql)), m_fresh(m_rs->columnIndex(QStringLiteral("FRISCH")))
{}

bool ShoppingRows::next()
{
    if (m_started)
        m_rs->moveNext();
    m_started = true;
    return !m_rs->eof();
}

ShoppingRow ShoppingRows::row() const
{
    ShoppingRow row;
    row.name = textOf(m_rs->field(QStringLiteral("ZUTAT")));
    try {
        const QVariant need = m_rs->field(QStringLiteral("MENGSUM"));
        const QVariant size = m_rs->field(QStringLiteral("MENGE"));
        row.unit = textOf(m_rs->field(QStringLiteral("EINHEIT")));
        row.packages = packageCount(need, size);
        const QVariant price = m_rs->field(QStringLiteral("PREIS"));
        if (price.isNull())
            raise(ErrInvalidNull);
        row.need = roundSignificant(toDouble(need));
        row.bought = row.packages * toDouble(size);
        row.price = toDouble(price);
        row.total = roundSignificant(row.packages * row.price);
        row.fresh = m_fresh >= 0 && m_rs->value(m_rs->position(), m_fresh).toBool();
    } catch (const Error& e) {
        // The user learns which ingredient to mend.
        throw Error(e.number, e.description + " (Zutat: " + row.name + ")");
    }
    return row;
}

QVariant ShoppingRows::field(const QString& name) const
{
    return m_rs->field(name);
}

void forEachShoppingRow(const QString& sql, const std::function<void(const ShoppingRow&)>& use)
{
    ShoppingRows rows(sql);
    while (rows.next())
        use(rows.row());
}

QString itemsOfDays(const QString& condition)
{
    return QStringLiteral("select ZUTAT,MENGE,EINHEIT,sum(MENGSUM) as MENGSUM,PREIS,FRISCH from VW_MENGENTAG"
                          " where NOKAUF = 0 and (%1) group by ZUTNR order by ZUTAT")
        .arg(condition);
}

void appendShoppingCaption(ReportPrinter& vp)
{
    vp.TableFrame(1);
    vp.setCursorY(vp.CursorY() + 200);
    vp.AppendTable(kShoppingItemFormat, QStringLiteral("Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt;"),
                   QApplication::palette().button().color());
}

void appendShoppingItem(ReportPrinter& vp, const ShoppingRow& r, double& sum)
{
    vp.AppendRows(kShoppingItemFormat,
                  {{r.name, numberText(r.need) + " " + r.unit, numberText(r.bought) + " " + r.unit,
                    QString::number(r.packages), currencyText(r.price), currencyText(r.total)}});
    sum = roundSignificant(sum + r.total);
}

} // namespace tlm
