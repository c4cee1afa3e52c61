#pragma once

#include "kitchen/ShoppingPlan.h"

namespace tlm {

// The report "Restbestand" in the shared print preview: what keeps and is left after the plan's last
// run (stock plus bought minus eaten), each ingredient's amount and value, and the total value.
void fncDruckRestbestand(const ShoppingPlan& plan);

} // namespace tlm
