#include "app/DataProcedures.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Error.h"
#include "data/JetSql.h"
#include "data/Win1252.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace tlm;

TEST(Convert, ValReadsTheLeadingNumberWithAPeriod)
{
    EXPECT_EQ(val("12"), 12);
    EXPECT_EQ(val("2.5"), 2.5);
    EXPECT_EQ(val("7b"), 7);
    EXPECT_EQ(val("2,2"), 2); // a comma ends the number
    EXPECT_EQ(val(""), 0);
    EXPECT_EQ(val("abc"), 0);
    EXPECT_EQ(val(" 1 2 3"), 123);
    EXPECT_EQ(val("-4.5x"), -4.5);
    EXPECT_EQ(val("1E+3"), 1000);
    EXPECT_EQ(val("1E"), 1);
    EXPECT_EQ(val("&HFF"), 255);
    EXPECT_EQ(val("&HFFFF"), -1);
    EXPECT_EQ(val("&H00C0FFFF"), 12648447);
    EXPECT_THROW(val("1E999"), Error);
}

TEST(Convert, RoundingHalvesToEvenAndOverflowIsError6)
{
    EXPECT_EQ(toInt32(2.5), 2);
    EXPECT_EQ(toInt32(3.5), 4);
    EXPECT_EQ(toInt32(-2.5), -2);
    EXPECT_EQ(toInt16(32767.4), 32767);
    try {
        toInt16(32767.5);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), QStringLiteral("6/Überlauf"));
    }
    EXPECT_THROW(toInt16(-32769.0), Error);
    EXPECT_THROW(toInt32(3e9), Error);
    EXPECT_EQ(toInt32(QVariant(QStringLiteral("1,5"))), 2);
    try {
        toInt32(QVariant(QString()));
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number, 13);
    }
    try {
        toInt32(QVariant());
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), QStringLiteral("94/Unzulässige Verwendung von Null"));
    }
}

TEST(Convert, TextsOfValuesUnderGermanSettings)
{
    EXPECT_EQ(numberText(2.2), QStringLiteral("2,2"));
    EXPECT_EQ(numberText(1.1 * 8 / 4), QStringLiteral("2,2"));
    EXPECT_EQ(numberText(3), QStringLiteral("3"));
    EXPECT_EQ(numberText(1234567.5), QStringLiteral("1234567,5"));
    EXPECT_EQ(numberText(0.1 + 0.2), QStringLiteral("0,3"));
    EXPECT_EQ(numberText(1e20), QStringLiteral("1E+20"));
    EXPECT_EQ(currencyText(12.5), QStringLiteral("12,50\u00a0€"));
    EXPECT_EQ(currencyText(1234.5), QStringLiteral("1.234,50\u00a0€"));
    EXPECT_EQ(currencyText(0), QStringLiteral("0,00\u00a0€"));
    const QDate d(2010, 7, 24);
    EXPECT_EQ(shortDate(d), QStringLiteral("24.07.2010"));
    EXPECT_EQ(gridDate(d), QStringLiteral("Sa 24.07.10"));
    EXPECT_EQ(longDayDate(d), QStringLiteral("Samstag 24.07.2010"));
    EXPECT_EQ(textOf(QVariant()), QString());
    EXPECT_EQ(textOf(true), QStringLiteral("Wahr"));
    EXPECT_EQ(textOf(false), QStringLiteral("Falsch"));
    EXPECT_EQ(textOf(d), QStringLiteral("24.07.2010"));
    EXPECT_EQ(textOf(QVariant::fromValue(qint16(-3))), QStringLiteral("-3"));
    EXPECT_EQ(textOf(1.5), QStringLiteral("1,5"));
}

TEST(Convert, GeneralNumberTextIsQtsGeneralFormatOnAnyNumber)
{
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-40, 40), digits(1, 17);
    for (int i = 0; i < 50000; ++i) {
        double d = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (i % 2) // numbers as typed and summed: few digits
            d = QString::number(d, 'g', digits(rng)).toDouble();
        ASSERT_EQ(numberText(d), QString::number(d, 'g', 15).replace('e', 'E').replace('.', ',')) << d;
    }
    for (double d : {1e15, 1e14, 123456789012345.0, 1e-4, 1e-5, 0.5, -2.25, 1e300, 5e-324})
        EXPECT_EQ(numberText(d), QString::number(d, 'g', 15).replace('e', 'E').replace('.', ',')) << d;
}

TEST(Convert, TenSignificantDigitsRoundTheExactValue)
{
    EXPECT_EQ(roundSignificant(651.000000000001), 651.0);
    EXPECT_EQ(roundSignificant(0.1 + 0.2), 0.3);
    EXPECT_EQ(roundSignificant(651.0001), 651.0001);
    EXPECT_EQ(roundSignificant(-364.500000000001), -364.5);
    EXPECT_EQ(roundSignificant(1.23456789012e-300), 1.234567890e-300);
    EXPECT_EQ(roundSignificant(12345678905.0), 12345678900.0); // an exact tie goes to the even digit
    EXPECT_EQ(roundSignificant(12345678915.0), 12345678920.0);
}

TEST(Convert, ReadingNumbersAndDates)
{
    double d = 0;
    EXPECT_TRUE(parseNumber("1,5", &d));
    EXPECT_EQ(d, 1.5);
    EXPECT_TRUE(parseNumber("12,50 €", &d));
    EXPECT_EQ(d, 12.5);
    EXPECT_TRUE(parseNumber("1.234,50\u00a0€", &d));
    EXPECT_EQ(d, 1234.5);
    EXPECT_FALSE(parseNumber("abc", &d));
    EXPECT_FALSE(parseNumber("", &d));
    EXPECT_EQ(parseDate("24.07.2010"), QDate(2010, 7, 24));
    EXPECT_EQ(parseDate("24.7.10"), QDate(2010, 7, 24));
    EXPECT_EQ(parseDate("2010-07-24"), QDate(2010, 7, 24));
    EXPECT_FALSE(parseDate("31.02.2010").isValid());
    EXPECT_FALSE(parseDate("morgen").isValid());
}
