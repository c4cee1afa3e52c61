#pragma once

#include "data/Money.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace tlm {

// What the plan costs: what is eaten, at the package price, no whole packages.
struct Cost
{
    Money value;     // to 1/10000, halves away from zero
    QString missing; // why it is unknown, naming the ingredient ("Preis fehlt: Salz"); empty when known
    bool known() const { return missing.isEmpty(); }
};

// The cost of a plan entry: the sum over its dish's recipe lines of MENGE4P x PERSONEN / 4 x PREIS /
// MENGE. Lines of basic stock (NOKAUF) do not count, nor lines without a quantity; a line whose
// ingredient has no price or a package size of 0 makes the cost unknown.
Cost entryCost(qint32 gerNr, double persons);

// A plan day: its head count and the cost of its entries. The heads are the eaters' ("Esser…") on a
// day they cover, else the persons of the day's largest meal.
struct DayCost
{
    QDate day;
    qint32 headCount = 0;
    Cost cost;
    bool byEaters = false; // the heads are the eaters'
    // The day's cost per person; unknown without a head count.
    Cost perPerson() const;
};

// The plan days from von to bis (both included) that have entries, in order; one query over the plan.
QVector<DayCost> dayCosts(const QDate& von, const QDate& bis);

// The budget per person and day ("Tagessatz"), kept in PARAMETER row 200; none when there is no row.
std::optional<double> storedTagessatz();
void storeTagessatz(std::optional<double> tagessatz);

} // namespace tlm
