// Eaters: heads and portions per day, "Portionen übernehmen", and heads where persons are portions.
#include "data/Globals.h"
#include "kitchen/Costs.h"
#include "kitchen/EaterList.h"
#include "kitchen/Eaters.h"
#include "kitchen/TakePortions.h"
#include "kitchen/Undo.h"
#include "support/SampleCamps.h"

using namespace tlm;

TEST(Eaters, HeadsAndPortionsPerDayRoundUpToWholePortions)
{
    EaterList list;
    list.bands = {{1, "Kinder", 0.75, 38, {}, {}},
                  {2, "Betreuer", 1.0, 6, {}, {}},
                  {3, "Klasse", 1.2, 10, QDate(2026, 7, 25), QDate(2026, 7, 27)}};
    list.appetite = {{1, "Anreise", 1.1, QDate(2026, 7, 24), {}}};
    const DayEaters arrival = eatersOn(list, QDate(2026, 7, 24));
    EXPECT_TRUE(arrival.covered);
    EXPECT_EQ(arrival.heads, 44);
    EXPECT_DOUBLE_EQ(arrival.portions, 34.5 * 1.1);
    EXPECT_EQ(wholePortions(arrival.portions), 38); // 37,95
    EXPECT_EQ(eatersOn(list, QDate(2026, 7, 25)).heads, 54);
    EXPECT_EQ(wholePortions(eatersOn(list, QDate(2026, 7, 25)).portions), 47); // 34,5 + 12
    EXPECT_EQ(wholePortions(eatersOn(list, QDate(2026, 7, 28)).portions), 35);
    // A factor's last binary digits round up no portion: 10 × 1,1 is 11, not 12.
    EXPECT_EQ(wholePortions(10 * 1.1), 11);
    EXPECT_EQ(wholePortions(11.001), 12);
    // A day before the bands start and after they end.
    list.bands = {list.bands[2]};
    EXPECT_FALSE(eatersOn(list, QDate(2026, 7, 24)).covered);
    EXPECT_FALSE(eatersOn(list, QDate(2026, 7, 28)).covered);
    // A group takes its band's factor; the common entries the rest of the day's whole portions.
    list.bands = {{1, "Kinder", 0.75, 38, {}, {}}, {2, "Betreuer", 1.0, 6, {}, {}}};
    const CoursePortions c = coursePortions(list, QDate(2026, 7, 28), {{7, 5, 1}, {8, 2, 2}, {9, 1, 0}});
    EXPECT_EQ(c.total, 35);
    EXPECT_EQ(c.groups.value(7), 4); // 3,75
    EXPECT_EQ(c.groups.value(8), 2);
    EXPECT_EQ(c.groups.value(9), 1); // no band: an adult
    EXPECT_EQ(c.common, 28);
    EXPECT_FALSE(c.refused);
    EXPECT_TRUE(coursePortions(list, QDate(2026, 7, 28), {{7, 60, 2}}).refused);
    EXPECT_EQ(daySpansText({QDate(2026, 7, 27), QDate(2026, 7, 25), QDate(2026, 7, 26), QDate(2026, 7, 30)}),
              QStringLiteral("25.07.–27.07., 30.07."));
}

TEST_F(EaterTest, TakingThePortionsWritesEachEntryInOneStepAndHeadsStayHeads)
{
    EXPECT_EQ(eaterList().bands.size(), 3);
    const TakenPortions taken = takePortions(QDate(2026, 7, 20), QDate(2026, 7, 24), allTimes());
    EXPECT_EQ(taken.refusal, QString());
    EXPECT_EQ(taken.changed, 7);
    EXPECT_EQ(persons(), (QStringList{"1|21", "2|21", "3|31", "4|4", "5|31", "6|31", "7|19"}));
    EXPECT_EQ(stalePortionDays(eaterList()), QString());
    // The cost per person divides by the heads, not by the portions now in the plan.
    const QVector<DayCost> costs = dayCosts(QDate(2026, 7, 20), QDate(2026, 7, 21));
    ASSERT_EQ(costs.size(), 2);
    EXPECT_TRUE(costs[0].byEaters);
    EXPECT_EQ(costs[0].headCount, 24);
    EXPECT_EQ(currencyText(costs[0].cost.value), QStringLiteral("16,80\u00a0€")); // 42 × 0,40
    EXPECT_EQ(currencyText(costs[0].perPerson().value), QStringLiteral("0,70\u00a0€"));
    EXPECT_EQ(costs[1].headCount, 34);
    EXPECT_EQ(currencyText(costs[1].cost.value), QStringLiteral("13,20\u00a0€")); // 31 × 0,40 + 4 × 0,20
    EXPECT_EQ(currencyText(costs[1].perPerson().value), QStringLiteral("0,39\u00a0€"));
    // The heads a card names: the vegetarians' own, the common entry the others.
    const QHash<qint32, int> heads = entryHeads(eaterList(), QDate(2026, 7, 20), QDate(2026, 7, 24));
    EXPECT_EQ(heads.value(1), 24);
    EXPECT_EQ(heads.value(3), 30);
    EXPECT_EQ(heads.value(4), 4);
    EXPECT_EQ(heads.value(7), 24);

    // A class of 12 makes Tuesday to Thursday out of date until the portions are taken again.
    EaterList list = eaterList();
    list.bands[2].count = 12;
    saveEaterList(list);
    EXPECT_EQ(stalePortionDays(eaterList()), QStringLiteral("21.07.–23.07."));
    const QStringList stand = rows("select TAG, STAND from PORTIONENSTAND order by TAG");
    ASSERT_EQ(stand.size(), 5);
    EXPECT_EQ(takePortions(QDate(2026, 7, 22), QDate(2026, 7, 22), allTimes()).changed, 1);
    EXPECT_EQ(stalePortionDays(eaterList()), QStringLiteral("21.07., 23.07."));
    EXPECT_NE(rows("select TAG, STAND from PORTIONENSTAND order by TAG"), stand);

    // Each run is one step back, with the record of what it took: Wednesday is out of date again.
    EXPECT_EQ(lastUndo(), std::optional<QString>(QStringLiteral("Portionen übernehmen")));
    EXPECT_EQ(undoLast(), QStringLiteral("1 Eintrag wiederhergestellt."));
    EXPECT_EQ(rows("select TAG, STAND from PORTIONENSTAND order by TAG"), stand);
    EXPECT_EQ(stalePortionDays(eaterList()), QStringLiteral("21.07.–23.07."));
    EXPECT_EQ(undoLast(), QStringLiteral("7 Einträge wiederhergestellt."));
    EXPECT_EQ(persons(), (QStringList{"1|10", "2|10", "3|10", "4|2", "5|10", "6|10", "7|10"}));
    EXPECT_EQ(scalar("select count(*) from PORTIONENSTAND").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from TLM_UNDO_PORTIONENSTAND").toInt(), 0);
}

TEST_F(EaterTest, UndoKeepsARecordTakenSinceAndChangesNothing)
{
    EXPECT_EQ(takePortions(QDate(2026, 7, 20), QDate(2026, 7, 24), allTimes()).changed, 7);
    // Two gluten-free children without a dish of their own: taking the portions again changes no
    // entry, only the record of Wednesday to Friday.
    DietGroup glutenfrei{0, "Glutenfrei", 2, {}, {}, {1}, {}};
    glutenfrei.esserNr = kinder;
    saveDietGroup(glutenfrei);
    EXPECT_EQ(stalePortionDays(eaterList()), QStringLiteral("20.07.–24.07."));
    EXPECT_EQ(takePortions(QDate(2026, 7, 22), QDate(2026, 7, 24), allTimes()).changed, 0);
    EXPECT_EQ(stalePortionDays(eaterList()), QStringLiteral("20.07.–21.07."));

    const QStringList before = persons();
    const QStringList stand = rows("select TAG, STAND from PORTIONENSTAND order by TAG");
    EXPECT_EQ(undoLast(), QStringLiteral("Rückgängig nicht möglich: die Portionen für Mi 22.07., Do 23.07., "
                                         "Fr 24.07. wurden seither neu übernommen."));
    EXPECT_EQ(persons(), before);
    EXPECT_EQ(rows("select TAG, STAND from PORTIONENSTAND order by TAG"), stand);
    EXPECT_EQ(lastUndo(), std::optional<QString>(QStringLiteral("Portionen übernehmen")));
}

TEST_F(EaterTest, OnlyTheSpanAndTimesGivenChangeAndGroupsEatingMoreThanTheDayAreRefused)
{
    // Lunch on Monday and Tuesday only; the supper and the days after stay.
    EXPECT_EQ(takePortions(QDate(2026, 7, 20), QDate(2026, 7, 21), {2}).changed, 3);
    EXPECT_EQ(persons(), (QStringList{"1|21", "2|10", "3|31", "4|4", "5|10", "6|10", "7|10"}));
    // Run again it changes nothing more.
    EXPECT_EQ(takePortions(QDate(2026, 7, 20), QDate(2026, 7, 21), {2}).changed, 0);

    // 50 vegetarians eat 50 × 0,75 × 1,1 = 41,25 -> 42 portions, more than Tuesday's 35.
    exec(QStringLiteral("update GRUPPEN set PERSONEN = 50 where GRUPPENR = %1").arg(vegetarier));
    const QStringList before = persons();
    const QVariant steps = scalar("select count(*) from TLM_UNDO");
    const QStringList stand = rows("select TAG, STAND from PORTIONENSTAND order by TAG");
    const TakenPortions refused = takePortions(QDate(2026, 7, 20), QDate(2026, 7, 24), allTimes());
    EXPECT_EQ(refused.refusal,
              QStringLiteral(
                  "Di 21.07. Mittag: die Gruppen essen 42 Portionen, der Tag hat nur 35. Nichts geändert."));
    EXPECT_EQ(refused.changed, 0);
    EXPECT_EQ(persons(), before);
    EXPECT_EQ(scalar("select count(*) from TLM_UNDO"), steps);
    EXPECT_EQ(rows("select TAG, STAND from PORTIONENSTAND order by TAG"), stand);

    // Without eaters nothing is covered: the plan and the costs stay as they are.
    saveEaterList({});
    EXPECT_EQ(takePortions(QDate(2026, 7, 20), QDate(2026, 7, 24), allTimes()).changed, 0);
    EXPECT_EQ(persons(), before);
    const QVector<DayCost> costs = dayCosts(QDate(2026, 7, 20), QDate(2026, 7, 20));
    EXPECT_FALSE(costs.value(0).byEaters);
    EXPECT_EQ(costs.value(0).headCount, 21);
    EXPECT_TRUE(entryHeads(eaterList(), QDate(2026, 7, 20), QDate(2026, 7, 24)).isEmpty());
    // A band deleted takes its groups' link along.
    EXPECT_EQ(scalar("select count(*) from GRUPPENESSER").toInt(), 0);
}
