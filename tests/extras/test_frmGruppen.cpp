// "Diätgruppen…" and "Ersatz prüfen…": groups kept, replacements put in.
#include "app/DataGrid.h"
#include "data/Globals.h"
#include "extras/frmErsatz.h"
#include "extras/frmGruppen.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/DietGroups.h"
#include "kitchen/Undo.h"
#include "plan/PlanTransfer.h"
#include "plan/frmMain.h"
#include "reports/AllergenReports.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

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
        EXPECT_EQ(d.lsMeiden->count(), 29); // with the twelve additives
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

// "Auch Spuren" in the group window, and "Alle übernehmen": every line fed that can be, the rest named.
TEST_F(DeclarationTest, TheGroupWindowKeepsTracesAndAllLinesAreTakenInOneStep)
{
    {
        frmGruppen g;
        g.Form_Load();
        ASSERT_EQ(g.lsSpuren->count(), 14);
        EXPECT_EQ(g.lsSpuren->item(7)->text(), "H Schalenfrüchte");
        g.sfNeu->click();
        g.txGruppe->setText("Erdnussallergie");
        g.txPersonen->setText("1");
        g.lsSpuren->item(4)->setCheckState(Qt::Checked); // E Erdnüsse
        g.sfSpeichern->click();
        const QString nr = scalar("select GRUPPENR from GRUPPEN where GRUPPE = 'Erdnussallergie'").toString();
        EXPECT_EQ(rows("select ALLNR from GRUPPENSPUREN where GRUPPENR = " + nr), QStringList({"5"}));
        EXPECT_EQ(rows("select ALLNR from GRUPPENALLERGENE where GRUPPENR = " + nr), QStringList({"5"}));
    }
    Modal modal;
    frmErsatz w;
    w.Form_Load();
    EXPECT_EQ(w.lsKonflikte->count(), 5);
    w.sfAlle->click();
    ASSERT_EQ(w.lsKonflikte->count(), 1);
    EXPECT_EQ(w.lsKonflikte->item(0)->text(),
              "Mo 20.07. Mittag · Kein Schwein (2) · Salamibrot enthält Schwein – "
              "Kein Hauptgericht ist für Kein Schwein geeignet");
    EXPECT_EQ(w.lbHinweis->text(), "Ersatz für 4 Mahlzeiten übernommen. 1 Zeile bleibt offen.");
    EXPECT_EQ(w.fGewaehlt, 4);
    EXPECT_EQ(links().size(), 4);
    EXPECT_EQ(lastUndo(), "Ersatz für 4 Mahlzeiten");

    // The plan grid says whom a replacement entry feeds: its row's tooltip and the status line.
    frmMain m;
    m.fncReq(5);
    const auto tip = [&m] {
        return m.gd1->model()->index(m.gd1->currentIndex().row(), 7).data(Qt::ToolTipRole).toString();
    };
    auto* status = m.findChild<QLabel*>("lbErsatzGruppe");
    ASSERT_TRUE(status);
    EXPECT_EQ(tip(), "Ersatz für Laktosefrei");
    EXPECT_EQ(status->text(), "Ersatz für Laktosefrei");
    m.fncReq(1);
    EXPECT_EQ(tip(), "");
    EXPECT_EQ(status->text(), "");
    EXPECT_EQ(modal.unexpected(), 0);
}
