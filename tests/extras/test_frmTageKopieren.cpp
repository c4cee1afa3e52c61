// "Tage kopieren": copies to the same distance, new keys, the keys' limit.
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "data/Error.h"
#include "extras/frmEinkaufsplan.h"
#include "extras/frmTageKopieren.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/Undo.h"
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

TEST_F(CampTest, DaysAreCopiedToTheSameDistanceWithNewKeysAndWhatIsThereStays)
{
    frmMain w;
    w.fncReq(3);
    Modal modal;
    modal.on<frmTageKopieren>([](frmTageKopieren& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Tage kopieren"));
        EXPECT_EQ(d.dpVon->date(), QDate(2026, 7, 2)); // the current entry's day
        EXPECT_EQ(d.dpBis->date(), QDate(2026, 7, 2));
        EXPECT_EQ(d.dpZiel->date(), QDate(2026, 7, 3));
        d.dpVon->setDate(QDate(2026, 7, 1));
        d.dpBis->setDate(QDate(2027, 7, 2)); // 366 days and one more
        d.sfOK->click();
        d.dpBis->setDate(QDate(2026, 6, 1));
        d.sfOK->click();
        d.dpVon->setDate(QDate(2026, 6, 1)); // nothing planned then
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.dpVon->setDate(QDate(2026, 7, 1));
        d.dpBis->setDate(QDate(2026, 7, 2));
        d.dpZiel->setDate(QDate(2026, 7, 4)); // the 4th already has a lunch
        d.sfOK->click();
    });
    for (int i = 0; i < 3; ++i)
        modal.box(QMessageBox::Ok);
    modal.box(QMessageBox::Yes).box(QMessageBox::Ok);
    w.mnuTageKopieren->trigger();
    EXPECT_EQ(modal.boxTexts(),
              (QStringList{"Es können höchstens 366 Tage auf einmal kopiert werden.",
                           "Das Datum bei „Bis:“ liegt vor dem bei „Von:“.",
                           "Im gewählten Zeitraum gibt es keinen Eintrag.",
                           "Auf den Zieltagen ist schon 1 Eintrag geplant. Trotzdem kopieren?",
                           "4 Einträge kopiert."}));
    EXPECT_EQ(plan().mid(5),
              (QStringList{"8|04.07.2026|1|2|101|10|Falsch", "9|04.07.2026|2|2|102|12|Falsch",
                           "10|05.07.2026|1|2|101|10|Wahr", "11|05.07.2026|2|1|105|12|Falsch"}));
    EXPECT_EQ(plan().value(4), QStringLiteral("7|04.07.2026|2|2|102|14|Falsch")); // stays
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 8);                              // the first copy is current
    // Backwards.
    EXPECT_EQ(copyDays(QDate(2026, 7, 4), QDate(2026, 7, 4), QDate(2026, 6, 30)).count, 3);
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN where TAG = '2026-06-30'").toInt(), 3);
}

// The entry window holds a plan key in 16 bits and opens no entry above 32767. On a file, copies that
// do not fit after the highest key take the lowest free ones.
TEST_F(CampTest, CopiedEntriesCanBeOpenedInTheEntryWindow)
{
    exec("update SPEISEPLAN set KEY = KEY + 32760"); // keys 32761..32764 and 32767: all within 16 bits
    const CopyResult copied = copyDays(QDate(2026, 7, 1), QDate(2026, 7, 2), QDate(2026, 7, 10));
    ASSERT_EQ(copied.count, 4);
    const qint32 last = copied.firstKey + copied.count - 1;
    EXPECT_LE(last, 32767) << "copyDays made key " << last;
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from SPEISEPLAN where KEY between %1 and %2")
                         .arg(copied.firstKey)
                         .arg(last))
                  .toInt(),
              4);

    Modal modal;
    modal.answerEveryBox(QMessageBox::Ok); // an overflow box would come instead of the window
    bool opened = false;
    modal.on<frmSpeiseplanDet>([&](frmSpeiseplanDet& d) {
        opened = true;
        d.sfAbbrechen->click();
    });
    fncDlgSpeiseplanDet(last, QDate(), 0, 0, 0); // Bearbeiten on the last copy
    EXPECT_TRUE(opened);
    for (const auto& b : modal.boxes())
        ADD_FAILURE() << "message: " << b.text.toStdString();
    // Taken back, the copies go and the entries that were there stay.
    EXPECT_EQ(undoLast(), QStringLiteral("4 Einträge entfernt."));
    EXPECT_EQ(rows("select KEY from SPEISEPLAN order by KEY"),
              (QStringList{"32761", "32762", "32763", "32764", "32767"}));
}

TEST_F(CampTest, ACopyThatWouldNeedAKeyAbove32767IsRefusedNamingTheRoomLeft)
{
    tlmtest::fillPlanKeys(8, 32765); // free: 5, 6, 32766 and 32767
    const QString before = plan().join(';');
    const QString refusal =
        QStringLiteral("Für 4 neue Einträge sind nicht genug Nummern frei (bis 32767): auf "
                       "einmal passen nur noch 2 Einträge; nichts geändert.");
    try {
        copyDays(QDate(2026, 7, 1), QDate(2026, 7, 2), QDate(2026, 7, 10));
        ADD_FAILURE() << "copied";
    } catch (const Error& e) {
        EXPECT_EQ(e.description, refusal);
    }
    EXPECT_EQ(plan().join(';'), before);
    EXPECT_FALSE(lastUndo());
    Modal modal;
    modal.on<frmTageKopieren>([](frmTageKopieren& d) {
        d.dpBis->setDate(QDate(2026, 7, 2));
        d.sfOK->click();
        d.reject();
    });
    modal.box(QMessageBox::Ok);
    EXPECT_EQ(fncDlgTageKopieren(QDate(2026, 7, 1)), 0);
    EXPECT_EQ(modal.boxTexts(), QStringList{refusal});
    // One entry still fits.
    EXPECT_EQ(copyDays(QDate(2026, 7, 4), QDate(2026, 7, 4), QDate(2026, 7, 10)).firstKey, 32766);
}
