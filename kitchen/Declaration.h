#pragma once

#include <QSet>
#include <QString>

namespace tlm {

// The kitchen's notice at the foot of the declaration, kept per database.
QString declarationNotice();
void storeDeclarationNotice(const QString& text);

// The kitchen's own marks that the week plan shows beside the letters.
QSet<int> marksOnWeekPlan();
void setMarkOnWeekPlan(int allNr, bool on);

// Adds an own mark ("Schwein") beside Fleisch, Fisch and tierisch, in one transaction; its number.
// One of that name already there is not added again: its number.
int addOwnMark(const QString& name);

} // namespace tlm
