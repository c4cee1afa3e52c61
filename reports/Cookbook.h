#pragma once

namespace tlm {

// Every planned main-meal dish with its recipe for four persons, day by day.
void fncDruckKochbuch();
// What it reads, for a run that asks it ahead.
void readKochbuch();

} // namespace tlm
