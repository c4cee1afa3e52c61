// "Allergene…": marks per ingredient, and the span of the allergen reports.
#include "data/Globals.h"
#include "extras/frmAllergene.h"
#include "extras/frmZeitraum.h"
#include "kitchen/DishMarks.h"
#include "reports/AllergenReports.h"
#include "reports/MealPlanReport.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

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
