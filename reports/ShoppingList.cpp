#include "reports/ShoppingList.h"

#include "data/Convert.h"
#include "data/Error.h"
#include "kitchen/ShoppingRows.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

namespace tlm {

namespace {
// The item table of the lists: its caption row (framed and shaded), and an item row whose money is
// added to sum (exactly: the sum is shown rounded, not the rows' rounded amounts).
const QString kShoppingItemFormat = QStringLiteral("3500|>1000|>1000|>1100|1000|1000;");

void appendShoppingCaption(ReportPrinter& vp)
{
    vp.TableFrame(1);
    vp.setCursorY(vp.CursorY() + 200);
    vp.AppendTable(kShoppingItemFormat, QStringLiteral("Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt;"),
                   kCaptionShade);
}

void appendShoppingItem(ReportPrinter& vp, const ShoppingRow& r, Money& sum)
{
    vp.AppendRows(kShoppingItemFormat,
                  {{r.name, numberText(r.need) + " " + r.unit, numberText(r.bought) + " " + r.unit,
                    QString::number(r.packages), priceText(r.price), currencyText(r.total)}});
    sum += r.total;
}

const QString kColumns = QStringLiteral("select ZUTAT,MENGE,EINHEIT,MENGSUM,PREIS from ");

const QString kEverything = QStringLiteral(" where 1=1");
const QString kKeeps = QStringLiteral(" where FRISCH = 0");

QString wholePlanItems(const QString& condition)
{
    return kColumns + "VW_MENGEN" + condition + " and NOKAUF = 0 order by ZUTAT";
}

// Kinds 1 and 2: the whole plan in one list and the grand total.
ReportJob wholePlan(ReportPrinter& vp, QString title, QString condition)
{
    setUpReport(vp, title);
    appendShoppingCaption(vp);
    vp.TableFrame(0);
    Money sum;
    ShoppingRows items(wholePlanItems(condition));
    while (items.next()) {
        appendShoppingItem(vp, items.row(), sum);
        co_yield 0;
    }
    vp.setCursorY(vp.CursorY() + 100);
    vp.AppendTable(QStringLiteral("8000"), "Gesamtsumme: " + currencyText(sum));
    vp.EndDocument();
}

// Kind 3: fresh produce day by day, each day with its own sum. The whole plan in one statement, in day
// and name order: a round trip to a server costs more than the rows of a year.
ReportJob freshPerDay(ReportPrinter& vp)
{
    setUpReport(vp, QStringLiteral("Einkaufsliste Frisches (pro Tag)"));
    appendShoppingCaption(vp);
    Money sum;
    QDate day;
    auto endDay = [&] {
        vp.setCursorY(vp.CursorY() + 100);
        vp.AppendTable(QStringLiteral("8000"), "Tagessumme: " + currencyText(sum));
        sum = Money();
        vp.setCursorY(vp.CursorY() + 200);
    };
    const NameOrder order;
    ShoppingRows items(freshItemsPerDay(), order);
    while (items.next()) {
        const QDate d = items.field(QStringLiteral("TAG")).toDate();
        if (d != day) {
            if (day.isValid())
                endDay();
            day = d;
            vp.TableFrame(1);
            vp.setCursorY(vp.CursorY() + 200);
            vp.AppendRows(QStringLiteral("8000;"), {{longDayDate(day)}});
            vp.setCursorY(vp.CursorY() + 100);
            vp.TableFrame(0);
        }
        appendShoppingItem(vp, items.row(), sum);
        co_yield 0;
    }
    if (day.isValid())
        endDay();
    vp.EndDocument();
}
} // namespace

void fncDruckEinkauf(qint16 kind)
{
    switch (kind) {
    case 1:
        runReport("tlm/fncDruckEinkauf", [](ReportPrinter& vp) {
            return wholePlan(vp, QStringLiteral("Einkaufsliste Alles"), kEverything);
        });
        break;
    case 2:
        runReport("tlm/fncDruckEinkauf", [](ReportPrinter& vp) {
            return wholePlan(vp, QStringLiteral("Einkaufsliste Haltbares"), kKeeps);
        });
        break;
    case 3:
        runReport("tlm/fncDruckEinkauf", freshPerDay);
        break;
    default:
        runReport("tlm/fncDruckEinkauf", [](ReportPrinter&) -> ReportJob {
            raise(ErrInvalidCall);
            co_return;
        });
    }
}

void readEinkauf()
{
    ShoppingRows everything(wholePlanItems(kEverything));
    ShoppingRows keeps(wholePlanItems(kKeeps));
    ShoppingRows fresh(freshItemsPerDay(), NameOrder());
}

} // namespace tlm
