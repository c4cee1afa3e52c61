#pragma once

#include "data/Recordset.h"

#include <QDate>
#include <QString>
#include <functional>

namespace tlm {

class ReportPrinter;

// One ingredient to buy: the need, whole packages, prices. What the printed shopping lists, the
// shopping plan, the spreadsheet export and the cost report's purchase total all compute alike.
struct ShoppingRow
{
    QString name;
    QString unit;
    double need = 0;   // to 10 significant digits, without the noise of summed fractions
    double bought = 0; // the whole packages' quantity
    qint16 packages = 0;
    double price = 0; // of one package
    double total = 0; // of all packages
    bool fresh = false;
};

// The rows of a query with the columns ZUTAT, MENGE, EINHEIT, MENGSUM, PREIS (and FRISCH where it
// has it), computed one at a time as they are asked for, so that what came before a failing row
// stays done. A row that cannot be computed raises its error with the ingredient named.
class ShoppingRows
{
public:
    explicit ShoppingRows(const QString& sql);
    // Goes to the next row; false after the last.
    bool next();
    // The row computed; raises when it cannot be.
    ShoppingRow row() const;
    // A further column of the row (the day of a per-day list).
    QVariant field(const QString& name) const;

private:
    RecordsetPtr m_rs;
    int m_fresh;
    bool m_started = false;
};
void forEachShoppingRow(const QString& sql, const std::function<void(const ShoppingRow&)>& use);

// The items to buy for the plan days that a condition on VW_MENGENTAG picks (TAG, FRISCH, ...):
// each ingredient once, its need summed over those days; basic stock left out; by name.
QString itemsOfDays(const QString& condition);

// The item table of the shopping lists: its format, its caption row (framed and shaded), and an item
// row whose money is added to sum.
extern const QString kShoppingItemFormat;
void appendShoppingCaption(ReportPrinter& vp);
void appendShoppingItem(ReportPrinter& vp, const ShoppingRow& row, double& sum);

} // namespace tlm
