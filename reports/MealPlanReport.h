#pragma once

namespace tlm {

// The whole meal plan as one list, day by day, in the shared print preview.
void fncDruckSpeiseplan();
// What it reads, for a run that asks it ahead.
void readSpeiseplan();

} // namespace tlm
