// "Einkauf planen…": the span, the shopping days, closed days, the choices kept.
#include "data/Error.h"
#include "data/Globals.h"
#include "extras/frmEinkaufsplan.h"
#include "kitchen/ShoppingPlan.h"
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

TEST_F(ShoppingPlanTest, TheWindowListsTheDaysFollowsTheSpanAndChecksEveryNthDay)
{
    Modal modal;
    modal.on<frmEinkaufsplan>([](frmEinkaufsplan& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Einkauf planen"));
        auto checkedDays = [&] {
            QStringList out;
            for (int i = 0; i < d.lsEinkaufstage->count(); ++i)
                if (d.lsEinkaufstage->item(i)->checkState() == Qt::Checked)
                    out << d.lsEinkaufstage->item(i)->text();
            return out;
        };
        ASSERT_EQ(d.lsEinkaufstage->count(), 4);
        EXPECT_EQ(checkedDays(), QStringList{"Mittwoch 01.07.2026"});
        EXPECT_FALSE(d.lsEinkaufstage->item(0)->flags() & Qt::ItemIsUserCheckable); // the first stays
        EXPECT_TRUE(d.cbHaltbaresZuerst->isChecked());
        d.lsEinkaufstage->item(2)->setCheckState(Qt::Checked);
        d.dpBis->setDate(QDate(2026, 7, 8)); // the list follows; the 3rd stays checked
        EXPECT_EQ(d.lsEinkaufstage->count(), 8);
        EXPECT_EQ(checkedDays(), (QStringList{"Mittwoch 01.07.2026", "Freitag 03.07.2026"}));
        d.txAlleNTage->setText("3");
        d.sfAlleNTage->click();
        EXPECT_EQ(checkedDays(),
                  (QStringList{"Mittwoch 01.07.2026", "Samstag 04.07.2026", "Dienstag 07.07.2026"}));
        d.dpVon->setDate(QDate(2026, 7, 2)); // a new first day is a shopping day
        EXPECT_EQ(checkedDays().first(), QStringLiteral("Donnerstag 02.07.2026"));
        d.sfDrucken->click();
    });
    const std::optional<ShoppingPlan> plan = fncDlgEinkaufsplan();
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->von, QDate(2026, 7, 2));
    EXPECT_EQ(plan->runs, (QVector<QDate>{QDate(2026, 7, 2), QDate(2026, 7, 4), QDate(2026, 7, 7)}));
    EXPECT_TRUE(plan->keepsFirst);
    EXPECT_EQ(everyNDays(2).runs, (QVector<QDate>{QDate(2026, 7, 1), QDate(2026, 7, 3)}));
}

TEST_F(ShoppingPlanTest, AfterAFailedWriteAbbrechenPrintsNothing)
{
    gConnection.close();
    {
        tlmtest::FaultVfs vfs;
        gConnection.open(location());
        vfs.failAt(1); // the window's choices cannot be kept
        Modal modal;
        modal.on<frmEinkaufsplan>([](frmEinkaufsplan& d) {
            d.sfDrucken->click();
            EXPECT_TRUE(d.isVisible());
            d.sfRestbestand->click();
            EXPECT_TRUE(d.isVisible());
            d.sfAbbrechen->click();
        });
        modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
        EXPECT_FALSE(fncDlgEinkaufsplan());
        EXPECT_TRUE(modal.allUsed());
        EXPECT_EQ(modal.unexpected(), 0);
        EXPECT_TRUE(vfs.failed());
        gConnection.close();
    }
    gConnection.open(location());
    EXPECT_EQ(scalar("select count(*) from PARAMETER where PARID between 201 and 203").toInt(), 0);
}

TEST_F(ShoppingPlanTest, RunsOnClosedDaysMoveToTheDayBeforeAndTheChoicesAreKept)
{
    Modal modal;
    auto checkedDays = [](frmEinkaufsplan& d) {
        QStringList out;
        for (int i = 0; i < d.lsEinkaufstage->count(); ++i)
            if (d.lsEinkaufstage->item(i)->checkState() == Qt::Checked)
                out << d.lsEinkaufstage->item(i)->text();
        return out;
    };
    modal.on<frmEinkaufsplan>([&](frmEinkaufsplan& d) {
        EXPECT_TRUE(d.cbSonnFeiertage->isChecked());
        d.dpVon->setDate(QDate(2026, 3, 31));
        d.dpBis->setDate(QDate(2026, 4, 8));
        d.txAlleNTage->setText("3");
        d.sfAlleNTage->click();
        // Good Friday to Thursday; Easter Monday past Easter Sunday to Saturday.
        EXPECT_EQ(checkedDays(d),
                  (QStringList{"Dienstag 31.03.2026", "Donnerstag 02.04.2026", "Samstag 04.04.2026"}));
        d.lsEinkaufstage->item(5)->setCheckState(Qt::Checked); // by hand it stays, and says so
        EXPECT_EQ(checkedDays(d).last(), QStringLiteral("Sonntag 05.04.2026 (Sonntag)"));
        d.lsEinkaufstage->item(5)->setCheckState(Qt::Unchecked);
        EXPECT_EQ(d.lsEinkaufstage->item(5)->text(), QStringLiteral("Sonntag 05.04.2026"));
        d.cbSonnFeiertage->setChecked(false);
        d.txAlleNTage->setText("4");
        d.sfAlleNTage->click();
        EXPECT_EQ(checkedDays(d),
                  (QStringList{"Dienstag 31.03.2026", "Samstag 04.04.2026", "Mittwoch 08.04.2026"}));
        d.sfDrucken->click();
    });
    ASSERT_TRUE(fncDlgEinkaufsplan());
    EXPECT_EQ(rows("select PARID, WERT from PARAMETER where PARID between 201 and 203 order by 1"),
              (QStringList{"201|4", "202|1", "203|0"}));
    modal.on<frmEinkaufsplan>([&](frmEinkaufsplan& d) {
        EXPECT_FALSE(d.cbSonnFeiertage->isChecked());
        EXPECT_EQ(d.txAlleNTage->text(), QStringLiteral("4"));
        d.sfAbbrechen->click();
    });
    EXPECT_FALSE(fncDlgEinkaufsplan());
}
