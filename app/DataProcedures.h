#pragma once

#include <QString>
#include <QVariant>

namespace tlm {

class DataCombo;

// The data procedures of module tlm that report their own errors (under "tlm/" and their name) and
// then give their neutral result.

// Highest value of the key column, or the fallback when the table is empty (0 on failure).
qint32 fncGetMaxIDfromTab(const QString& table, const QString& column, qint32 fallback);
// The key for a new row: one above the highest (above fallback in an empty table); on a server the
// server reserves it, so that no two programs get the same one.
qint32 fncNewKey(const QString& table, const QString& column, qint32 fallback);
// The first row's value of the expression, or Null.
QVariant fncDBLookup(const QString& table, const QVariant& expression, const QString& condition);
// #mm/dd/yyyy#; the empty text for Null.
QString xDatetoSQL(const QVariant& date);
// The value as a number under the regional settings; 0 for Null, empty and non-numeric text.
double xCToD(const QVariant& value);

// Drop-down fills: rows "key TAB text" from a query's first two columns, or from "key,text;..." pairs.
void fncDDFillbySQL(DataCombo& dd, const QString& sql, const QString& defaultKey, const QString& firstRow,
                    bool keyInText);
void fncDDFillbyCTab(DataCombo& dd, const QString& pairList, const QString& defaultKey);

} // namespace tlm
