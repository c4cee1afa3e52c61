#include "extras/ShoppingCsv.h"

#include "data/Convert.h"
#include "plan/PlanFile.h"
#include "reports/ShoppingRows.h"

#include <QStringList>
#include <cmath>

namespace tlm {

namespace {
QString field(const QString& text)
{
    if (!text.contains(';') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
        return text;
    return '"' + QString(text).replace('"', QLatin1String("\"\"")) + '"';
}

// Money with its cents (2,50), or with the finer decimals a price was stored with.
QString money(double d)
{
    if (std::abs(d * 100 - std::round(d * 100)) < 1e-7)
        return locale().toString(d, 'f', 2);
    return numberText(d);
}
} // namespace

QByteArray shoppingCsv()
{
    QStringList lines{
        QStringLiteral("Zutat;Bedarf;Einheit;Einkauf;Packungen;Einzelpreis;Gesamtpreis;Frisch")};
    ShoppingRows rows(QStringLiteral("select ZUTAT,MENGE,EINHEIT,MENGSUM,PREIS,FRISCH from VW_MENGEN"
                                     " where 1=1 and NOKAUF = 0 order by ZUTAT"));
    while (rows.next()) {
        const ShoppingRow r = rows.row();
        lines << QStringList{field(r.name),
                             numberText(r.need),
                             field(r.unit),
                             numberText(r.bought),
                             QString::number(r.packages),
                             money(r.price),
                             money(r.total),
                             r.fresh ? QStringLiteral("ja") : QStringLiteral("nein")}
                     .join(';');
    }
    return QByteArray("\xEF\xBB\xBF") +
           (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

void exportShoppingCsv(const QString& path)
{
    writeFileAtomically(path, shoppingCsv());
}

} // namespace tlm
