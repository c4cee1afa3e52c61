#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace tlm {

// A recipe line's quantity for the persons planned (the recipe is for four), to three significant
// digits, in the ingredient's unit; grams and millilitres from 1,000 on as kg and L. Empty when the
// line has no quantity.
QString quantityFor(const QVariant& menge4p, int persons, const QString& unit);

// The report "Rezeptkarten": for every printable plan entry von..bis whose dish has recipe lines, in
// plan order, one card with the dish, day, time of day, persons, the quantities for those persons and
// the preparation text; two A5 cards to an A4 page with a cut line between, a card never split.
void fncDruckRezeptkarten(const QDate& von, const QDate& bis);

} // namespace tlm
