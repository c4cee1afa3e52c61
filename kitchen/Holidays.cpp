#include "kitchen/Holidays.h"

namespace tlm {

QDate easterSunday(int year)
{
    // Anonymous Gregorian computus (Meeus/Jones/Butcher).
    const int a = year % 19, b = year / 100, c = year % 100;
    const int d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

bool isNationalHoliday(QDate d)
{
    if (!d.isValid())
        return false;
    const int md = d.month() * 100 + d.day();
    if (md == 101 || md == 501 || md == 1003 || md == 1225 || md == 1226)
        return true;
    const qint64 fromEaster = easterSunday(d.year()).daysTo(d);
    return fromEaster == -2 || fromEaster == 1 || fromEaster == 39 || fromEaster == 50;
}

bool isShopClosed(QDate d)
{
    return d.dayOfWeek() == Qt::Sunday || isNationalHoliday(d);
}

QDate openDayOnOrBefore(QDate d, QDate earliest)
{
    while (d > earliest && isShopClosed(d))
        d = d.addDays(-1);
    return d;
}

} // namespace tlm
