#pragma once

#include "data/DataHelpers.h"

#include <QDate>

namespace tlm {

// Sets the persons of every entry from von to bis (both included), of one time of day or of all
// (tagZeitNr 0), in one transaction; the number of entries changed. The caller has checked the span.
int changePersons(const QDate& von, const QDate& bis, int tagZeitNr, int persons);

// Copies every entry from von to bis, day by day, to the same distance from ziel, with new keys in a
// row (newPlanKeys), in one transaction; entries already on the target days stay. The number copied
// and the first new key. Copies that would end after 31.12.9999 or need a key above 32767 are refused
// (error 3001) before anything changes.
struct CopyResult
{
    int count = 0;
    qint32 firstKey = 0;
};
CopyResult copyDays(const QDate& von, const QDate& bis, const QDate& ziel);

// The highest plan key, 0 on an empty plan.
qint32 highestKey();

// The entries from von to bis, of one time of day or of all.
int entriesBetween(const QDate& von, const QDate& bis, int tagZeitNr = 0);

} // namespace tlm
