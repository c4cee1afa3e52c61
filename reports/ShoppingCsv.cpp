#include "reports/ShoppingCsv.h"

#include "data/Convert.h"
#include "data/FileWrite.h"
#include "data/Money.h"
#include "kitchen/ShoppingRows.h"

#include <QStringList>

namespace tlm {

namespace {
QString field(const QString& text)
{
    if (!text.contains(';') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
        return text;
    return '"' + QString(text).replace('"', QLatin1String("\"\"")) + '"';
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
                             moneyNumber(r.price),
                             moneyNumber(r.total),
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
