// Texts at and past the boxes' limits, odd characters, non-numbers, the picker's date range.
#include "app/CurrencyEdit.h"
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmGerichtList.h"
#include "dishes/frmRezDet.h"
#include "ingredients/frmZutatDet.h"
#include "ingredients/frmZutatList.h"
#include "plan/PlanFile.h"
#include "plan/PlanTransfer.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"

#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;

class BadInputTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
    }
};

TEST_F(BadInputTest, OddTextsAreStoredAsTypedAndFoundAgain)
{
    const QStringList odd = {QStringLiteral("Omas' Grüne Soße 100%"), QStringLiteral("Kaiser's_Brot"),
                             QStringLiteral("Chili 🌶️ sin carne"), QStringLiteral("a|b;c\"d"),
                             QStringLiteral("'; drop table ZUTATEN; --")};
    Modal modal;
    for (const QString& name : odd) {
        modal.on<frmZutatDet>([&](frmZutatDet& d) {
            d.txZUTAT->setText(name);
            d.txMENGE->setText("1,5");
            d.mxPREIS->setText("2");
            d.sfOK->click();
        });
        const qint32 key = fncDlgZutatDet(0);
        EXPECT_EQ(rows(QStringLiteral("select ZUTAT,MENGE,PREIS from ZUTATEN where ZUTNR = %1").arg(key)),
                  QStringList{name + "|1,5|2"});
        modal.on<frmGerichtDet>([&](frmGerichtDet& d) {
            d.txGERICHT->setText(name);
            d.txZubereitung->setPlainText(name + "\n" + name);
            d.sfOK->click();
        });
        const qint32 dish = fncDlgGerichtDet(0);
        EXPECT_EQ(rows(QStringLiteral("select GERICHT,ZUBEREITUNG from GERICHTE where GERNR = %1").arg(dish)),
                  QStringList{name + "|" + name + "\n" + name});
    }
    EXPECT_EQ(scalar("select count(*) from ZUTATEN").toInt(), 5);
    // Every search box finds them by their beginning, whatever they hold.
    frmZutatList zl;
    zl.Form_Load();
    frmGerichtList gl;
    gl.Form_Load();
    for (const QString& name : odd) {
        const QString prefix = name.left(8);
        zl.txSuch->setText(prefix);
        gl.txSuch->setText(prefix);
        EXPECT_GE(zl.gd1->model()->rowCount(), 1) << prefix.toStdString();
        EXPECT_GE(gl.gd1->model()->rowCount(), 1) << prefix.toStdString();
        EXPECT_TRUE(zl.gd1->columnValue("ZUTAT").toString().startsWith(prefix.left(4)));
    }
    EXPECT_TRUE(modal.boxes().empty());
}

TEST_F(BadInputTest, BoxesTakeNoMoreThanTheirColumnsHold)
{
    Modal modal;
    modal.on<frmGerichtDet>([](frmGerichtDet& d) {
        QTest::keyClicks(d.txGERICHT, QString(120, 'g'));
        EXPECT_EQ(d.txGERICHT->text().size(), 100);
        d.sfOK->click();
    });
    const qint32 dish = fncDlgGerichtDet(0);
    EXPECT_EQ(
        scalar(QStringLiteral("select length(GERICHT) from GERICHTE where GERNR = %1").arg(dish)).toInt(),
        100);
    frmZutatList zl;
    QTest::keyClicks(zl.txSuch, QString(80, 's'));
    EXPECT_EQ(zl.txSuch->text().size(), 50);
    modal.on<frmRezDet>([](frmRezDet& r) {
        QTest::keyClicks(r.txMENGE4P, QString(30, '9'));
        EXPECT_EQ(r.txMENGE4P->text().size(), 20);
        r.ddZUTAT->clear();
        r.ddZUTAT->addRow("1\tx");
        r.ddZUTAT->setValue("1");
        r.sfOK->click();
    });
    fncDlgRezDet(0, dish);
    EXPECT_EQ(scalar("select MENGE4P from REZEPTE").toDouble(), 99999999999999999999.0);
    EXPECT_TRUE(modal.boxes().empty());
}

TEST_F(BadInputTest, StoredValuesLongerThanTheirBoxesOpenAndSaveWhole)
{
    const QString preparation = "Anfang " + QString(2987, 'x') + " Ende.";
    const QString dishName = QString(140, 'G') + " Eintopf";
    exec(QStringLiteral("insert into GERICHTE values (300, 2, '%1', '%2')").arg(dishName, preparation));
    exec(QStringLiteral("insert into ZUTATEN values (400, '%1', 1.23456789012345e-300, 'g', "
                        "123456789012345678, 0, 0)")
             .arg(QString(60, 'Z')));
    exec("insert into REZEPTE values (500, 300, 400, -1.23456789012345e-300, 0)");
    const char* const everything =
        "select G.GERICHT, G.ZUBEREITUNG, Z.ZUTAT, Z.MENGE, Z.PREIS, R.MENGE4P from GERICHTE G, ZUTATEN Z,"
        " REZEPTE R where G.GERNR = 300 and Z.ZUTNR = 400 and R.REZNR = 500";
    const QStringList before = rows(everything);
    ASSERT_EQ(before.size(), 1);
    Modal modal;
    modal.on<frmGerichtDet>([&](frmGerichtDet& d) {
        EXPECT_EQ(d.txZubereitung->toPlainText(), preparation);
        EXPECT_EQ(d.txGERICHT->text(), dishName);
        QTest::keyClicks(d.txZubereitung, "y"); // no room to type more
        EXPECT_EQ(d.txZubereitung->toPlainText(), preparation);
        d.sfOK->click();
    });
    fncDlgGerichtDet(300);
    modal.on<frmZutatDet>([](frmZutatDet& z) { z.sfOK->click(); });
    fncDlgZutatDet(400);
    modal.on<frmRezDet>([](frmRezDet& r) { r.sfOK->click(); });
    fncDlgRezDet(500, 300);
    EXPECT_EQ(rows(everything), before);
    EXPECT_EQ(scalar("select length(ZUBEREITUNG) from GERICHTE where GERNR = 300").toInt(), 3000);
    EXPECT_TRUE(modal.boxes().empty());
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(BadInputTest, PersonsAndDatesAtTheEnds)
{
    // Beyond the ends the entry is refused with a word and the window stays; at the ends it is stored.
    Modal modal;
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        d.ddGericht->setValue("101");
        d.txPersonen->setText("40000");
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.txPersonen->setText("32767");
        d.dpTag->setDate(d.dpTag->maximumDate());
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.dpTag->setDate(QDate(2999, 12, 31));
        d.sfOK->click();
    });
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    EXPECT_EQ(fncDlgSpeiseplanDet(0, QDate(2026, 1, 1), 1, 2, 4), 101);
    EXPECT_EQ(modal.boxTexts(), (QStringList{"Bitte eine Anzahl Personen von 0 bis 32767 eingeben!",
                                             "Bitte ein Datum aus den Jahren 1900 bis 2999 eingeben."}));
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        d.ddGericht->setValue("102");
        d.dpTag->setDate(QDate(1900, 1, 1));
        d.txPersonen->setText("-1");
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.txPersonen->setText("0");
        d.sfOK->click();
    });
    modal.box(QMessageBox::Ok);
    EXPECT_EQ(fncDlgSpeiseplanDet(0, QDate(2026, 1, 1), 1, 2, 4), 102);
    EXPECT_EQ(rows("select KEY,TAG,PERSONEN from SPEISEPLAN order by KEY"),
              (QStringList{"101|31.12.2999|32767", "102|01.01.1900|0"}));
    // The ends of the range survive the grid, adding after them, and a round trip through the file.
    frmMain w;
    w.fncReq(101);
    EXPECT_EQ(w.gd1->model()->data(w.gd1->model()->index(w.gd1->currentIndex().row(), 4)).toString(),
              QStringLiteral("Di 31.12.99"));
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(d.txPersonen->text(), QStringLiteral("32767"));
        EXPECT_EQ(d.dpTag->date(), QDate(2999, 12, 31));
        d.sfAbbrechen->click();
    });
    w.sfAdd->click();
    const QString file = QDir(dir()).filePath("ende.tlm");
    exportPlan(file);
    importPlan(file);
    EXPECT_EQ(rows("select KEY,TAG,PERSONEN from SPEISEPLAN order by KEY"),
              (QStringList{"1|01.01.1900|0", "2|31.12.2999|32767"}));
    EXPECT_EQ(modal.unexpected(), 0);
}
