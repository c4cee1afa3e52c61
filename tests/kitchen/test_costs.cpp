// Costs per plan entry and per day, and the Tagessatz kept.
#include "data/Globals.h"
#include "kitchen/Costs.h"
#include "kitchen/DietGroups.h"
#include "support/FaultVfs.h"
#include "support/SampleCamps.h"

using namespace tlm;

TEST_F(CostTest, TheDefinitionsOnAHandComputedPlan)
{
    EXPECT_DOUBLE_EQ(entryCost(201, 10).value.toDouble(), 4.0);
    EXPECT_TRUE(entryCost(201, 10).known());
    EXPECT_DOUBLE_EQ(entryCost(201, 0).value.toDouble(), 0.0);
    EXPECT_EQ(entryCost(202, 10).missing, QStringLiteral("Preis fehlt: Safran"));
    EXPECT_EQ(entryCost(203, 10).missing, QStringLiteral("Packungsgröße 0: Zimt"));
    EXPECT_DOUBLE_EQ(entryCost(999, 10).value.toDouble(), 0.0); // a dish without lines costs nothing
    const QVector<DayCost> days = dayCosts(QDate(2026, 10, 1), QDate(2026, 10, 31));
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days[0].day, QDate(2026, 10, 1));
    EXPECT_EQ(days[0].headCount, 10); // the largest, not the sum
    EXPECT_DOUBLE_EQ(days[0].cost.value.toDouble(), 7.2);
    EXPECT_DOUBLE_EQ(days[0].perPerson().value.toDouble(), 0.72);
    EXPECT_EQ(days[1].perPerson().missing, QStringLiteral("Preis fehlt: Safran"));
    EXPECT_EQ(days[2].cost.missing, QStringLiteral("Packungsgröße 0: Zimt"));
    EXPECT_EQ(dayCosts(QDate(2026, 10, 2), QDate(2026, 10, 2)).size(), 1);
}

// A replacement for a diet group splits its meal's persons: the day still feeds the common entry's
// persons and the group's together (8 + 2), not the largest entry alone (8).
TEST_F(CostTest, ADaySplitForAGroupStillFeedsEveryone)
{
    exec("delete from SPEISEPLAN");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (204, 2, 'Tomatenreis')");
    exec("insert into REZEPTE values (7, 204, 102, 1, 0)");
    exec("insert into ZUTALLERGENE values (101, 1)");                          // the pasta has gluten
    exec("insert into SPEISEPLAN values (1, '2026-10-05', 2, 2, 201, 10, 0)"); // arrival day: lunch only
    exec("insert into GRUPPEN (GRUPPENR, GRUPPE, PERSONEN) values (1, 'Zöliakie', 2)");
    exec("insert into GRUPPENALLERGENE values (1, 1)");
    const QDate day(2026, 10, 5);
    const QVector<MealConflict> conflicts = mealConflicts(day, day);
    ASSERT_EQ(conflicts.size(), 1);
    ASSERT_TRUE(chooseReplacement(conflicts[0], 204).refusal.isEmpty());
    EXPECT_EQ(rows("select GERNR, PERSONEN from SPEISEPLAN order by KEY"), (QStringList{"201|8", "204|2"}));

    QVector<DayCost> days = dayCosts(day, day);
    ASSERT_EQ(days.size(), 1);
    // 8 x 0,40 (pasta) + 2 x 0,50 (rice) = 4,20 for the 10 persons of the day: 0,42 each.
    EXPECT_EQ(days[0].cost.value, Money::fromDouble(4.2));
    EXPECT_EQ(days[0].headCount, 10);
    EXPECT_EQ(days[0].perPerson().value, Money::fromDouble(0.42));

    // A dessert for all 10 and a second main dish offered beside the pasta (8) feed no one more; a
    // supper for 12 is the day's largest meal.
    exec("insert into SPEISEPLAN values (3, '2026-10-05', 2, 5, 201, 10, 0), (4, '2026-10-05', 2, 2, 201, 8, "
         "0)");
    EXPECT_EQ(dayCosts(day, day).value(0).headCount, 10);
    exec("insert into SPEISEPLAN values (5, '2026-10-05', 3, 2, 201, 12, 0)");
    EXPECT_EQ(dayCosts(day, day).value(0).headCount, 12);
}

TEST_F(CostTest, StoringTheTagessatzIsAllOrNothingWhenAWriteFails)
{
    storeTagessatz(6.0);
    gConnection.close();
    const QByteArray pristine = tlmtest::readBytes(dbPath());
    int failures = 0;
    for (int n = 1; n < 40; ++n) {
        tlmtest::writeBytes(dbPath(), pristine);
        const bool failed = tlmtest::runWithFailingWrite(dbPath(), n, [] { storeTagessatz(7.5); });
        gConnection.open(location());
        const std::optional<double> kept = storedTagessatz();
        // The old value or the new one, never none.
        EXPECT_TRUE(kept == std::optional<double>(6.0) || kept == std::optional<double>(7.5))
            << "write " << n;
        gConnection.close();
        if (!failed)
            break;
        ++failures;
    }
    EXPECT_GT(failures, 0);
    gConnection.open(location());
}
