#pragma once

#include "data/Money.h"
#include "data/Recordset.h"
#include "kitchen/DayRange.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <vector>

namespace tlm {

// One ingredient to buy: the need, whole packages, prices. What the printed shopping lists, the
// shopping plan, the spreadsheet export and the cost report's purchase total all compute alike.
struct ShoppingRow
{
    QString name;
    QString unit;
    double need = 0;   // to 10 significant digits, without the noise of summed fractions
    double bought = 0; // the whole packages' quantity
    qint16 packages = 0;
    Money price; // of one package, with the decimals it is stored with
    Money total; // of all packages, exact
    bool fresh = false;
};

// An ingredient's row from its stored values: whole packages for the need, their price. Raises when
// it cannot be computed (no package size, no price), with the ingredient named.
ShoppingRow shoppingRow(const QVariant& name, const QVariant& need, const QVariant& size,
                        const QVariant& unit, const QVariant& price, const QVariant& fresh);

// Every ingredient in print order with what the lists take of it (number, name, unit, package size,
// price, 1 for fresh produce): one statement that the lists and the stock share within a run.
QString ingredientsByName();

// The ingredients in print order: by name, equal names by number. Read once per report, so that a
// list's many rows are put in order by a number rather than by comparing German names.
class NameOrder
{
public:
    NameOrder();
    int rank(qint64 zutnr) const { return m_rank.value(zutnr, -1); }

private:
    QHash<qint64, int> m_rank;
};

// The rows of a query with the columns ZUTAT, MENGE, EINHEIT, MENGSUM, PREIS (and FRISCH where it
// has it), computed one at a time as they are asked for, so that what came before a failing row
// stays done. A row that cannot be computed raises its error with the ingredient named.
class ShoppingRows
{
public:
    explicit ShoppingRows(const QString& sql);
    // A query that has ZUTNR, in day order when it has TAG: its rows by day, then by name.
    ShoppingRows(const QString& sql, const NameOrder& order);
    // Goes to the next row; false after the last.
    bool next();
    // The row computed; raises when it cannot be.
    ShoppingRow row() const;
    // A further column of the row (the day of a per-day list).
    QVariant field(const QString& name) const;

private:
    QVariant at(int column) const;

    RecordsetPtr m_rs;
    // Column indexes, looked up once: a year's list has a hundred thousand rows.
    int m_name, m_need, m_size, m_unit, m_price, m_fresh;
    std::vector<int> m_order; // row numbers in print order, when sorted here
    int m_next = 0;
};

// Fresh produce per plan day over the whole plan, by day (to be put in order by name within a day):
// the per-day view's rows, with the ingredient's number.
QString freshItemsPerDay();

} // namespace tlm
