#pragma once

#include "data/Recordset.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>

namespace tlm {

class DataCombo;

// Highest value of the key column, or the fallback when the table is empty (0 on failure).
qint32 fncGetMaxIDfromTab(const QString& table, const QString& column, qint32 fallback);
// The first row's value of the expression, or Null.
QVariant fncDBLookup(const QString& table, const QVariant& expression, const QString& condition);
// #mm/dd/yyyy#; the empty text for Null.
QString xDatetoSQL(const QVariant& date);
// The value as a number under the regional settings; 0 for Null, empty and non-numeric text.
double xCToD(const QVariant& value);
qint16 fncFalseTrueto01(qint16 flag);
bool fnc01toFalseTrue(qint16 value);

void fncDDFillbySQL(DataCombo& dd, const QString& sql, const QString& defaultKey, const QString& firstRow,
                    bool keyInText);
void fncDDFillbyCTab(DataCombo& dd, const QString& pairList, const QString& defaultKey);

// The editors' record-save pattern: a writable recordset on the record's key, the row added when
// missing with its key set, the fields assigned by the editor, the row written.
void saveRecord(const QString& table, const QString& keyColumn, qint32 key, const QString& columns,
                const std::function<void(Recordset&)>& assign);

// A text put between the quotes of a like pattern: apostrophes doubled, wildcards kept.
QString likeText(const QString& typed);

} // namespace tlm
