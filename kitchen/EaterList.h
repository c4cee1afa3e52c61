#pragma once

#include "kitchen/Eaters.h"

#include <QDate>
#include <QHash>
#include <QString>

namespace tlm {

// The camp's eaters as stored ("Esser…"); empty in a database without them.
EaterList eaterList();
// Writes the bands and appetite days in one transaction; a band or day of number 0 gets the next
// number, one missing from the list goes (a band with its groups' link).
void saveEaterList(const EaterList& list);

// The band a diet group belongs to, 0 for none.
int groupBand(int gruppeNr);
// Inside the caller's transaction.
void setGroupBand(int gruppeNr, int bandNr);

// The heads a plan entry feeds on a day the eaters cover, by KEY: a group's entry its group's heads,
// a common entry the day's heads less those of the groups with an entry of their own in its course.
// Entries of days the list does not cover have none.
QHash<qint32, int> entryHeads(const EaterList& list, const QDate& von, const QDate& bis);

// Every diet group with its heads and band.
QVector<CourseGroup> dietGroupHeads();

// The plan days whose persons no longer match the eaters since "Portionen übernehmen" last wrote
// them ("25.07.–27.07."); empty when they match or the portions were never taken.
QString stalePortionDays(const EaterList& list);
// A loaded plan's persons come from its file, not from the eaters: once "Portionen übernehmen" has run,
// every day of the new plan counts as not taken (out of date where the eaters cover it). Inside the
// caller's transaction, after the plan is written.
void markPortionsNotTaken();

} // namespace tlm
