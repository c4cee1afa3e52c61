// The hygiene paperwork's lists and what its sheets take from the plan.
#include "kitchen/Hygiene.h"
#include "support/SampleCamps.h"

using namespace tlm;

namespace {
QStringList texts(const QVector<ServedDish>& dishes)
{
    QStringList out;
    for (const ServedDish& d : dishes)
        out << d.day.toString("dd.MM.") + "|" + d.meal + "|" + d.dish + "|" + d.keepUntil.toString("dd.MM.");
    return out;
}
} // namespace

TEST_F(HygieneTest, SamplesOfEveryEntryButTheDishesWithoutAndTheHotDishesByType)
{
    EXPECT_EQ(
        texts(retainedSamples(QDate(2026, 7, 20), QDate(2026, 7, 22), 7)),
        (QStringList{"20.07.|Mittagessen|Tomatensuppe|27.07.", "20.07.|Mittagessen|Nudeln mit Soße|27.07.",
                     "20.07.|Mittagessen|Gemüsepfanne (Vegetarier)|27.07.",
                     "21.07.|Abendessen|Obstsalat|28.07.", "22.07.|Mittagessen|Nudeln mit Soße|29.07."}));
    // The span bounds the days; the kept days move the keep-until day.
    EXPECT_EQ(texts(retainedSamples(QDate(2026, 7, 21), QDate(2026, 7, 21), 3)),
              QStringList{"21.07.|Abendessen|Obstsalat|24.07."});
    // Soup and main dishes are served hot; bread and dessert are not.
    EXPECT_EQ(texts(hotDishes(QDate(2026, 7, 20), QDate(2026, 7, 22), {1, 2})).size(), 4);
    EXPECT_TRUE(hotDishes(QDate(2026, 7, 20), QDate(2026, 7, 22), {}).isEmpty());

    // A deleted dish takes its mark along.
    setWithoutSample(204, true);
    EXPECT_EQ(dishesWithoutSample(), (QSet<int>{203, 204}));
    exec("delete from GERICHTE where GERNR = 203");
    EXPECT_EQ(rows("select GERNR from HYG_OHNEPROBE"), QStringList{"204"});
}

TEST_F(HygieneTest, ListsAreReplacedWholeAndTheSettingsKept)
{
    saveCoolingDevices({{"Kühlhaus", kFridge, 5}, {"Gefrierschrank", kFreezer, defaultLimit(kFreezer)}});
    EXPECT_EQ(rows("select GERAETNR, GERAET, ART, GRENZE from HYG_GERAETE order by GERAETNR"),
              (QStringList{"1|Kühlhaus|Kühlschrank|5", "2|Gefrierschrank|Tiefkühlgerät|-18"}));
    saveCleaningAreas({{"Boden", CleaningArea::Daily}});
    EXPECT_EQ(rows("select BEREICH, HAEUFIGKEIT from HYG_BEREICHE"), QStringList{"Boden|1"});
    saveKitchenTeam({{"Dora", QDate(2026, 1, 2), {}}});
    EXPECT_EQ(rows("select NAME, ERSTBELEHRUNG, BELEHRUNG from HYG_TEAM"), QStringList{"Dora|02.01.2026|"});
    EXPECT_EQ(kitchenTeam().value(0).first, QDate(2026, 1, 2));

    EXPECT_EQ(hygieneSettings().keepDays, 7);
    EXPECT_EQ(hygieneSettings().repeatMonths, 24);
    storeHygieneSettings({10, 72.5, 12, {2}});
    const HygieneSettings s = hygieneSettings();
    EXPECT_EQ(s.keepDays, 10);
    EXPECT_DOUBLE_EQ(s.hotLimit, 72.5);
    EXPECT_EQ(s.repeatMonths, 12);
    EXPECT_EQ(s.hotTypes, QSet<int>{2});
    // The fridge and freezer defaults of DIN 10508.
    EXPECT_EQ(defaultLimit(kFridge), 7);
    EXPECT_EQ(defaultLimit(kFreezer), -18);
}

TEST_F(HygieneTest, InstructionsMissingOrOlderThanTheRepeatAreNamed)
{
    // Anna's last instruction holds until June 2027; Carla's ran out in January 2026.
    EXPECT_EQ(instructionWarnings(kitchenTeam(), QDate(2026, 7, 22), 24),
              (QStringList{"Ben: keine Erstbelehrung durch das Gesundheitsamt eingetragen",
                           "Carla: letzte Belehrung am 15.01.2024 ist älter als 24 Monate"}));
    // Without a later one, the first instruction counts; a shorter interval catches Anna too.
    EXPECT_EQ(instructionWarnings({{"Eva", QDate(2025, 7, 1), {}}}, QDate(2026, 7, 22), 12),
              QStringList{"Eva: letzte Belehrung am 01.07.2025 ist älter als 12 Monate"});
    EXPECT_EQ(instructionWarnings(kitchenTeam(), QDate(2026, 7, 22), 12).size(), 3);
}

TEST(HygieneWeeks, SevenDaysFromTheFirstTheLastShorter)
{
    const QVector<DayRange> weeks = weeksOf(QDate(2026, 7, 18), QDate(2026, 8, 1));
    ASSERT_EQ(weeks.size(), 3);
    EXPECT_EQ(weeks[1].from, QDate(2026, 7, 25));
    EXPECT_EQ(weeks[1].to, QDate(2026, 7, 31));
    EXPECT_EQ(weeks[2].from, weeks[2].to);
    EXPECT_TRUE(weeksOf(QDate(2026, 7, 2), QDate(2026, 7, 1)).isEmpty());
}
