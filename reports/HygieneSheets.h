#pragma once

#include "kitchen/ShoppingPlan.h"

#include <QDate>

namespace tlm {

// The hygiene paperwork as forms to fill in by hand, each on A4 upright: a page per day, week or
// shopping run; a part longer than its page goes on under its heading and captions again.

// "Rückstellproben": per day every component served, with the sample's blanks and its keep-until day.
void fncDruckRueckstellproben(const QDate& von, const QDate& bis);
// "Rückstellproben-Etiketten": a label a sample on 70 × 37 mm label sheets (3 × 8 to an A4 page,
// without margins at the sides, half a millimetre above and below), starting at label firstLabel
// (1 to 24, by rows) of the first sheet.
void fncDruckProbenEtiketten(const QDate& von, const QDate& bis, int firstLabel);
constexpr double kMillimetre = 1440 / 25.4; // twips
constexpr int kLabelColumns = 3;
constexpr int kLabelRows = 8;
constexpr double kLabelWidth = 70 * kMillimetre;
constexpr double kLabelHeight = 37 * kMillimetre;
constexpr double kLabelTop = 0.5 * kMillimetre;
// "Temperaturkontrolle Kühlgeräte": per week a row per day and device, morning and evening.
void fncDruckKuehltemperaturen(const QDate& von, const QDate& bis);
// "Temperaturkontrolle Speisen": per week the hot dishes with their core temperature to note.
void fncDruckKerntemperaturen(const QDate& von, const QDate& bis);
// "Wareneingang": per shopping run what it buys, with the checks on delivery.
void fncDruckWareneingang(const ShoppingPlan& plan);
// "Reinigungsplan": per week the kitchen's areas with a blank per day or meal.
void fncDruckReinigungsplan(const QDate& von, const QDate& bis);
// What the sheets of a span read (the goods received read as the Einkaufsplan), for a run that asks it
// ahead.
void readHygieneSheets(const QDate& von, const QDate& bis);
// "Belehrung gemäß §§ 42, 43 IfSG": the team's signature sheet for the span.
void fncDruckBelehrung(const QDate& von, const QDate& bis);

} // namespace tlm
