#pragma once

#include <QDate>

namespace tlm {

// Easter Sunday of a Gregorian year.
QDate easterSunday(int year);

// New Year, Good Friday, Easter Monday, 1 May, Ascension, Whit Monday, 3 October, 25 and 26 December.
bool isNationalHoliday(QDate d);

// Shops are closed on Sundays and on the holidays of the whole country.
bool isShopClosed(QDate d);

// The last day on or before d when shops are open, not before earliest (which is kept as it is).
QDate openDayOnOrBefore(QDate d, QDate earliest);

} // namespace tlm
