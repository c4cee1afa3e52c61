#pragma once

#include "kitchen/ShoppingPlan.h"

namespace tlm {

// The report "Einkaufsplan" in the shared print preview: per run its items, whole packages and sum,
// then the grand total.
void fncDruckEinkaufsplan(const ShoppingPlan& plan);

} // namespace tlm
