#pragma once

#include <QtGlobal>

namespace tlm {

// A shopping list in the shared print preview: kind 1 everything, 2 what keeps, 3 fresh produce
// per day; whole packages, prices and sums.
void fncDruckEinkauf(qint16 kind);
// What the three kinds read, for a run that asks it ahead.
void readEinkauf();

} // namespace tlm
