#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QVariant>

// The conversions the program relies on, each in one place, all under German regional settings.
namespace tlm {

// The system locale when its language is German, otherwise de_DE.
const QLocale& locale();
void setLocaleForTests(const QLocale& l);

// Text of a value as "value & empty string": null -> "", numbers as general number text,
// dates as short date, bools as "Wahr"/"Falsch".
QString textOf(const QVariant& v);

// General number text: up to 15 significant digits, decimal comma, no grouping, no trailing zeros.
QString numberText(double d);

// The leading-number rule: period as decimal point, &H hex, stops at the first character that
// cannot continue the number, 0 when there is none. Blanks are skipped.
double val(const QString& s);

// Rounding to whole numbers, halves to the even neighbour; error 6 out of range.
qint16 toInt16(double d);
qint32 toInt32(double d);
// Conversion of any value to a whole number as the language would (error 13 for text that is no
// number, error 94 for Null).
qint16 toInt16(const QVariant& v);
qint32 toInt32(const QVariant& v);
double toDouble(const QVariant& v);

// The number to so many significant digits: sums of many binary fractions carry noise
// (651.000000000001) that must neither be printed nor bought.
double roundSignificant(double d, int digits = 10);

// Text read as a number under the regional settings; false when it is not numeric.
bool parseNumber(const QString& s, double* out);
// Text read as a date under the regional settings (24.07.2010, 24.7.10, 2010-07-24).
QDate parseDate(const QString& s);

QString currencyText(double d, int decimals = 2); // 12,50 €, halves away from zero
QString shortDate(const QDate& d);                // 24.07.2010
QString gridDate(const QDate& d);                 // Sa 24.07.10   ("ddd dd.mm.yy")
QString shortDayDate(const QDate& d);             // Sa 24.07.     (empty for no date)
QString longDayDate(const QDate& d);              // Samstag 24.07.2010   ("dddd dd.mm.yyyy")
QString boolText(bool b);                         // Wahr / Falsch

} // namespace tlm
