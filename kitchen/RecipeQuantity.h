#pragma once

#include <QString>
#include <QVariant>

namespace tlm {

// A recipe line's quantity for the persons planned (the recipe is for four), to three significant
// digits, in the ingredient's unit; grams and millilitres from 1,000 on as kg and L. Empty when the
// line has no quantity.
QString quantityFor(const QVariant& menge4p, int persons, const QString& unit);

} // namespace tlm
