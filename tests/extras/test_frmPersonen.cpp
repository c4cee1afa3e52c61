// "Personen ändern".
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "data/Error.h"
#include "extras/frmEinkaufsplan.h"
#include "extras/frmPersonen.h"
#include "kitchen/CampPlanning.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

TEST_F(CampTest, PersonsChangeOverASpanOfOneTimeOfDayOrAllAndTheRefusalsSaySo)
{
    frmMain w;
    w.fncReq(4);
    Modal modal;
    modal.on<frmPersonen>([](frmPersonen& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Personen ändern"));
        EXPECT_EQ(d.dpVon->date(), QDate(2026, 7, 1)); // the plan's first and last day
        EXPECT_EQ(d.dpBis->date(), QDate(2026, 7, 4));
        EXPECT_EQ(d.ddTagZeit->itemText(0), QStringLiteral("(alle)"));
        EXPECT_EQ(d.ddTagZeit->itemText(1), QStringLiteral("Frühstück"));
        EXPECT_EQ(d.txPersonen->text(), QStringLiteral("12")); // the current entry's persons
        for (const char* wrong : {"viele", "-1", "32768", "2,5"}) {
            d.txPersonen->setText(QString::fromLatin1(wrong));
            d.sfOK->click();
            EXPECT_TRUE(d.isVisible()) << wrong;
        }
        d.txPersonen->setText("20");
        d.dpBis->setDate(QDate(2026, 6, 30));
        d.sfOK->click();
        d.dpVon->setDate(QDate(2026, 7, 3)); // a span without entries
        d.dpBis->setDate(QDate(2026, 7, 3));
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.dpVon->setDate(QDate(2026, 7, 1));
        d.dpBis->setDate(QDate(2026, 7, 2));
        d.ddTagZeit->setValue("2");
        d.sfOK->click();
    });
    for (int i = 0; i < 7; ++i)
        modal.box(QMessageBox::Ok);
    w.mnuPersonen->trigger();
    const QStringList boxes = modal.boxTexts();
    ASSERT_EQ(boxes.size(), 7);
    const QString whole = QStringLiteral("Bitte eine ganze Zahl eingeben."),
                  range = QStringLiteral("Bitte eine ganze Zahl von 0 bis 32767 Personen eingeben.");
    EXPECT_EQ(boxes.mid(0, 4), (QStringList{whole, range, range, whole}));
    EXPECT_EQ(boxes[4], QStringLiteral("Das Datum bei „Bis:“ liegt vor dem bei „Von:“."));
    EXPECT_EQ(boxes[5], QStringLiteral("Im gewählten Zeitraum gibt es keinen Eintrag."));
    EXPECT_EQ(boxes[6], QStringLiteral("2 Einträge geändert."));
    EXPECT_EQ(rows("select KEY, PERSONEN from SPEISEPLAN order by KEY"),
              (QStringList{"1|10", "2|20", "3|10", "4|20", "7|14"}));
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 4); // the grid reloaded on the entry that was current
    EXPECT_EQ(w.gd1->columnValue("PERSONEN").toInt(), 20);
    // All times of day.
    EXPECT_EQ(changePersons(QDate(2026, 7, 1), QDate(2026, 7, 4), 0, 0), 5);
    EXPECT_EQ(scalar("select sum(PERSONEN) from SPEISEPLAN").toInt(), 0);
}
