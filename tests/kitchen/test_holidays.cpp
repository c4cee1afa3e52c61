// The days a shop is closed.
#include "kitchen/Holidays.h"

#include <gtest/gtest.h>

using namespace tlm;

TEST(Holidays, EasterBasedAndFixedDaysOf2026And2027)
{
    auto holidays = [](int year) {
        QStringList out;
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1))
            if (isNationalHoliday(d))
                out << d.toString("dd.MM.");
        return out;
    };
    EXPECT_EQ(holidays(2026), (QStringList{"01.01.", "03.04.", "06.04.", "01.05.", "14.05.", "25.05.",
                                           "03.10.", "25.12.", "26.12."}));
    EXPECT_EQ(holidays(2027), (QStringList{"01.01.", "26.03.", "29.03.", "01.05.", "06.05.", "17.05.",
                                           "03.10.", "25.12.", "26.12."}));
    EXPECT_EQ(easterSunday(2027), QDate(2027, 3, 28));
    // Christmas Day and Boxing Day of 2027 are a Saturday and a Sunday: back to Friday the 24th.
    EXPECT_EQ(openDayOnOrBefore(QDate(2027, 12, 26), QDate(2027, 12, 20)), QDate(2027, 12, 24));
    EXPECT_EQ(openDayOnOrBefore(QDate(2027, 12, 26), QDate(2027, 12, 25)), QDate(2027, 12, 25));
}
