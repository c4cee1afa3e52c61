#pragma once

#include "kitchen/ShoppingPlan.h"

namespace tlm {

struct StockRun;

// The report "Einkaufsplan" in the shared print preview: per run its items, whole packages and sum,
// then the grand total.
void fncDruckEinkaufsplan(const ShoppingPlan& plan);
// What it reads, and the Restbestand and Wareneingang with it, for a run that asks it ahead.
void readEinkaufsplan(const ShoppingPlan& plan);
// A run's heading: "Einkauf am Mittwoch 01.07.2026 für 01.07. bis 02.07.2026".
QString runHeading(const StockRun& run);

} // namespace tlm
