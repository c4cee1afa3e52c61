#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tlm {

// Persons who cannot eat the common dish ("Vegetarier", "Glutenfrei"): how many, from and to which
// day they are in the camp (invalid: the whole plan), the allergens and marks (ALLERGENE) they
// avoid, and the allergens whose traces they avoid too (kept among the avoided ones as well).
struct DietGroup
{
    int nr = 0;
    QString name;
    int persons = 0;
    QDate von;
    QDate bis;
    QVector<int> avoided;
    QVector<int> traces;
    int esserNr = 0; // the band of eaters it belongs to ("Esser…"), 0 for none
};

QVector<DietGroup> dietGroups();
// Writes the group with its marks in one transaction; a new one (nr 0) gets the next number. Its
// number.
int saveDietGroup(const DietGroup& group);
// The group goes with its marks and links; its replacement entries stay in the plan.
void deleteDietGroup(int nr);

// A meal where a group present that day has no dish of a dish type it may eat: the common entry
// (not cooked for a group) it cannot eat, and the line that says so
// ("Di 21.07. Mittag · Glutenfrei (1) · Spaghetti Bolognese enthält A Gluten").
struct MealConflict
{
    qint32 key = 0;
    int gruppeNr = 0;
    QDate tag;
    int tagZeitNr = 0;
    int gtypNr = 0; // the meal's dish type
    int gerNr = 0;  // the dish the group cannot eat
    int groupPersons = 0;
    QString dish;  // "Spaghetti Bolognese"
    QString group; // "Glutenfrei"
    QString text;
    QString noDish; // when no dish of the type is safe: "Keine Suppe ist für Laktosefrei geeignet"
};
QVector<MealConflict> mealConflicts(const QDate& von, const QDate& bis);
// The meals (day and time of day) of the whole plan where a group has no dish.
int openConflictMeals();

// The dishes of the conflicting dish's type that the group may eat (a dish without recipe lines
// is nobody's to promise), by name; those with an unchecked ingredient after the others.
struct OfferedDish
{
    int gerNr = 0;
    QString text; // "Gemüselasagne (A, C, G)", "Müsli (A, G) – ungeprüft"
    bool unchecked = false;
};
QVector<OfferedDish> offeredDishes(const MealConflict& conflict);

// Adds an entry of the dish for the group's persons at the conflict's meal, linked to the group, and
// lowers the persons of the conflicting entry by as many, in one transaction that can be taken
// back. Refused, with nothing changed, when that entry has fewer persons than the group: then the
// reason, else empty.
struct ChoiceResult
{
    qint32 newKey = 0;
    QString refusal;
};
ChoiceResult chooseReplacement(const MealConflict& conflict, int gerNr);

// Feeds every line in one transaction and one undo step ("Ersatz für 93 Mahlzeiten"): with the dish
// the kitchen chose before for that group and dish, else the first checked dish of the meal's type the
// group may eat. A line the group is fed at already is passed by; a line without such a dish, or whose
// entry has too few persons, stays open and is named in open ("… – Keine Suppe ist für … geeignet").
struct BulkResult
{
    int fed = 0;
    qint32 lastKey = 0;
    QStringList open;
    QString refusal; // nothing changed
};
BulkResult chooseAllReplacements(const QVector<MealConflict>& lines);

// The group a plan entry is cooked for, empty for a common entry.
QString replacementGroup(qint32 key);
// Every replacement entry's group, by KEY, in one statement.
QHash<qint32, QString> replacementGroups();

} // namespace tlm
