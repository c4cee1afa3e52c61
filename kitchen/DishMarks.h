#pragma once

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace tlm {

// The rows of ALLERGENE by their numbers: the fourteen of the food law, the diet marks Fleisch, Fisch
// and tierisch, the additives named for loose food, and the kitchen's own marks.
constexpr int kLastAllergen = 14;
constexpr int kFirstAdditive = 31;
constexpr int kLastAdditive = 42;
constexpr int kFirstOwnMark = 101;

// One allergen, trace, additive or own mark of a dish, and the ingredients that bring it in, by name.
struct AllergenSource
{
    enum Kind { Contains, Trace, Additive, OwnMark };
    Kind kind = Contains;
    QString letter;          // "G", "2", "Schwein"
    QString name;            // "Milch", without what the law's name adds in brackets
    QStringList ingredients; // "Butter", "Sahne"
};

// The allergens, additives, marks and diets of many dishes, each kind read in one statement for all of
// them: a report of a year's plan names thousands of dishes.
class DishMarks
{
public:
    // dishes: the dishes' numbers as SQL, a list ("101, 102") or a select of GERNR; empty for all.
    explicit DishMarks(const QString& dishes = QString());

    // The letters of the allergens a dish's recipe lines bring in, in their order, with those it may
    // hold traces of in brackets ("A, C, G, (H)"); a line with quantity 0 counts too. "(ohne Rezept)"
    // for a dish without recipe lines: an empty list would claim there is none.
    QString letters(int gerNr) const;
    // The numbers of its additives ("2, 3").
    QString additives(int gerNr) const;
    // The kitchen's own marks it carries ("Schwein"), by number.
    QVector<int> ownMarks(int gerNr) const;
    // An own mark's name ("Schwein").
    QString markName(int allNr) const;
    // "vegan" when no recipe line brings in an animal product, "vegetarisch" when none brings in meat
    // or fish, else empty; empty too for a dish without recipe lines, whose contents nobody knows, and
    // "ungeprüft" for one with an ingredient whose label nobody has read.
    QString diet(int gerNr) const;
    // Whether an ingredient of the dish was never checked.
    bool unchecked(int gerNr) const;
    // The latest day one of its ingredients was checked; invalid when none was.
    QDate lastChecked(int gerNr) const;
    // Read when first asked for: allergens, then traces, additives and own marks.
    QVector<AllergenSource> sources(int gerNr);

private:
    QString m_dishes;
    QHash<int, QString> m_letters;
    QHash<int, QString> m_additives;
    QHash<int, QVector<int>> m_ownMarks;
    QHash<int, QString> m_markNames;
    QHash<int, QString> m_diets;
    QSet<int> m_unchecked;
    QHash<int, QDate> m_checked;
    std::optional<QHash<int, QVector<AllergenSource>>> m_sources;
};

// The names of the allergens and additives, read once for a whole report.
class MarkLegend
{
public:
    MarkLegend();
    // The fourteen letters among these, in their order, each with the law's name
    // ("A Gluten (glutenhaltiges Getreide)").
    QStringList allergens(const QStringList& letters) const;
    // The additives' numbers among these, in their order, each with its wording
    // ("2 mit Konservierungsstoff").
    QStringList additives(const QStringList& numbers) const;

private:
    struct Entry
    {
        int allNr;
        QString kurz;
        QString name;
    };
    QStringList pick(int first, int last, const QStringList& shown) const;
    QVector<Entry> m_entries;
};

// An ingredient's state for an allergen: contained, traces only, or neither.
enum class MarkState { None, Trace, Contains };

// Sets one of the three states of an ingredient and an allergen or mark (ALLNR; a mark is contained or
// not), in one transaction; a read-only database raises its error and nothing changes.
void setIngredientState(int zutNr, int allNr, MarkState state);
// Notes the ingredients as checked on that day, in one transaction.
void setIngredientsChecked(const QVector<int>& zutNrs, const QDate& day);

} // namespace tlm
