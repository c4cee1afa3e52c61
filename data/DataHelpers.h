#pragma once

#include "data/Recordset.h"

#include <QDate>
#include <QString>
#include <functional>

namespace tlm {

// A stored flag (-1 true) as a check box's state (1 checked), and back.
qint16 fncFalseTrueto01(qint16 flag);
bool fnc01toFalseTrue(qint16 value);

// What an editor read of its record, so that its OK writes only over what it read: the record's
// version, -1 when it was not there (a new record), kAnyVersion when nothing is compared.
constexpr qint64 kAnyVersion = -2;
qint64 recordVersion(const QString& table, const QString& keyColumn, qint32 key);

// The editors' record-save pattern: a writable recordset on the record's key, the row added when
// missing with its key set, the fields assigned by the editor, the row written. A record read at
// readVersion that another program changed or deleted since is not written (ErrChangedElsewhere).
// The version the record has now.
qint64 saveRecord(const QString& table, const QString& keyColumn, qint32 key, const QString& columns,
                  const std::function<void(Recordset&)>& assign, qint64 readVersion = kAnyVersion);

// The plan's first and last day; both invalid on an empty plan.
struct PlanSpan
{
    QDate first;
    QDate last;
};
PlanSpan planSpan();

// The longest span a tool takes at once, in days: a year, leap day included.
constexpr int kLongestSpan = 366;
// What a tool proposes: the plan's first day and at most kLongestSpan days from it, so that one
// stray date far off never makes a tool list or count millions of days.
PlanSpan proposedSpan();

// count new keys of table in a row, none above highest, inside the caller's transaction: newKey's
// when they fit, else on a file the lowest free run wide enough (a server hands no key out twice:
// another program may hold it reserved). 0 when there is no room; *room then holds how many keys in a
// row are left.
qint32 newKeysWithin(const QString& table, const QString& column, int count, qint32 highest, int* room);

} // namespace tlm
