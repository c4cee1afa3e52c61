// Allergens of ingredients, inherited by their dishes; the window that marks them, the week plan for
// the wall and the record per dish.
#include "data/Globals.h"
#include "extras/AllergenReports.h"
#include "extras/Allergens.h"
#include "extras/frmAllergene.h"
#include "extras/frmZeitraum.h"
#include "reports/MealPlanReport.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

class AllergenTest : public tlmtest::SampleDbTest
{
};

TEST_F(AllergenTest, ADishHasTheUnionOfItsIngredientsAndTheMarksGoWithADeletedIngredient)
{
    EXPECT_EQ(scalar("select count(*) from ALLERGENE").toInt(), 17);
    // Spaghetti Bolognese: only the spaghetti bring one in.
    EXPECT_EQ(DishMarks().letters(101), "A");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (900, 2, 'Leer')");
    EXPECT_EQ(DishMarks().letters(900), "(ohne Rezept)");
    // Two ingredients sharing G, one of them at quantity 0, give one G.
    exec("insert into REZEPTE values (9001, 900, 105, 0, 0), (9002, 900, 123, 0.5, 0)");
    EXPECT_EQ(DishMarks().letters(900), "G");
    EXPECT_EQ(DishMarks().diet(900), "vegetarisch");
    EXPECT_EQ(DishMarks().diet(101), "");
    EXPECT_EQ(DishMarks().diet(103), "vegan");
    exec("delete from ZUTATEN where ZUTNR = 105");
    EXPECT_EQ(scalar("select count(*) from ZUTALLERGENE where ZUTNR = 105").toInt(), 0);
}

namespace {
// The test presses a key or ticks a box in the window's ingredient grid.
QModelIndex cell(frmAllergene& w, int row, int allNr)
{
    return w.gdZutaten->model()->index(row, allNr);
}
} // namespace

TEST_F(AllergenTest, TheIngredientGridKeepsEachClickAtOnceAndARefusedOneChangesNothing)
{
    frmAllergene w;
    w.Form_Load();
    QAbstractItemModel* m = w.gdZutaten->model();
    EXPECT_EQ(m->rowCount(), scalar("select count(*) from ZUTATEN").toInt());
    EXPECT_EQ(m->columnCount(), 18);
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), "C");
    EXPECT_EQ(m->headerData(17, Qt::Horizontal).toString(), "tierisch");
    w.txSuch->setText("butt"); // as the ingredient list searches: the beginning, any case
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->index(0, 0).data().toString(), "Butter");
    EXPECT_EQ(cell(w, 0, 7).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(cell(w, 0, 3).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);

    const QString eggInButter = "select count(*) from ZUTALLERGENE where ZUTNR = 105 and ALLNR = 3";
    w.show();
    w.gdZutaten->setFocus();
    w.gdZutaten->setCurrentIndex(cell(w, 0, 3));
    QTest::keyClick(w.gdZutaten, Qt::Key_Space);
    EXPECT_EQ(scalar(eggInButter).toInt(), 1);
    EXPECT_EQ(cell(w, 0, 3).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_TRUE(m->setData(cell(w, 0, 7), Qt::Unchecked, Qt::CheckStateRole)); // a click on G
    EXPECT_EQ(rows("select ALLNR from ZUTALLERGENE where ZUTNR = 105 order by ALLNR"),
              QStringList({"3", "17"}));
    QTest::keyClick(w.gdZutaten, Qt::Key_Space);
    EXPECT_EQ(scalar(eggInButter).toInt(), 0);
    EXPECT_EQ(DishMarks().letters(107), "A, G"); // Frühstück Brötchen: the Gouda still brings G in
    exec("delete from ZUTALLERGENE where ZUTNR = 111 and ALLNR = 7");
    EXPECT_EQ(DishMarks().letters(107), "A");

    // Tab "Gerichte": what the marks give each dish, read when the tab is shown.
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (900, 2, 'Aaa ohne Zeilen')");
    w.tabAllergene->setCurrentIndex(1);
    QTableWidget* g = w.gdGerichte;
    ASSERT_EQ(g->rowCount(), scalar("select count(*) from GERICHTE").toInt());
    EXPECT_EQ(g->item(0, 0)->text(), "Aaa ohne Zeilen");
    EXPECT_EQ(g->item(0, 1)->text(), "keine Rezeptzeilen");
    EXPECT_EQ(g->item(0, 2)->text(), "");
    const QList<QTableWidgetItem*> lentils = g->findItems("Linseneintopf", Qt::MatchExactly);
    ASSERT_EQ(lentils.size(), 1);
    EXPECT_EQ(g->item(lentils[0]->row(), 1)->text(), "L");
    EXPECT_EQ(g->item(lentils[0]->row(), 2)->text(), "vegan");
    w.tabAllergene->setCurrentIndex(0);

    // A database opened read-only: the click says so and the check stays as it was.
    gConnection.close();
    gConnection.open(location(), true);
    Modal modal;
    modal.box(QMessageBox::Ok);
    w.gdZutaten->setCurrentIndex(cell(w, 0, 3));
    QTest::keyClick(w.gdZutaten, Qt::Key_Space);
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("frmAllergene/gdZutaten_Click,8/"))
        << modal.boxes()[0].text.toStdString();
    EXPECT_EQ(cell(w, 0, 3).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(scalar(eggInButter).toInt(), 0);
    EXPECT_EQ(modal.unexpected(), 0);
    gConnection.close();
    gConnection.open(location());
}

// A hand-made catalogue: a cake whose butter and cream share G, bread from the baker without recipe
// lines, and a test ingredient that has all fourteen.
class AllergenReportTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("insert into ZUTATEN values (1, 'Mehl', 1, 'kg', 1, 0, 0), (2, 'Butter', 250, 'g', 2, -1, 0),"
             " (3, 'Sahne', 200, 'ml', 1, -1, 0), (4, 'Alles', 1, 'Stk', 1, 0, 0), (5, 'Äpfel', 1, 'kg', 2, "
             "-1, 0)");
        exec("insert into ZUTALLERGENE (ZUTNR, ALLNR) values (1, 1), (2, 7), (2, 17), (3, 7), (3, 17)");
        exec("insert into ZUTALLERGENE (ZUTNR, ALLNR) select 4, ALLNR from ALLERGENE");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (10, 5, 'Apfelkuchen mit Sahne'),"
             " (11, 6, 'Brot vom Bäcker'), (12, 2, 'Wundertüte'), (13, 5, 'Apfelmus')");
        exec("insert into REZEPTE values (1, 10, 1, 0.5, 0), (2, 10, 2, 0.1, 0), (3, 10, 3, 0, 0),"
             " (4, 10, 5, 1, 0), (5, 12, 4, 1, 0), (6, 13, 5, 1, 0)");
        // Wednesday and Thursday of week 30, and the Monday after.
        exec("insert into SPEISEPLAN values (1, '2026-07-22', 2, 5, 10, 10, 0), (2, '2026-07-22', 3, 6, 11, "
             "10, 0),"
             " (3, '2026-07-23', 2, 5, 13, 10, -1), (4, '2026-07-23', 2, 2, 12, 10, 0),"
             " (5, '2026-07-27', 1, 6, 11, 10, 0)");
    }
};

// Vegetarian means no meat and no fish; vegan means that and nothing of animals: a dish of meat or
// fish is neither, whatever else its ingredients are marked.
TEST_F(AllergenReportTest, MeatOrFishIsNeverVegan)
{
    exec("insert into ZUTATEN values (101, 'Hackfleisch', 1, 'kg', 8, 0, 0), (102, 'Thunfisch', 1, 'kg', 9, "
         "0, "
         "0)");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Bolognese'), (202, 2, "
         "'Thunfischsalat')");
    exec("insert into REZEPTE values (101, 201, 101, 0.5, 0), (102, 202, 102, 0.5, 0)");
    exec("insert into ZUTALLERGENE values (101, 15), (102, 16)");
    const DishMarks marks(QStringLiteral("10, 13, 201, 202"));
    EXPECT_EQ(marks.diet(201), QString());
    EXPECT_EQ(marks.diet(202), QString());
    EXPECT_EQ(marks.diet(10), QStringLiteral("vegetarisch")); // butter and cream: of animals, no meat
    EXPECT_EQ(marks.diet(13), QStringLiteral("vegan"));
}

TEST_F(AllergenReportTest, TheRecordNamesTheIngredientsThatBringEachLetterIn)
{
    EXPECT_EQ(DishMarks().letters(12), "A, B, C, D, E, F, G, H, L, M, N, O, P, R");
    EXPECT_EQ(DishMarks().diet(10), "vegetarisch");
    EXPECT_EQ(DishMarks().diet(13), "vegan");
    EXPECT_EQ(DishMarks().diet(12), ""); // meat among its marks
    fncDruckAllergeneJeGericht(QDate(2026, 7, 20), QDate(2026, 7, 26));
    EXPECT_EQ(vp().documentTitle(), "Allergene je Gericht");
    EXPECT_EQ(
        vp().rowTexts(),
        QStringList({"Geplant vom 20.07.2026 bis 26.07.2026", "Gericht|Allergene|enthalten in|Ernährung",
                     "Apfelkuchen mit Sahne|A, G|A Gluten: Mehl\nG Milch: Butter, Sahne|vegetarisch",
                     "Apfelmus||"
                     "|vegan",
                     "Brot vom Bäcker|(ohne Rezept)||",
                     "Wundertüte|A, B, C, D, E, F, G, H, L, M, N, O, P, R|A Gluten: Alles\nB Krebstiere: "
                     "Alles\nC Eier: Alles\nD Fisch: Alles\nE Erdnüsse: Alles\nF Soja: Alles\nG Milch: "
                     "Alles\nH Schalenfrüchte: Alles\nL Sellerie: Alles\nM Senf: Alles\nN Sesam: Alles\nO "
                     "Sulfite: Alles\nP Lupinen: Alles\nR Weichtiere: Alles|"}));
    fncDruckAllergeneJeGericht(QDate(2026, 7, 27), QDate(2026, 7, 27));
    EXPECT_EQ(vp().rowTexts().mid(2), QStringList({"Brot vom Bäcker|(ohne Rezept)||"}));
}

TEST_F(AllergenReportTest, TheWeekPlanHasAPageAcrossPerWeekWithTheLettersOfItsDishesAndTheirLegend)
{
    const QString stand = "Stand: " + QDate::currentDate().toString("dd.MM.yyyy");
    fncDruckWochenplan(QDate(2026, 7, 22), QDate(2026, 7, 27));
    const ReportWriter& p = vp(); // the document, as the preview and the PDF show it
    EXPECT_EQ(p.documentTitle(), "Wochenplan");
    EXPECT_TRUE(p.isLandscape());
    ASSERT_EQ(p.pageCount(), 2);
    const QString days = "|Montag\n20.07.2026|Dienstag\n21.07.2026|Mittwoch\n22.07.2026|Donnerstag\n"
                         "23.07.2026|Freitag\n24.07.2026|Samstag\n25.07.2026|Sonntag\n26.07.2026";
    EXPECT_EQ(
        p.rowTexts(),
        QStringList({"KW 30: 20.07.2026 bis 26.07.2026", days,
                     "Mittagessen|||Apfelkuchen mit Sahne (A, G)|Wundertüte (A, B, C, D, E, F, G, H, L, M, "
                     "N, O, P, R)\nApfelmus|||",
                     "Abendessen|||Brot vom Bäcker (ohne Rezept)||||",
                     "Allergene: A Gluten (glutenhaltiges Getreide), B Krebstiere, C Eier, D Fisch, E "
                     "Erdnüsse, F Soja, G Milch (einschließlich Laktose), H Schalenfrüchte, L Sellerie, M "
                     "Senf, N Sesam, O Sulfite (Schwefeldioxid und Sulfite), P Lupinen, R Weichtiere",
                     stand, "KW 31: 27.07.2026 bis 02.08.2026",
                     "|Montag\n27.07.2026|Dienstag\n28.07.2026|Mittwoch\n29.07.2026|Donnerstag\n"
                     "30.07.2026|Freitag\n31.07.2026|Samstag\n01.08.2026|Sonntag\n02.08.2026",
                     "Frühstück|Brot vom Bäcker (ohne Rezept)||||||", stand}));
    // Each page ends with its own legend at its foot; the dish names are 11 pt where they fit.
    for (const ReportRow& r : p.rows())
        EXPECT_LE(r.top + r.height, p.bodyBottom() + 1);
    EXPECT_EQ(p.rows()[5].page, 0);
    EXPECT_GT(p.rows()[5].top + p.rows()[5].height, p.bodyBottom() - 50);
    EXPECT_EQ(p.rows()[9].page, 1);
    const ReportRow& lunch = p.rows()[2];
    EXPECT_GE(p.font(p.pages()[0].items[lunch.firstItem + 3].font).size, 11);

    // A day outside the span stays empty; the described reports stay upright.
    fncDruckWochenplan(QDate(2026, 7, 23), QDate(2026, 7, 23));
    EXPECT_EQ(
        vp().rowTexts().mid(2, 1),
        QStringList({"Mittagessen||||Wundertüte (A, B, C, D, E, F, G, H, L, M, N, O, P, R)\nApfelmus|||"}));
    // A compound name wider than its column breaks after a hyphen instead of shrinking its cell.
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (14, 4, 'Tomaten-Mozzarella-Salat')");
    exec("insert into SPEISEPLAN values (6, '2026-07-24', 2, 4, 14, 10, 0)");
    fncDruckWochenplan(QDate(2026, 7, 24), QDate(2026, 7, 24));
    const ReportWriter& doc = vp();
    const ReportItem& friday = doc.pages()[0].items[doc.rows()[2].firstItem + 5];
    EXPECT_TRUE(friday.text.startsWith("Tomaten-\n")) << friday.text.toStdString();
    EXPECT_EQ(QString(friday.text).remove('\n'), "Tomaten-Mozzarella-Salat (ohne Rezept)");
    EXPECT_GE(doc.font(friday.font).size, 11);
    fncDruckSpeiseplan();
    EXPECT_FALSE(vp().isLandscape());
}

TEST_F(AllergenReportTest, AFullWeekShrinksItsTextToStayOnOnePageAndNeverBreaksAName)
{
    // Five meals a day with three long dishes each.
    exec("delete from SPEISEPLAN");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (20, 2, 'Kartoffelgratin mit Schinkenwürfeln "
         "und Bergkäse')");
    int key = 1;
    for (int day = 0; day < 7; ++day)
        for (int time = 1; time <= 5; ++time)
            for (int n = 0; n < 3; ++n)
                exec(QString("insert into SPEISEPLAN values (%1, '%2', %3, 2, 20, 10, 0)")
                         .arg(key++)
                         .arg(QDate(2026, 7, 20).addDays(day).toString(Qt::ISODate))
                         .arg(time));
    fncDruckWochenplan(QDate(2026, 7, 20), QDate(2026, 7, 26));
    const ReportWriter& p = vp(); // the document, as the preview and the PDF show it
    ASSERT_EQ(p.pageCount(), 1);
    const ReportRow& breakfast = p.rows()[2];
    const ReportItem& monday = p.pages()[0].items[breakfast.firstItem + 1];
    EXPECT_LT(p.font(monday.font).size, 11);
    EXPECT_GE(p.font(monday.font).size, 6);
    for (const QString& line : monday.lines) // wrapped at blanks only
        EXPECT_TRUE(QString("Kartoffelgratin mit Schinkenwürfeln und Bergkäse (ohne Rezept)").contains(line))
            << line.toStdString();
}

TEST_F(AllergenReportTest, TheSpanStartsAsThePlansDaysAndABackwardOneIsRefused)
{
    Modal modal;
    modal.on<frmZeitraum>([](frmZeitraum& w) {
        EXPECT_EQ(w.objectName(), "frmWochenplan");
        EXPECT_EQ(w.dpVon->date(), QDate(2026, 7, 22));
        EXPECT_EQ(w.dpBis->date(), QDate(2026, 7, 27));
        w.dpVon->setDate(QDate(2026, 7, 28));
        w.sfDrucken->click(); // says so and stays open
        EXPECT_TRUE(w.isVisible());
        w.dpVon->setDate(QDate(2026, 7, 23));
        w.sfDrucken->click();
    });
    modal.box(QMessageBox::Ok);
    const std::optional<PlanSpan> span = fncDlgZeitraum("frmWochenplan", "Wochenplan");
    ASSERT_TRUE(span);
    EXPECT_EQ(span->first, QDate(2026, 7, 23));
    EXPECT_EQ(span->last, QDate(2026, 7, 27));
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("vor dem bei"));
    EXPECT_EQ(modal.unexpected(), 0);
}
