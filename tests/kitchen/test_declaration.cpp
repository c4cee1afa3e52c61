// The declaration: traces, unchecked ingredients, additives and own marks per dish, groups that avoid
// traces, and every group fed in one step.
#include "data/Globals.h"
#include "kitchen/DietGroups.h"
#include "kitchen/DishMarks.h"
#include "kitchen/Undo.h"
#include "support/FaultVfs.h"
#include "support/SampleCamps.h"

using namespace tlm;

TEST_F(DeclarationTest, ADishDeclaresTracesAdditivesAndOwnMarksAndAnUncheckedOneHasNoDiet)
{
    {
        const DishMarks m;
        EXPECT_EQ(m.letters(10), "A, G, (H)");
        EXPECT_EQ(m.diet(10), "vegetarisch");
        EXPECT_EQ(m.lastChecked(10), QDate(2026, 7, 2));
        EXPECT_EQ(m.letters(11), "A");
        EXPECT_EQ(m.additives(11), "2, 3");
        EXPECT_EQ(m.ownMarks(11), QVector<int>({101}));
        EXPECT_EQ(m.markName(101), "Schwein");
        EXPECT_EQ(m.diet(11), ""); // salami is meat
        EXPECT_EQ(m.letters(12), "L");
        EXPECT_TRUE(m.unchecked(12));
        EXPECT_EQ(m.diet(12), "ungeprüft"); // soup of an unread stock is no "vegan"
        EXPECT_EQ(m.diet(13), "vegan");
        EXPECT_FALSE(m.unchecked(13));
    }
    // A trace of what another ingredient contains adds nothing; the three states exclude each other.
    exec("insert into ZUTSPUREN values (2, 1)");
    EXPECT_EQ(DishMarks().letters(10), "A, G, (H)");
    setIngredientState(1, 8, MarkState::Contains);
    EXPECT_EQ(DishMarks().letters(10), "A, G, H");
    EXPECT_EQ(rows("select ZUTNR, ALLNR from ZUTSPUREN order by ZUTNR"), QStringList({"2|1"}));
    setIngredientState(1, 8, MarkState::Trace);
    EXPECT_EQ(rows("select ALLNR from ZUTALLERGENE where ZUTNR = 1"), QStringList({"1"}));
    setIngredientsChecked({4}, QDate(2026, 7, 10));
    EXPECT_EQ(DishMarks().diet(12), "vegan");
    EXPECT_EQ(scalar("select GEPRUEFT from ZUTGEPRUEFT where ZUTNR = 4").toDate(), QDate(2026, 7, 10));
    // An ingredient deleted takes its traces and its check along.
    exec("delete from ZUTATEN where ZUTNR = 1");
    EXPECT_EQ(scalar("select count(*) from ZUTSPUREN where ZUTNR = 1").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from ZUTGEPRUEFT where ZUTNR = 1").toInt(), 0);
}

TEST_F(DeclarationTest, AGroupAvoidingTracesIsNeverOfferedThemAndAllLinesAreFedInOneUndoStep)
{
    const QStringList before = lines();
    EXPECT_EQ(before,
              QStringList({"Mo 20.07. Früh · Laktosefrei (1) · Müsli enthält G Milch",
                           "Mo 20.07. Früh · Nussallergie (1) · Müsli enthält Spuren von H Schalenfrüchte",
                           "Mo 20.07. Mittag · Kein Schwein (2) · Salamibrot enthält Schwein",
                           "Di 21.07. Früh · Laktosefrei (1) · Müsli enthält G Milch",
                           "Di 21.07. Früh · Nussallergie (1) · Müsli enthält Spuren von H Schalenfrüchte"}));
    const QVector<MealConflict> conflicts = mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 21));
    QStringList offered;
    for (const OfferedDish& d : offeredDishes(conflicts[1]))
        offered << d.text;
    // The dish with an unread label comes last and says so; the Müsli with its traces never.
    EXPECT_EQ(offered, QStringList({"Apfelbrot (A)", "Bananenbrot (A)", "Kräuterbrot (A) – ungeprüft"}));

    // The kitchen chose banana bread for the nut allergy once; the rest in one step.
    ASSERT_EQ(chooseReplacement(conflicts[1], 15).newKey, 5);
    const QStringList chosen = plan();
    const BulkResult r = chooseAllReplacements(mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 21)));
    EXPECT_EQ(r.refusal, "");
    EXPECT_EQ(r.fed, 3);
    EXPECT_EQ(r.open, QStringList({"Mo 20.07. Mittag · Kein Schwein (2) · Salamibrot enthält Schwein – Kein "
                                   "Hauptgericht ist für Kein Schwein geeignet"}));
    EXPECT_EQ(plan(),
              QStringList({"1|20.07.2026|1|6|10|18", "2|20.07.2026|2|2|11|20", "3|20.07.2026|2|1|12|20",
                           "4|21.07.2026|1|6|10|18", "5|20.07.2026|1|6|15|1", "6|20.07.2026|1|6|13|1",
                           "7|21.07.2026|1|6|13|1", "8|21.07.2026|1|6|15|1"}));
    EXPECT_EQ(links(), QStringList({"5|" + QString::number(nuts), "6|" + QString::number(noMilk),
                                    "7|" + QString::number(noMilk), "8|" + QString::number(nuts)}));
    EXPECT_EQ(lines(), QStringList({"Mo 20.07. Mittag · Kein Schwein (2) · Salamibrot enthält Schwein"}));
    // A second press finds nothing left to feed and changes nothing.
    EXPECT_EQ(chooseAllReplacements(mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 21))).fed, 0);
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN").toInt(), 8);

    EXPECT_EQ(lastUndo(), "Ersatz für 3 Mahlzeiten");
    undoLast();
    EXPECT_EQ(plan(), chosen);
    EXPECT_EQ(links(), QStringList({"5|" + QString::number(nuts)}));
}

// A file of the version before: only read (as by the command line), its missing tables stand in empty
// and the file stays as it was; opened for writing it gets them, and keeps its marks without a check date.
TEST_F(DeclarationTest, AnOlderFileKeepsItsMarksAndHasNoIngredientChecked)
{
    // As a database of the version before: on a server too, which the command line reads only.
    const bool server = tlmtest::onServer();
    exec(server ? "drop trigger ZUTATEN_DEKLARATION on ZUTATEN" : "drop trigger ZUTATEN_DEKLARATION");
    exec(server ? "drop trigger GRUPPEN_SPUREN on GRUPPEN" : "drop trigger GRUPPEN_SPUREN");
    for (const char* sql : {"drop table ZUTSPUREN", "drop table ZUTGEPRUEFT", "drop table GRUPPENSPUREN"})
        exec(sql);
    const QString version = server ? QStringLiteral("select max(VERSION) from TLM_SCHEMA")
                                   : QStringLiteral("PRAGMA user_version");
    exec(server ? "update TLM_SCHEMA set VERSION = 6" : "PRAGMA user_version = 6");
    const QStringList marks = rows("select ZUTNR, ALLNR from ZUTALLERGENE order by ZUTNR, ALLNR");
    gConnection.close();
    gConnection.open(location(), true);
    {
        const DishMarks m;
        EXPECT_EQ(m.letters(10), "A, G");
        EXPECT_EQ(m.diet(10), "ungeprüft");
        EXPECT_EQ(m.additives(11), "2, 3");
    }
    EXPECT_EQ(scalar(server ? "select count(*) from pg_tables where schemaname = current_schema() and"
                              " tablename = 'zutgeprueft'"
                            : "select count(*) from sqlite_master where name = 'ZUTGEPRUEFT'")
                  .toInt(),
              0);
    EXPECT_EQ(scalar(version).toInt(), 6);
    gConnection.close();
    gConnection.open(location());
    EXPECT_EQ(scalar("select count(*) from ZUTGEPRUEFT").toInt(), 0);
    EXPECT_EQ(rows("select ZUTNR, ALLNR from ZUTALLERGENE order by ZUTNR, ALLNR"), marks);
    EXPECT_EQ(DishMarks().diet(13), "ungeprüft");
}

// "Alle übernehmen" is one transaction: a write failing at any point leaves the plan, the links and
// the undo log as they were.
TEST_F(DeclarationTest, AllLinesAreFedAllOrNothingWhenAWriteFails)
{
    const QVector<MealConflict> lines = mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 21));
    const QStringList before = plan();
    gConnection.close();
    const QByteArray pristine = tlmtest::readBytes(dbPath());
    int failures = 0;
    for (int n = 1; n < 60; ++n) {
        tlmtest::writeBytes(dbPath(), pristine);
        const bool failed = tlmtest::runWithFailingWrite(dbPath(), n, [&] { chooseAllReplacements(lines); });
        gConnection.open(location());
        EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        const int made = links().size();
        EXPECT_TRUE(made == 0 || made == 4) << "write " << n;
        EXPECT_EQ(plan() == before, made == 0) << "write " << n;
        EXPECT_EQ(scalar("select count(*) from TLM_UNDO").toInt(), made == 0 ? 0 : 1) << "write " << n;
        gConnection.close();
        if (!failed) {
            EXPECT_EQ(made, 4);
            break;
        }
        ++failures;
    }
    EXPECT_GT(failures, 2);
    gConnection.open(location());
}
