// Money exact in four decimals and shown with halves away from zero.
#include "data/Convert.h"
#include "data/Error.h"
#include "data/Money.h"

#include <gtest/gtest.h>
#include <limits>

using namespace tlm;

TEST(Money, ExactInFourDecimalsAndShownWithHalvesAwayFromZero)
{
    EXPECT_EQ(Money::fromDouble(1.495).units(), 14950); // the decimal as written, not the binary below
    EXPECT_EQ(Money::fromDouble(0.00005).units(), 1);
    EXPECT_EQ(Money::fromDouble(-0.00005).units(), -1);
    EXPECT_EQ(Money::fromDouble(2.00004999).units(), 20000);
    Money tenth;
    for (int i = 0; i < 10; ++i)
        tenth += Money::fromDouble(0.1);
    EXPECT_EQ(tenth, Money::fromDouble(1)); // no binary noise in a sum
    EXPECT_EQ((Money::fromDouble(1.495) * 7).units(), 104650);
    EXPECT_EQ(Money::fromDouble(20).dividedBy(3).units(), 66667);
    EXPECT_EQ(Money::fromDouble(0.0003).times(0.5).units(), 2); // 1,5 units: away from zero
    EXPECT_EQ(Money::fromDouble(-0.0003).times(0.5).units(), -2);

    EXPECT_EQ(currencyText(Money::fromDouble(10.465)), QStringLiteral("10,47\u00a0€"));
    EXPECT_EQ(currencyText(Money::fromDouble(-10.465)), QStringLiteral("-10,47\u00a0€"));
    EXPECT_EQ(currencyText(Money::fromDouble(2.125)), QStringLiteral("2,13\u00a0€")); // not to the even 2,12
    EXPECT_EQ(currencyText(10.465), QStringLiteral("10,47\u00a0€")); // a plain number is shown alike
    EXPECT_EQ(currencyText(Money::fromDouble(1234.5)), QStringLiteral("1.234,50\u00a0€"));
    EXPECT_EQ(priceText(Money::fromDouble(1.495)), QStringLiteral("1,495\u00a0€"));
    EXPECT_EQ(priceText(Money::fromDouble(1.5)), QStringLiteral("1,50\u00a0€"));
    EXPECT_EQ(moneyNumber(Money::fromDouble(10.465)), QStringLiteral("10,465"));
    EXPECT_EQ(moneyNumber(Money::fromDouble(1234.5)), QStringLiteral("1234,50"));

    auto number = [](auto f) {
        try {
            f();
        } catch (const Error& e) {
            return e.number;
        }
        return 0;
    };
    EXPECT_EQ(number([] { Money::fromDouble(1e16); }), 6);
    EXPECT_EQ(number([] { Money::fromUnits(std::numeric_limits<qint64>::max()) + Money::fromUnits(1); }), 6);
    EXPECT_EQ(number([] { Money::fromDouble(1e12) * 1000000; }), 6);
    EXPECT_EQ(number([] { Money::fromDouble(1).dividedBy(0); }), 11);
}

// A share on a half rounds away from zero for any factor: 0,2785 € x 0,7 is exactly 0,19495 €, while the
// binary product 1949.4999999999998 would give 0,1949 €.
TEST(Money, AShareOnAHalfRoundsAwayFromZero)
{
    EXPECT_EQ(Money::fromUnits(2785).times(0.7).units(), 1950);
    EXPECT_EQ(Money::fromUnits(2785).times(0.7).roundedToCents().units(), 2000);
    EXPECT_EQ(Money::fromUnits(25).times(2.3).units(), 58);
    EXPECT_EQ(Money::fromUnits(-2785).times(0.7).units(), -1950);
    EXPECT_EQ(Money::fromUnits(2785).times(-0.7).units(), -1950);
    EXPECT_EQ(Money::fromUnits(10000).times(1.0 / 3).units(), 3333);
    EXPECT_EQ(Money::fromUnits(3).times(0.5).units(), 2);
    EXPECT_EQ(Money::fromUnits(12345).times(1e-30).units(), 0);
}
