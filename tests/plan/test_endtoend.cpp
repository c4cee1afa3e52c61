// A new user's first evening: an ingredient, a dish with two lines, the plan, the shopping list.
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmGerichtList.h"
#include "dishes/frmRezDet.h"
#include "ingredients/frmZutatDet.h"
#include "ingredients/frmZutatList.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

using namespace tlm;
using tlmtest::Modal;

class EndToEndTest : public tlmtest::DbTest
{
};

TEST_F(EndToEndTest, FromAnEmptyCatalogueToTheShoppingList)
{
    exec("insert into ZUTATEN values (101, 'Nudeln', 500, 'g', 1.19, 0, 0)");
    frmMain w;
    w.fncReq(0);
    Modal modal;
    // Menu "Zutaten": a new ingredient.
    modal.on<frmZutatList>([](frmZutatList& l) {
        l.sfAdd->click();
        l.sfExit->click();
    });
    modal.on<frmZutatDet>([](frmZutatDet& d) {
        d.txZUTAT->setText("Tomaten");
        d.txMENGE->setText("1");
        d.ddEINHEIT->setValue("kg");
        d.cbFRISCH->setChecked(true);
        d.sfOK->click();
    });
    w.mnuZutaten->trigger();
    // Menu "Gerichte": a new dish with two lines.
    modal.on<frmGerichtList>([](frmGerichtList& l) {
        l.sfAdd->click();
        EXPECT_EQ(l.gd1->columnValue("GERICHT").toString(), QStringLiteral("Nudeln mit Tomaten"));
        l.sfExit->click();
    });
    modal.on<frmGerichtDet>([](frmGerichtDet& d) {
        d.txGERICHT->setText("Nudeln mit Tomaten");
        d.sfAdd->click();
        d.sfEdit->click();
        d.sfAdd->click();
        d.sfEdit->click();
        d.sfOK->click();
    });
    for (qint32 ingredient : {101, 102}) {
        modal.on<frmZutatList>([ingredient](frmZutatList& l) {
            l.fncReq(ingredient, "");
            emit l.gd1->dblClick();
        });
        modal.on<frmRezDet>([ingredient](frmRezDet& r) {
            r.txMENGE4P->setText(ingredient == 101 ? "500" : "0,4");
            r.sfOK->click();
        });
    }
    w.mnuGerichte->trigger();
    // The plan: 10 persons.
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        d.dpTag->setDate(QDate(2026, 7, 20));
        d.ddTagZeit->setValue("2");
        d.ddGericht->setValue(d.ddGericht->keyAt(d.ddGericht->findText("Nudeln mit Tomaten")));
        d.txPersonen->setText("10");
        d.sfOK->click();
    });
    w.sfAdd->click();
    EXPECT_TRUE(modal.allUsed());
    EXPECT_EQ(modal.unexpected(), 0);
    EXPECT_EQ(rows("select TAG,TAGZEIT,GERICHT,PERSONEN from VW_SPEISEPLAN"),
              QStringList{"20.07.2026|Mittagessen|Nudeln mit Tomaten|10"});
    w.mnuDruckELA->trigger();
    EXPECT_EQ(frmDlgDruck::shared()->vp->rowTexts(),
              (QStringList{"Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt",
                           "Nudeln|1250 g|1500 g|3|1,19\u00a0€|3,57\u00a0€",
                           "Tomaten|1 kg|1 kg|1|0,00\u00a0€|0,00\u00a0€", "Gesamtsumme: 3,57\u00a0€"}));
}
