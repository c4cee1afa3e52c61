#pragma once

#include <QString>

namespace tlm {

// The letters of the allergens a dish's recipe lines bring in, in their order ("A, C, G, L"); a line
// with quantity 0 counts too. "(ohne Rezept)" for a dish without recipe lines: an empty list would
// claim there is none.
QString dishAllergenLetters(int gerNr);

} // namespace tlm

namespace tlm {

// "vegan" when no recipe line brings in an animal product, "vegetarisch" when none brings in meat
// or fish, else empty; empty too for a dish without recipe lines, whose contents nobody knows.
QString dishDiet(int gerNr);

} // namespace tlm
