// Diet groups: the meals where a group has nothing it may eat, and the replacement dishes.
#include "app/DataGrid.h"
#include "data/Globals.h"
#include "extras/AllergenReports.h"
#include "extras/CampPlanning.h"
#include "extras/DietGroups.h"
#include "extras/Undo.h"
#include "extras/frmErsatz.h"
#include "extras/frmGruppen.h"
#include "plan/PlanTransfer.h"
#include "plan/frmMain.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

using namespace tlm;
using tlmtest::Modal;

class GroupTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // Spaghetti (A), Hack (Fleisch), Tomaten, Käse (G), Reis, Milch (G), Eier (C).
        exec("insert into ZUTATEN values (1, 'Spaghetti', 500, 'g', 1, 0, 0), (2, 'Hack', 1, 'kg', 9, -1, 0),"
             " (3, 'Tomaten', 1, 'kg', 3, -1, 0), (4, 'Käse', 200, 'g', 2, -1, 0), (5, 'Reis', 1, 'kg', 3, "
             "0, 0),"
             " (6, 'Milch', 1, 'L', 1, -1, 0), (7, 'Eier', 10, 'Stk', 3, -1, 0)");
        exec("insert into ZUTALLERGENE values (1, 1), (2, 15), (2, 17), (4, 7), (4, 17), (6, 7), (6, 17),"
             " (7, 3), (7, 17)");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Spaghetti Bolognese'),"
             " (202, 2, 'Gemüselasagne'), (203, 2, 'Gemüsereis'), (204, 2, 'Milchreis'), (205, 2, 'Eintopf'),"
             " (211, 5, 'Pudding')");
        // Tomatoes in the same quantity in the Bolognese and the rice; Eintopf has no recipe lines.
        exec("insert into REZEPTE values (1, 201, 1, 500, 0), (2, 201, 2, 0.4, 0), (3, 201, 3, 0.4, 0),"
             " (4, 202, 1, 250, 0), (5, 202, 3, 0.5, 0), (6, 202, 4, 100, 0), (7, 202, 7, 2, 0),"
             " (8, 203, 5, 0.3, 0), (9, 203, 3, 0.4, 0), (10, 204, 5, 0.2, 0), (11, 204, 6, 1, 0),"
             " (12, 211, 6, 1, 0)");
        // Mo 20.07. to Mi 22.07.: lunches of 20, the dessert on the 21st, a supper for one on the 22nd.
        exec("insert into SPEISEPLAN values (1, '2026-07-20', 2, 2, 201, 20, 0), (2, '2026-07-21', 2, 2, "
             "201, 20, 0),"
             " (3, '2026-07-21', 2, 5, 211, 20, 0), (4, '2026-07-22', 2, 2, 203, 20, 0),"
             " (5, '2026-07-22', 3, 2, 202, 1, 0)");
        vegetarier = saveDietGroup({0, "Vegetarier", 5, {}, {}, {15, 16}});
        glutenfrei = saveDietGroup({0, "Glutenfrei", 1, QDate(2026, 7, 21), QDate(2026, 7, 22), {1}});
        ohneMilch = saveDietGroup({0, "Ohne Milch und Ei", 2, {}, {}, {7, 3}});
    }
    QStringList lines()
    {
        QStringList texts;
        for (const MealConflict& c : mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 22)))
            texts << c.text;
        return texts;
    }
    MealConflict conflict(qint32 key, int group)
    {
        for (const MealConflict& c : mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 22)))
            if (c.key == key && c.gruppeNr == group)
                return c;
        ADD_FAILURE() << "no line for entry " << key << " and group " << group;
        return {};
    }
    QStringList plan()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN from SPEISEPLAN order by KEY");
    }
    QStringList links() { return rows("select KEY, GRUPPENR from ERSATZ order by KEY"); }

    int vegetarier = 0, glutenfrei = 0, ohneMilch = 0;
};

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

// Only dishes of the meal's own type are offered: a main dish planned as the soup does not make main
// dishes soups. Without a safe one the line says so; a dish chosen all the same keeps its own type.
TEST_F(GroupTest, AReplacementIsOfTheMealsTypeOrSaysThereIsNone)
{
    exec("insert into SPEISEPLAN values (6, '2026-07-20', 3, 1, 201, 20, 0)"); // Bolognese as the soup
    const MealConflict soup = conflict(6, vegetarier);
    EXPECT_TRUE(offeredDishes(soup).isEmpty());
    EXPECT_EQ(soup.noDish, QStringLiteral("Keine Suppe ist für Vegetarier geeignet"));
    EXPECT_EQ(conflict(3, ohneMilch).noDish,
              QStringLiteral("Keine Nachspeise ist für Ohne Milch und Ei geeignet"));
    ASSERT_TRUE(chooseReplacement(soup, 203).refusal.isEmpty());
    EXPECT_EQ(plan().value(6), "7|20.07.2026|3|2|203|5");

    // The window puts the sentence on the line and below the list.
    Modal modal;
    modal.on<frmErsatz>([](frmErsatz& d) {
        for (int i = 0; i < d.lsKonflikte->count(); ++i)
            if (d.lsKonflikte->item(i)->text().contains("Pudding"))
                d.lsKonflikte->setCurrentRow(i);
        EXPECT_EQ(d.lsGerichte->count(), 0);
        EXPECT_TRUE(d.lsKonflikte->currentItem()->text().endsWith(
            QStringLiteral(" – Keine Nachspeise ist für Ohne Milch und Ei geeignet")));
        EXPECT_EQ(d.lbHinweis->text(),
                  QStringLiteral("Keine Nachspeise ist für Ohne Milch und Ei geeignet."));
        d.sfSchliessen->click();
    });
    fncDlgErsatz();
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(GroupTest, AReplacementMovesTheGroupsPersonsAndStaysTheGroupsThroughPersonsAndUndo)
{
    const QStringList needBefore = rows("select ZUTAT, MENGSUM from VW_MENGEN order by ZUTNR");
    const ChoiceResult r = chooseReplacement(conflict(2, glutenfrei), 203);
    EXPECT_TRUE(r.refusal.isEmpty());
    EXPECT_EQ(r.newKey, 6);
    EXPECT_EQ(plan().mid(1, 1), QStringList{"2|21.07.2026|2|2|201|19"});
    EXPECT_EQ(plan().value(5), "6|21.07.2026|2|2|203|1");
    EXPECT_EQ(links(), QStringList{QStringLiteral("6|%1").arg(glutenfrei)});
    // One person moved from the Bolognese to the rice: the tomatoes, the same in both, stay.
    const QStringList needAfter = rows("select ZUTAT, MENGSUM from VW_MENGEN order by ZUTNR");
    EXPECT_EQ(needAfter.filter("Tomaten"), needBefore.filter("Tomaten"));
    EXPECT_EQ(needAfter.filter("Hack"), QStringList{"Hack|3,9"}); // 0.4 kg per 4 for 39 persons
    // The gluten-free are fed; the vegetarians are not, by the rice of one.
    EXPECT_FALSE(
        lines().contains("Di 21.07. Mittag · Glutenfrei (1) · Spaghetti Bolognese enthält A Gluten"));
    EXPECT_TRUE(lines().contains("Di 21.07. Mittag · Vegetarier (5) · Spaghetti Bolognese enthält Fleisch"));
    ASSERT_TRUE(chooseReplacement(conflict(2, vegetarier), 202).refusal.isEmpty());
    EXPECT_EQ(scalar("select sum(PERSONEN) from SPEISEPLAN where TAG = '2026-07-21' and GTYPNR = 2").toInt(),
              20);

    // Too few persons on the entry: the reason, and nothing written, not even an undo step.
    const QStringList planBefore = plan();
    const QVariant steps = scalar("select count(*) from TLM_UNDO");
    EXPECT_EQ(chooseReplacement(conflict(5, ohneMilch), 203).refusal,
              "Gemüselasagne hat nur 1 Person, Ohne Milch und Ei sind 2: nichts geändert.");
    EXPECT_EQ(plan(), planBefore);
    EXPECT_EQ(links().size(), 2);
    EXPECT_EQ(scalar("select count(*) from TLM_UNDO"), steps);

    // "Personen ändern" keeps the groups' persons; the common entry feeds the rest of the meal.
    exec("update GRUPPEN set PERSONEN = 2 where GRUPPENR = " + QString::number(glutenfrei));
    changePersons(QDate(2026, 7, 20), QDate(2026, 7, 22), 0, 30);
    EXPECT_EQ(rows("select KEY, PERSONEN from SPEISEPLAN order by KEY"),
              (QStringList{"1|30", "2|23", "3|30", "4|30", "5|30", "6|2", "7|5"}));

    // "Speiseplan löschen" takes the links along; taking it back brings entries and links again.
    frmMain w;
    Modal modal;
    modal.box(QMessageBox::Yes);
    w.mnuDelAll->trigger();
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN").toInt(), 0);
    EXPECT_TRUE(links().isEmpty());
    undoLast();
    EXPECT_EQ(links().size(), 2);
    EXPECT_EQ(undoLast(), "7 Einträge wiederhergestellt."); // the persons as they were
    EXPECT_EQ(plan().value(1), "2|21.07.2026|2|2|201|14");
    // Taking back a choice removes the entry and its link and gives the persons back.
    undoLast();
    EXPECT_EQ(plan().value(1), "2|21.07.2026|2|2|201|19");
    EXPECT_EQ(links(), QStringList{QStringLiteral("6|%1").arg(glutenfrei)});

    // Copied days keep their replacements the group's; a loaded plan, whose file knows no groups,
    // keeps no link.
    copyDays(QDate(2026, 7, 21), QDate(2026, 7, 21), QDate(2026, 7, 23));
    EXPECT_EQ(links(),
              (QStringList{QStringLiteral("6|%1").arg(glutenfrei), QStringLiteral("8|%1").arg(glutenfrei)}));
    EXPECT_EQ(scalar("select GERNR from SPEISEPLAN where KEY = 8").toInt(), 203);
    const QString file = dir() + "/plan.tlm";
    exportPlan(file);
    importPlan(file);
    EXPECT_TRUE(links().isEmpty());
    // A deleted group takes its links; its entries stay.
    exec("insert into ERSATZ values (1, " + QString::number(vegetarier) + ")");
    deleteDietGroup(vegetarier);
    EXPECT_TRUE(links().isEmpty());
    EXPECT_EQ(scalar("select count(*) from GRUPPENALLERGENE where GRUPPENR = " + QString::number(vegetarier))
                  .toInt(),
              0);
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN").toInt(), 9);
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

TEST_F(GroupTest, TheWindowsKeepGroupsAndPutInReplacementsAndPrintingWarnsOnce)
{
    frmMain w;
    w.fncReq(0);
    Modal modal;
    QString second;
    modal.on<frmGruppen>([&](frmGruppen& d) {
        EXPECT_EQ(d.lsGruppen->count(), 3);
        EXPECT_EQ(d.lsGruppen->item(0)->text(), "Glutenfrei (1)");
        EXPECT_EQ(d.txVon->text(), "21.07.2026");
        EXPECT_EQ(d.lsMeiden->count(), 17);
        EXPECT_EQ(d.lsMeiden->item(0)->checkState(), Qt::Checked);
        EXPECT_EQ(d.lsMeiden->item(0)->text(), "A Gluten (glutenhaltiges Getreide)");
        EXPECT_EQ(d.lsMeiden->item(16)->text(), "tierisch");
        // An edit is not lost to a click elsewhere: kept on Abbrechen, saved on Ja, dropped on Nein.
        d.txPersonen->setText("3");
        d.lsGruppen->setCurrentRow(1);
        QCoreApplication::processEvents(); // the question comes once the click is done
        EXPECT_EQ(d.lsGruppen->currentRow(), 0);
        EXPECT_EQ(d.txPersonen->text(), "3");
        d.lsGruppen->setCurrentRow(1);
        QCoreApplication::processEvents();
        EXPECT_EQ(d.lsGruppen->currentRow(), 1);
        EXPECT_EQ(d.lsGruppen->item(0)->text(), "Glutenfrei (3)");
        second = d.txGruppe->text();
        d.txGruppe->setText("Umbenannt");
        d.sfNeu->click();
        EXPECT_EQ(d.txGruppe->text(), "");
        d.sfNeu->click();
        d.txGruppe->setText("Vegan");
        d.txPersonen->setText("zwei");
        d.sfSpeichern->click();
        d.txPersonen->setText("2");
        d.txVon->setText("32.07.2026");
        d.sfSpeichern->click();
        d.txVon->setText("");
        d.txBis->setText("22.7.2026");
        d.lsMeiden->item(16)->setCheckState(Qt::Checked);
        d.sfSpeichern->click();
        EXPECT_EQ(d.lsGruppen->currentItem()->text(), "Vegan (2)");
        d.sfNeu->click();
        d.txGruppe->setText("vegan");
        d.txPersonen->setText("1");
        d.sfSpeichern->click();
        d.unload();
    });
    modal.box(QMessageBox::Cancel).box(QMessageBox::Yes).box(QMessageBox::No);
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok).box(QMessageBox::Ok).box(QMessageBox::No);
    w.mnuGruppen->trigger();
    EXPECT_EQ(modal.boxTexts(),
              (QStringList{"Die Änderungen an der Gruppe „Glutenfrei“ speichern?",
                           "Die Änderungen an der Gruppe „Glutenfrei“ speichern?",
                           "Die Änderungen an der Gruppe „" + second + "“ speichern?",
                           "Bitte eine ganze Zahl von 0 bis 32767 Personen eingeben.",
                           "Bitte bei „Von:“ ein Datum wie 21.07.2026 eingeben oder das Feld leer lassen.",
                           "Eine Gruppe „vegan“ gibt es schon.", "Die neue Gruppe „vegan“ speichern?"}));
    EXPECT_EQ(scalar("select count(*) from GRUPPEN where GRUPPE in ('Umbenannt', 'vegan')").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from GRUPPEN where GRUPPE = '" + second + "'").toInt(), 1);
    EXPECT_EQ(scalar("select PERSONEN from GRUPPEN where GRUPPE = 'Glutenfrei'").toInt(), 3);
    exec("update GRUPPEN set PERSONEN = 1 where GRUPPE = 'Glutenfrei'");
    EXPECT_EQ(rows("select GRUPPE, PERSONEN, VON, BIS from GRUPPEN where GRUPPE = 'Vegan'"),
              QStringList{"Vegan|2||22.07.2026"});
    EXPECT_EQ(rows("select ALLNR from GRUPPENALLERGENE G join GRUPPEN N on N.GRUPPENR = G.GRUPPENR"
                   " where GRUPPE = 'Vegan'"),
              QStringList{"17"});
    exec("delete from GRUPPEN where GRUPPE = 'Vegan'");

    modal.on<frmErsatz>([&](frmErsatz& d) {
        EXPECT_EQ(d.dpVon->date(), QDate(2026, 7, 20));
        EXPECT_EQ(d.lsKonflikte->count(), 6);
        d.lsKonflikte->setCurrentRow(5); // Ohne Milch und Ei at the supper for one
        EXPECT_GT(d.lsGerichte->count(), 0);
        d.sfUebernehmen->click();
        EXPECT_EQ(d.lsKonflikte->item(5)->text(),
                  "Mi 22.07. Abend · Ohne Milch und Ei (2) · Gemüselasagne enthält C Eier, G Milch – "
                  "Gemüselasagne hat nur 1 Person, Ohne Milch und Ei sind 2: nichts geändert.");
        d.lsKonflikte->setCurrentRow(2); // the vegetarians on the 21st
        EXPECT_EQ(d.lsGerichte->item(0)->text(), "Gemüselasagne (A, C, G)");
        EXPECT_EQ(d.lbHinweis->text(), ""); // the refusal belonged to the other line
        d.sfUebernehmen->click();
        EXPECT_EQ(d.lsKonflikte->count(), 5);
        EXPECT_FALSE(d.lsKonflikte->findItems("Di 21.07. Mittag · Vegetarier", Qt::MatchStartsWith).size());
        d.sfSchliessen->click();
    });
    w.mnuErsatz->trigger();
    EXPECT_EQ(plan().value(5), "6|21.07.2026|2|2|202|5");
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 6);
    // The week plan shows the replacement under the common dish of its meal.
    fncDruckWochenplan(QDate(2026, 7, 20), QDate(2026, 7, 26));
    EXPECT_EQ(tlmtest::vp().rowTexts().value(2),
              "Mittagessen|Spaghetti Bolognese (A)|Spaghetti Bolognese (A)\n"
              "Vegetarier: Gemüselasagne (A, C, G)\nPudding (G)|Gemüsereis||||");

    // Three meals still have a group without a dish: said once, and the list is printed.
    modal.box(QMessageBox::Ok);
    w.mnuDruckELA->trigger();
    EXPECT_EQ(
        modal.boxTexts().mid(7),
        QStringList{"Bei 3 Mahlzeiten hat eine Gruppe kein Gericht, das sie essen darf (Extras → „Ersatz "
                    "prüfen…“)."});
    EXPECT_GT(tlmtest::vp().pages(), 0);
    EXPECT_EQ(modal.unexpected(), 0);
}
