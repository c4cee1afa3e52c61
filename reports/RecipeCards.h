#pragma once

#include <QDate>
#include <QString>

namespace tlm {

// The report "Rezeptkarten": for every printable plan entry von..bis whose dish has recipe lines, in
// plan order, one card with the dish, day, time of day, persons, the quantities for those persons and
// the preparation text; two A5 cards to an A4 page with a cut line between, a card never split.
void fncDruckRezeptkarten(const QDate& von, const QDate& bis);
// What it reads, for a run that asks it ahead.
void readRezeptkarten(const QDate& von, const QDate& bis);

} // namespace tlm
