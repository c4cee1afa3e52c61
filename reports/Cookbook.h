#pragma once

namespace tlm {

// Every planned main-meal dish with its recipe for four persons, day by day.
void fncDruckKochbuch();

} // namespace tlm
