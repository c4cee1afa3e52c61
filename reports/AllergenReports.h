#pragma once

#include <QDate>
#include <QStringList>

namespace tlm {

// "Wochenplan": the notice for the wall. One A4 page across per calendar week that touches
// von..bis: Monday to Sunday as columns, the times of day as rows, in each cell the meal's dishes
// with their allergen letters; at the foot the letters of the page and "Stand: <date>".
void fncDruckWochenplan(const QDate& von, const QDate& bis);

// "Allergene je Gericht": every dish planned in von..bis with its letters and, per letter, the
// ingredients that bring it in; the written record to show on request.
void fncDruckAllergeneJeGericht(const QDate& von, const QDate& bis);

// One plan entry in the week plan.
struct PlanMeal
{
    int key = 0; // SPEISEPLAN.KEY
    int gerNr = 0;
    QString dish;
    QString letters; // as DishMarks gives them
    QString group;   // the diet group it is cooked for, empty for a common entry
};
// A meal's lines in its cell of the week plan: the dish with its letters
// ("Spaghetti Bolognese (A, C, G, L)"). Lines that belong to the meal (another dish for a diet) go
// below it.
QStringList mealLines(const PlanMeal& meal);

} // namespace tlm
