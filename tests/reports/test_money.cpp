// Money exact in four decimals and shown with halves away from zero: the printed shopping list and
// its spreadsheet, summed as a spreadsheet sums it, show the same total to the cent.
#include "data/Convert.h"
#include "data/Error.h"
#include "data/Money.h"
#include "extras/ShoppingCsv.h"
#include "reports/ShoppingList.h"
#include "support/ReportCheck.h"

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

class MoneyReportTest : public tlmtest::DbTest
{
};

TEST_F(MoneyReportTest, TheListAndItsSpreadsheetShowTheSameTotalAndTheUnitPriceWithItsDecimals)
{
    // Three tins at 1,495 € each, 7 of each bought: 7 x 1,495 = 10,465 (shown 10,47) per line,
    // 3 x 10,465 = 31,395 in all (shown 31,40), as the spreadsheet sums the exported lines.
    exec("insert into ZUTATEN values (101, 'Bohnen', 1, 'Dose', 1.495, 0, 0), (102, 'Erbsen', 1, 'Dose', "
         "1.495, 0, 0), (103, 'Mais', 1, 'Dose', 1.495, 0, 0)");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Eintopf')");
    exec("insert into REZEPTE values (1, 201, 101, 7, 0), (2, 201, 102, 7, 0), (3, 201, 103, 7, 0)");
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 4, 0)");

    fncDruckEinkauf(1);
    EXPECT_EQ(tlmtest::vp().rowTexts(),
              (QStringList{"Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt",
                           "Bohnen|7 Dose|7 Dose|7|1,495\u00a0€|10,47\u00a0€",
                           "Erbsen|7 Dose|7 Dose|7|1,495\u00a0€|10,47\u00a0€",
                           "Mais|7 Dose|7 Dose|7|1,495\u00a0€|10,47\u00a0€", "Gesamtsumme: 31,40\u00a0€"}));

    const QStringList lines = QString::fromUtf8(shoppingCsv().mid(3)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], QStringLiteral("Bohnen;7;Dose;7;7;1,495;10,465;nein"));
    // The column "Gesamtpreis" summed in decimal, as the spreadsheet does, shown to the cent.
    qint64 tenThousandths = 0;
    for (const QString& line : lines.mid(1)) {
        const QStringList amount = line.split(';').value(6).split(',');
        tenThousandths +=
            amount.value(0).toLongLong() * 10000 + amount.value(1).leftJustified(4, '0').toLongLong();
    }
    EXPECT_EQ(tenThousandths, 313950);
    const qint64 cents = (tenThousandths + 50) / 100;
    EXPECT_EQ(QStringLiteral("%1,%2").arg(cents / 100).arg(cents % 100, 2, 10, QChar('0')),
              QStringLiteral("31,40"));
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
