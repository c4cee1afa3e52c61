#pragma once

#include <QDate>
#include <QString>
#include <QVector>

namespace tlm {

// "Portionen übernehmen": sets the persons of every entry from von to bis at the times of day given
// to its day's portions (coursePortions), in one transaction and one undo step, and keeps what it
// wrote per day. Days the eaters do not cover stay as they are. When a meal's groups eat more than its
// day has, nothing changes and the refusal names the meal.
struct TakenPortions
{
    int changed = 0; // entries whose persons changed
    QString refusal;
};
TakenPortions takePortions(const QDate& von, const QDate& bis, const QVector<int>& tagZeitNrs);

} // namespace tlm
