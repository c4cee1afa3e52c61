#pragma once

#include <QDate>
#include <QStringList>

namespace tlm {

// "Wochenplan": the notice for the wall. One A4 page across per calendar week that touches
// von..bis: Monday to Sunday as columns, the times of day as rows, in each cell the meal's dishes
// with their allergen letters and additives' numbers; at the foot their legend, the dishes whose
// ingredients are unchecked, the kitchen's notice and "Stand: <date>".
void fncDruckWochenplan(const QDate& von, const QDate& bis);

// "Allergene je Gericht": every dish planned in von..bis with its letters and, per letter, the
// ingredients that bring it in; the written record to show on request.
void fncDruckAllergeneJeGericht(const QDate& von, const QDate& bis);
// What the two read, for a run that asks it ahead.
void readAllergenReports(const QDate& von, const QDate& bis);

// One plan entry in the week plan.
struct PlanMeal
{
    int key = 0; // SPEISEPLAN.KEY
    int gerNr = 0;
    QString dish;
    QString letters;   // as DishMarks gives them
    QString additives; // "2, 3"
    QStringList marks; // the own marks the week plan shows ("Schwein")
    QString group;   // the diet group it is cooked for, empty for a common entry
};
// A meal's lines in its cell of the week plan: the dish with its letters, additives and marks
// ("Spaghetti Bolognese (A, C, G, L)", "Müsli (A, G, (H))", "Salamibrot (A, 2, 3, Schwein)"). Lines that
// belong to the meal (another dish for a diet) go below it.
QStringList mealLines(const PlanMeal& meal);

} // namespace tlm
