// Diet groups: the meals where a group has nothing it may eat, and the replacement dishes.
#include "data/Globals.h"
#include "kitchen/DietGroups.h"
#include "kitchen/Undo.h"
#include "support/FaultVfs.h"
#include "support/SampleCamps.h"

using namespace tlm;

TEST_F(GroupTest, TheCheckFindsEveryMealWhereAPresentGroupHasNothingItMayEat)
{
    const QStringList all{
        "Mo 20.07. Mittag · Vegetarier (5) · Spaghetti Bolognese enthält Fleisch",
        "Di 21.07. Mittag · Glutenfrei (1) · Spaghetti Bolognese enthält A Gluten",
        "Di 21.07. Mittag · Vegetarier (5) · Spaghetti Bolognese enthält Fleisch",
        "Di 21.07. Mittag · Ohne Milch und Ei (2) · Pudding enthält G Milch",
        "Mi 22.07. Abend · Glutenfrei (1) · Gemüselasagne enthält A Gluten",
        "Mi 22.07. Abend · Ohne Milch und Ei (2) · Gemüselasagne enthält C Eier, G Milch",
    };
    EXPECT_EQ(lines(), all);
    EXPECT_EQ(openConflictMeals(), 3);
    // A dish without recipe lines is nobody's to promise; a second dish of the type feeds the group.
    exec("insert into SPEISEPLAN values (6, '2026-07-20', 2, 2, 205, 0, 0)");
    EXPECT_EQ(lines().value(1), "Mo 20.07. Mittag · Vegetarier (5) · Eintopf hat keine Rezeptzeilen: was es "
                                "enthält, ist unbekannt");
    exec("update SPEISEPLAN set GERNR = 203 where KEY = 6");
    EXPECT_EQ(lines(), all.mid(1));
    // The offer: dishes of the type with recipe lines and nothing the group avoids, by name.
    QStringList offered;
    for (const OfferedDish& d : offeredDishes(conflict(2, vegetarier)))
        offered << d.text;
    EXPECT_EQ(offered, (QStringList{"Gemüselasagne (A, C, G)", "Gemüsereis", "Milchreis (G)"}));
    EXPECT_EQ(offeredDishes(conflict(2, glutenfrei)).size(), 2);
}

TEST_F(GroupTest, AReplacementThatWouldNeedAKeyAbove32767IsRefused)
{
    const MealConflict c = conflict(2, vegetarier);
    tlmtest::fillPlanKeys(6, 32767); // the plan has 1 to 5
    const QStringList meal = rows("select KEY, PERSONEN from SPEISEPLAN where TAG = '2026-07-21'");
    EXPECT_EQ(chooseReplacement(c, 202).refusal,
              "Der Speiseplan hat keine freie Nummer für einen neuen Eintrag mehr (Nummern bis 32767); "
              "nichts geändert.");
    EXPECT_EQ(rows("select KEY, PERSONEN from SPEISEPLAN where TAG = '2026-07-21'"), meal);
    EXPECT_TRUE(links().isEmpty());
    EXPECT_FALSE(lastUndo());
}

TEST_F(GroupTest, AChoiceIsAllOrNothingWhenAWriteFails)
{
    const MealConflict c = conflict(2, vegetarier);
    const QString before = plan().join(';');
    gConnection.close();
    const QByteArray pristine = tlmtest::readBytes(dbPath());
    int failures = 0;
    for (int n = 1; n < 40; ++n) {
        tlmtest::writeBytes(dbPath(), pristine);
        const bool failed = tlmtest::runWithFailingWrite(dbPath(), n, [&] { chooseReplacement(c, 203); });
        gConnection.open(location());
        EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        const int made = scalar("select count(*) from SPEISEPLAN where KEY = 6").toInt();
        EXPECT_EQ(plan().join(';') == before, made == 0) << "write " << n;
        EXPECT_EQ(links().size(), made) << "write " << n;
        EXPECT_EQ(scalar("select count(*) from TLM_UNDO").toInt(), made) << "write " << n;
        EXPECT_EQ(
            scalar("select sum(PERSONEN) from SPEISEPLAN where TAG = '2026-07-21' and GTYPNR = 2").toInt(),
            20);
        gConnection.close();
        if (!failed) {
            EXPECT_EQ(made, 1);
            break;
        }
        ++failures;
    }
    EXPECT_GT(failures, 2);
    gConnection.open(location());
}
