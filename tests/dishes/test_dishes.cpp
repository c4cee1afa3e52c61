#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "data/Globals.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmGerichtList.h"
#include "dishes/frmRezDet.h"
#include "ingredients/frmZutatDet.h"
#include "ingredients/frmZutatList.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;

class DishTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("insert into ZUTATEN values (101, 'Nudeln', 500, 'g', 1.19, 0, 0), (102, 'Tomaten', 1, 'kg', "
             "2.99, -1, 0),"
             " (103, 'Salz', 500, 'g', 0.49, 0, -1)");
    }
    QStringList dishes()
    {
        return rows("select GERNR,GTYPNR,GERICHT,ZUBEREITUNG from GERICHTE order by GERNR");
    }
    QStringList lines()
    {
        return rows("select REZNR,GERNR,ZUTNR,MENGE4P,PERSONEN from REZEPTE order by REZNR");
    }
    void plannedDishes()
    {
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT, ZUBEREITUNG) values (201, 2, 'Nudeln mit Soße', "
             "'Kochen'),"
             " (202, 4, 'Nudelsalat', ''), (203, 1, 'Omas Kartoffelsuppe', null), (204, 2, 'Omas'' Gulasch', "
             "null)");
        exec("insert into REZEPTE values (1, 201, 101, 125, 0), (2, 201, 102, 0.25, 0), (3, 202, 101, 100, "
             "0)");
        exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 10, 0), (2, '2010-07-26', 3, 2, "
             "201, 10, 0)");
    }
};

TEST_F(DishTest, NewDishAndItsFirstLine)
{
    Modal modal;
    modal.on<frmGerichtDet>([](frmGerichtDet& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Gericht bearbeiten"));
        EXPECT_EQ(d.fGERNR, 101);
        EXPECT_EQ(d.ddGTyp->currentText(), QStringLiteral("Hauptgericht"));
        EXPECT_EQ(d.gd1->model()->rowCount(), 0);
        d.sfAbbrechen->click();
    });
    EXPECT_EQ(fncDlgGerichtDet(0), 101);
    EXPECT_TRUE(dishes().isEmpty());

    modal.on<frmGerichtDet>([](frmGerichtDet& d) {
        d.txGERICHT->setText("Nudeln mit Tomaten");
        d.sfAdd->click(); // picker left without a choice: the dish is written, no line
        d.sfAdd->click();
        EXPECT_EQ(d.gd1->columnValue("ZUTAT").toString(), QStringLiteral("Tomaten"));
        EXPECT_EQ(d.gd1->model()->data(d.gd1->model()->index(0, 2)).toString(), QString()); // no quantity yet
        d.sfAbbrechen->click();
    });
    modal.on<frmZutatList>([](frmZutatList& w) { w.sfExit->click(); });
    modal.on<frmZutatList>([](frmZutatList& w) {
        w.fncReq(102, "");
        w.sfSelect->click();
    });
    EXPECT_EQ(fncDlgGerichtDet(0), 101);
    EXPECT_EQ(dishes(), QStringList{"101|2|Nudeln mit Tomaten|"});
    EXPECT_EQ(lines(), QStringList{"101|101|102||0"});
    EXPECT_TRUE(scalar("select MENGE4P is null from REZEPTE").toBool());
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(DishTest, EditingLinesAndThePreparationText)
{
    plannedDishes();
    Modal modal;
    modal.on<frmGerichtDet>([](frmGerichtDet& d) {
        EXPECT_EQ(d.txGERICHT->text(), QStringLiteral("Nudeln mit Soße"));
        EXPECT_EQ(d.txZubereitung->toPlainText(), QStringLiteral("Kochen"));
        QStringList shown;
        for (int r = 0; r < d.gd1->model()->rowCount(); ++r)
            shown << d.gd1->model()->data(d.gd1->model()->index(r, 1)).toString() + " " +
                         d.gd1->model()->data(d.gd1->model()->index(r, 2)).toString();
        EXPECT_EQ(shown, (QStringList{"Nudeln 125", "Tomaten 0,25"}));
        d.gd1->setCurrentIndex(d.gd1->model()->index(1, 0));
        d.sfEdit->click(); // cancelled in the line dialog: the line stays current
        EXPECT_EQ(d.gd1->columnValue("REZNR").toInt(), 2);
        d.sfDel->click(); // No
        d.sfDel->click(); // Yes
        EXPECT_EQ(d.gd1->model()->rowCount(), 1);
        EXPECT_EQ(d.gd1->columnValue("REZNR").toInt(), 1);
        d.txZubereitung->setPlainText(QString(1990, 'a'));
        d.txZubereitung->moveCursor(QTextCursor::End);
        QTest::keyClicks(d.txZubereitung, QString(30, 'b'));
        EXPECT_EQ(d.txZubereitung->toPlainText().size(), 2000);
        QApplication::clipboard()->setText(QString(100, 'c'));
        d.txZubereitung->moveCursor(QTextCursor::Start);
        d.txZubereitung->paste();
        EXPECT_EQ(d.txZubereitung->toPlainText().size(), 2000);
        EXPECT_TRUE(d.txZubereitung->toPlainText().endsWith(QString(10, 'b')));
        d.ddGTyp->setValue("5");
        d.sfOK->click();
    });
    modal.on<frmRezDet>([](frmRezDet& r) { r.sfExit->click(); });
    modal.box(QMessageBox::No).box(QMessageBox::Yes);
    fncDlgGerichtDet(201);
    EXPECT_EQ(lines(), (QStringList{"1|201|101|125|0", "3|202|101|100|0"}));
    EXPECT_EQ(scalar("select length(ZUBEREITUNG) from GERICHTE where GERNR = 201").toInt(), 2000);
    EXPECT_EQ(scalar("select GTYPNR from GERICHTE where GERNR = 201").toInt(), 5);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(DishTest, RecipeLineDialog)
{
    plannedDishes();
    Modal modal;
    modal.on<frmRezDet>([](frmRezDet& r) {
        EXPECT_EQ(r.windowTitle(), QStringLiteral("Rezept"));
        EXPECT_EQ(r.ddZUTAT->currentText(), QStringLiteral("Tomaten"));
        EXPECT_EQ(r.txMENGE4P->text(), QStringLiteral("0,25"));
        EXPECT_EQ(r.txEINHEIT->text(), QStringLiteral("kg"));
        EXPECT_FALSE(r.txEINHEIT->isEnabled());
        r.ddZUTAT->setCurrentIndex(r.ddZUTAT->findText("Salz"));
        emit r.ddZUTAT->activated(r.ddZUTAT->currentIndex());
        EXPECT_EQ(r.txEINHEIT->text(), QStringLiteral("g"));
        r.txMENGE4P->setText("1,5");
        r.sfOK->click();
    });
    EXPECT_EQ(fncDlgRezDet(2, 202), 2);
    EXPECT_EQ(lines().value(1), QStringLiteral("2|202|103|1,5|0")); // saved with the dish passed in
    // A quantity that is no number is refused and nothing is written; an empty one is 0.
    modal.on<frmRezDet>([](frmRezDet& r) {
        r.txMENGE4P->setText("1.5");
        r.sfOK->click();
        EXPECT_TRUE(r.isVisible());
        r.sfExit->click();
    });
    modal.box(QMessageBox::Ok);
    fncDlgRezDet(2, 202);
    EXPECT_EQ(modal.boxes().back().text, QStringLiteral("Bitte eine Zahl eingeben, zum Beispiel 2,50."));
    EXPECT_EQ(scalar("select MENGE4P from REZEPTE where REZNR = 2").toDouble(), 1.5);
    modal.on<frmRezDet>([](frmRezDet& r) {
        r.txMENGE4P->setText("");
        r.sfOK->click();
    });
    fncDlgRezDet(2, 202);
    EXPECT_EQ(scalar("select MENGE4P from REZEPTE where REZNR = 2").toDouble(), 0.0);
    // A new line reserves the next key; "Zutat bearbeiten" without a choice opens a new ingredient.
    modal.on<frmRezDet>([](frmRezDet& r) {
        EXPECT_EQ(r.fREZNR, 4);
        EXPECT_EQ(r.ddZUTAT->value(), QString());
        r.sfZutatEdit->click();
        r.ddZUTAT->setValue("101");
        r.txMENGE4P->setText("2");
        r.sfOK->click();
    });
    modal.on<frmZutatDet>([](frmZutatDet& z) {
        EXPECT_EQ(z.fZUTNR, 104);
        z.sfExit->click();
    });
    EXPECT_EQ(fncDlgRezDet(0, 203), 4);
    EXPECT_EQ(lines().value(3), QStringLiteral("4|203|101|2|"));
    // A line added by the dish editor opens with an empty quantity box.
    exec("insert into REZEPTE values (9, 203, 102, null, 0)");
    modal.on<frmRezDet>([](frmRezDet& r) {
        EXPECT_EQ(r.txMENGE4P->text(), QString());
        r.sfExit->click();
    });
    EXPECT_EQ(fncDlgRezDet(9, 203), 9);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(DishTest, DishListSearchAndDelete)
{
    plannedDishes();
    frmGerichtList w;
    w.Form_Load();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Liste Gerichte"));
    auto names = [&] {
        QStringList out;
        for (int r = 0; r < w.gd1->model()->rowCount(); ++r)
            out << w.gd1->valueAt(r, w.gd1->columnIndex("GERICHT")).toString();
        return out;
    };
    EXPECT_EQ(names(),
              (QStringList{"Nudeln mit Soße", "Nudelsalat", "Omas Kartoffelsuppe", "Omas' Gulasch"}));
    EXPECT_EQ(w.gd1->columnValue("Typ").toString(), QStringLiteral("Hauptgericht"));
    w.txSuch->setText("Nu");
    EXPECT_EQ(names(), (QStringList{"Nudeln mit Soße", "Nudelsalat"}));
    w.txSuch->setText("Omas'");
    EXPECT_EQ(names(), QStringList{"Omas' Gulasch"});
    w.txSuch->setText("Omas ");
    EXPECT_EQ(names(), QStringList{"Omas Kartoffelsuppe"});

    Modal modal;
    w.txSuch->setText("Nudeln");
    modal.box(QMessageBox::Ok);
    w.sfDel->click();
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_EQ(modal.boxes()[0].text,
              QStringLiteral("Dieses Gericht kann nicht entfernt werden!\nSie ist noch in folgenden "
                             "Speiseplänen enthalten:\n - Nudeln mit Soße,24.07.2010,Mittagessen\n"
                             " - Nudeln mit Soße,26.07.2010,Abendessen\n"));
    EXPECT_EQ(dishes().size(), 4);
    w.txSuch->setText("Nudels");
    modal.box(QMessageBox::No);
    w.sfDel->click();
    EXPECT_EQ(dishes().size(), 4);
    modal.box(QMessageBox::Yes);
    w.sfDel->click();
    EXPECT_EQ(dishes().size(), 3);
    EXPECT_EQ(lines(), (QStringList{"1|201|101|125|0", "2|201|102|0,25|0"})); // its lines went with it
    EXPECT_EQ(names().size(), 3);
    EXPECT_EQ(w.gd1->columnValue("GERNR").toInt(), 201);

    // Edit with a search text: the whole list, the edited dish current; add and cancel: no current row.
    w.txSuch->setText("Omas K");
    modal.on<frmGerichtDet>([](frmGerichtDet& d) {
        d.txGERICHT->setText("Kartoffelsuppe");
        d.sfOK->click();
    });
    emit w.gd1->dblClick();
    EXPECT_EQ(names().size(), 3);
    EXPECT_EQ(w.gd1->columnValue("GERICHT").toString(), QStringLiteral("Kartoffelsuppe"));
    modal.on<frmGerichtDet>([](frmGerichtDet& d) { d.sfAbbrechen->click(); });
    w.sfAdd->click();
    EXPECT_TRUE(w.gd1->noCurrentRow());
    w.txSuch->setText("Zzz");
    w.sfEdit->click();
    w.sfDel->click();
    EXPECT_TRUE(modal.allUsed());
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(DishTest, KeysInTheGridsAndTheSizesTheWindowsWereLeftIn)
{
    plannedDishes();
    QSettings().remove(QStringLiteral("Fenster"));
    Modal modal;
    // The dish list: Enter edits the current dish, Delete asks as "Entfernen" does.
    {
        frmGerichtList w;
        w.Form_Load();
        const QSize designed = w.size();
        w.fncReq(202, QString());
        modal.on<frmGerichtDet>([](frmGerichtDet& d) {
            EXPECT_EQ(d.fGERNR, 202);
            // In the editor's grid: F2 opens the line, Delete asks for it.
            d.gd1->setCurrentIndex(d.gd1->model()->index(0, 0));
            QTest::keyClick(d.gd1, Qt::Key_F2);
            QTest::keyClick(d.gd1, Qt::Key_Delete);
            d.resize(d.size() + QSize(120, 80));
            d.reject();
        });
        modal.on<frmRezDet>([](frmRezDet& r) {
            EXPECT_EQ(r.fREZNR, 3);
            r.reject();
        });
        modal.box(QMessageBox::No);
        QTest::keyClick(w.gd1, Qt::Key_Return);
        modal.box(QMessageBox::No);
        QTest::keyClick(w.gd1, Qt::Key_Delete);
        EXPECT_EQ(modal.boxTexts(), (QStringList{"Soll dieser Eintrag wirklich entfernt werden?",
                                                 "Soll dieser Eintrag wirklich entfernt werden?"}));
        EXPECT_EQ(dishes().size(), 4);
        EXPECT_EQ(lines().size(), 3);
        w.resize(designed + QSize(200, 100));
        w.sfExit->click();
    }
    // Both open again in the size they were left in, never below the designed one.
    frmGerichtList again;
    EXPECT_EQ(again.size(), again.minimumSize() + QSize(200, 100));
    frmGerichtDet editor;
    EXPECT_EQ(editor.size(), editor.minimumSize() + QSize(120, 80));
    EXPECT_TRUE(modal.allUsed());
}

// A disk that fails on a write: the dish and its lines go together or not at all.
class DishFaultTest : public tlmtest::SampleDbTest
{
};

TEST_F(DishFaultTest, ADeleteHitByAFailingWriteKeepsDishAndLinesTogether)
{
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (300, 2, 'Ungeplant')");
    exec("insert into REZEPTE values (900, 300, 101, 1, 0), (901, 300, 102, 1, 0)");
    gConnection.close();
    const QByteArray pristine = tlmtest::readBytes(dbPath());
    int failures = 0;
    for (int n = 1; n < 100; ++n) {
        tlmtest::writeBytes(dbPath(), pristine);
        QFile::remove(dbPath() + "-journal");
        bool failed = false;
        {
            tlmtest::FaultVfs vfs;
            gConnection.open(location());
            frmGerichtList w;
            w.Form_Load();
            vfs.failAt(n);
            Modal modal;
            modal.box(QMessageBox::Yes).answerEveryBox(QMessageBox::Ok);
            w.fncReq(300, QString());
            w.fncDel();
            failed = vfs.failed();
            gConnection.close();
        }
        gConnection.open(location());
        EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        const int dish = scalar("select count(*) from GERICHTE where GERNR = 300").toInt();
        const int lines = scalar("select count(*) from REZEPTE where GERNR = 300").toInt();
        EXPECT_TRUE((dish == 1 && lines == 2) || (dish == 0 && lines == 0)) << "write " << n;
        gConnection.close();
        if (!failed) {
            EXPECT_EQ(dish, 0);
            break;
        }
        ++failures;
    }
    EXPECT_GT(failures, 1);
    gConnection.open(location());
}
