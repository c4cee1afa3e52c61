#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace tlm {

// One of the fourteen in a dish, and the ingredients that bring it in, by name.
struct AllergenSource
{
    QString letter;          // "G"
    QString name;            // "Milch", without what the law's name adds in brackets
    QStringList ingredients; // "Butter", "Sahne"
};

// The allergens and diets of many dishes, each read in one statement for all of them: a report of a
// year's plan names thousands of dishes.
class DishMarks
{
public:
    // dishes: the dishes' numbers as SQL, a list ("101, 102") or a select of GERNR; empty for all.
    explicit DishMarks(const QString& dishes = QString());

    // The letters of the allergens a dish's recipe lines bring in, in their order ("A, C, G, L"); a line
    // with quantity 0 counts too. "(ohne Rezept)" for a dish without recipe lines: an empty list would
    // claim there is none.
    QString letters(int gerNr) const;
    // "vegan" when no recipe line brings in an animal product, "vegetarisch" when none brings in meat
    // or fish, else empty; empty too for a dish without recipe lines, whose contents nobody knows.
    QString diet(int gerNr) const;
    // Read when first asked for.
    QVector<AllergenSource> sources(int gerNr);

private:
    QString m_where;
    QHash<int, QString> m_letters;
    QHash<int, QString> m_diets;
    std::optional<QHash<int, QVector<AllergenSource>>> m_sources;
};

// The fourteen letters among these, in their order, each with the law's name
// ("A Gluten (glutenhaltiges Getreide)").
QStringList allergenLegend(const QStringList& letters);

// Marks an ingredient with an allergen or mark (ALLNR), or takes the mark away, in one transaction;
// a read-only database raises its error and nothing changes.
void setIngredientMark(int zutNr, int allNr, bool on);

} // namespace tlm
