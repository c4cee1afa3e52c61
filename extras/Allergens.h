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

#include <QStringList>
#include <QVector>

namespace tlm {

// One of the fourteen in a dish, and the ingredients that bring it in, by name.
struct AllergenSource
{
    QString letter;          // "G"
    QString name;            // "Milch", without what the law's name adds in brackets
    QStringList ingredients; // "Butter", "Sahne"
};
QVector<AllergenSource> dishAllergenSources(int gerNr);

// The fourteen letters among these, in their order, each with the law's name
// ("A Gluten (glutenhaltiges Getreide)").
QStringList allergenLegend(const QStringList& letters);

// Marks an ingredient with an allergen or mark (ALLNR), or takes the mark away, in one transaction;
// a read-only database raises its error and nothing changes.
void setIngredientMark(int zutNr, int allNr, bool on);

} // namespace tlm
