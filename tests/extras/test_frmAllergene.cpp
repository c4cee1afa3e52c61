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

#include <QCheckBox>
#include <QDateEdit>
#include <QInputDialog>
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
    return w.gdZutaten->model()->index(row, allNr + 1); // after the name and the day it was checked
}
} // namespace

TEST_F(AllergenTest, TheIngredientGridKeepsEachClickAtOnceAndARefusedOneChangesNothing)
{
    frmAllergene w;
    w.Form_Load();
    QAbstractItemModel* m = w.gdZutaten->model();
    EXPECT_EQ(m->rowCount(), scalar("select count(*) from ZUTATEN").toInt());
    EXPECT_EQ(m->columnCount(), 32);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "geprüft am");
    EXPECT_EQ(m->headerData(4, Qt::Horizontal).toString(), "C");
    EXPECT_EQ(m->headerData(18, Qt::Horizontal).toString(), "tierisch");
    EXPECT_EQ(m->headerData(19, Qt::Horizontal).toString(), "1");
    EXPECT_EQ(m->headerData(31, Qt::Horizontal).toString(), "Schwein");
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

TEST_F(DeclarationTest, TheWindowShowsUncheckedIngredientsMarksThemCheckedSetsTracesAndAddsOwnMarks)
{
    frmAllergene w;
    w.Form_Load();
    w.show();
    EXPECT_EQ(w.txHinweis->text(), "Fragen zu Allergenen und Zusatzstoffen: bitte an die Küchenleitung");
    QAbstractItemModel* m = w.gdZutaten->model();
    w.cbUngeprueft->click();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(0, 0).data().toString(), "Brühe");
    EXPECT_EQ(m->index(1, 1).data().toString(), "nicht geprüft");
    w.gdZutaten->selectAll();
    w.sfGeprueft->click();
    const QString today = QDate::currentDate().toString("dd.MM.yyyy");
    EXPECT_EQ(rows("select ZUTNR, GEPRUEFT from ZUTGEPRUEFT where ZUTNR in (4, 7) order by ZUTNR"),
              QStringList({"4|" + today, "7|" + today}));
    EXPECT_EQ(m->rowCount(), 0);
    w.cbUngeprueft->click();

    // Haferflocken (row 3): traces of H show half checked; "Spuren" sets them for C, a click makes it
    // "enthält".
    ASSERT_EQ(m->index(3, 0).data().toString(), "Haferflocken");
    EXPECT_EQ(m->index(3, 1).data().toString(), "30.06.2026");
    EXPECT_EQ(cell(w, 3, 8).data(Qt::CheckStateRole).toInt(), Qt::PartiallyChecked);
    w.gdZutaten->setFocus();
    w.gdZutaten->setCurrentIndex(cell(w, 3, 3));
    w.sfSpuren->click();
    EXPECT_EQ(rows("select ALLNR from ZUTSPUREN where ZUTNR = 1 order by ALLNR"), QStringList({"3", "8"}));
    EXPECT_EQ(cell(w, 3, 3).data(Qt::CheckStateRole).toInt(), Qt::PartiallyChecked);
    w.gdZutaten->setFocus();
    QTest::keyClick(w.gdZutaten, Qt::Key_Space);
    EXPECT_EQ(rows("select ALLNR from ZUTSPUREN where ZUTNR = 1"), QStringList({"8"}));
    EXPECT_EQ(rows("select ALLNR from ZUTALLERGENE where ZUTNR = 1 order by ALLNR"), QStringList({"1", "3"}));

    // An own mark: a column of its own, shown on the week plan when the kitchen says so.
    Modal modal;
    modal.on<QInputDialog>([](QInputDialog& d) {
        d.setTextValue("Alkohol");
        d.accept();
    });
    w.sfMerkmal->click();
    EXPECT_EQ(rows("select ALLNR, ALLERGEN from ALLERGENE where ALLNR > 100 order by ALLNR"),
              QStringList({"101|Schwein", "102|Alkohol"}));
    EXPECT_EQ(m->headerData(w.gdZutaten->currentIndex().column(), Qt::Horizontal).toString(), "Alkohol");
    ASSERT_TRUE(w.cbWochenplan->isEnabled());
    EXPECT_FALSE(w.cbWochenplan->isChecked());
    w.cbWochenplan->click();
    EXPECT_EQ(scalar("select WERT from PARAMETER where PARID = 211").toString(), "101,102");

    w.txHinweis->setText("Fragen an die Küche");
    emit w.txHinweis->editingFinished();
    EXPECT_EQ(scalar("select WERT from PARAMETER where PARID = 210").toString(), "Fragen an die Küche");
    EXPECT_EQ(modal.unexpected(), 0);
}
