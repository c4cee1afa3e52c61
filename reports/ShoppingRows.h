#pragma once

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

// Runs a query with the columns ZUTAT, MENGE, EINHEIT, MENGSUM, PREIS (and FRISCH where it has it) and
// hands each row on as soon as it is computed, so that what came before a failing row stays done.
// A row that cannot be computed raises its error with the ingredient named.
void forEachShoppingRow(const QString& sql, const std::function<void(const ShoppingRow&)>& use);

// The items to buy for the plan days that a condition on VW_MENGENTAG picks (TAG, FRISCH, ...):
// each ingredient once, its need summed over those days; basic stock left out; by name.
QString itemsOfDays(const QString& condition);
// The condition for the days from one date to another, both included.
QString daysFromTo(const QDate& from, const QDate& to);

// The item table of the shopping lists: its format, its caption row (framed and shaded), and one
// item row per query row; the money of the rows is added to sum.
extern const QString kShoppingItemFormat;
void appendShoppingCaption(ReportPrinter& vp);
void appendShoppingItems(ReportPrinter& vp, const QString& sql, double& sum);

} // namespace tlm
