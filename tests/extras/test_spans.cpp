// The tools that take a span of days: at most a year, proposed and typed, and copies that neither
// double the plan unasked nor leave the range of dates.
#include "app/CurrencyEdit.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "extras/frmEinkaufsplan.h"
#include "extras/frmKosten.h"
#include "extras/frmPersonen.h"
#include "extras/frmTageKopieren.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/ShoppingPlan.h"
#include "reports/ReportSetup.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;

class SpanTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
        // Breakfast and lunch on the 1st and the 2nd of July, lunch on the 4th.
        exec("insert into SPEISEPLAN values (1, '2026-07-01', 1, 2, 101, 10, 0), (2, '2026-07-01', 2, 2, "
             "102, 12, 0), (3, '2026-07-02', 1, 2, 101, 10, 0), (4, '2026-07-02', 2, 1, 105, 12, 0),"
             " (7, '2026-07-04', 2, 2, 102, 14, 0)");
    }
    QStringList plan() { return rows("select KEY,TAG,TAGZEITNR,GERNR from SPEISEPLAN order by KEY"); }
};

TEST_F(SpanTest, CopyingOntoTheFirstDayIsRefusedAndOntoPlannedDaysAsksWithNoAsTheDefault)
{
    const QStringList before = plan();
    Modal modal;
    modal.on<frmTageKopieren>([](frmTageKopieren& d) {
        d.dpVon->setDate(QDate(2026, 7, 1));
        d.dpBis->setDate(QDate(2026, 7, 2));
        d.dpZiel->setDate(QDate(2026, 7, 1)); // every meal twice
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.dpZiel->setDate(QDate(2026, 7, 2)); // the 2nd and 3rd: two entries there already
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.dpZiel->setDate(QDate(9999, 12, 31));
        d.sfOK->click();
        d.reject();
    });
    modal.box(QMessageBox::Ok);
    modal.then([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(),
                  QStringLiteral("Auf den Zieltagen sind schon 2 Einträge geplant. Trotzdem kopieren?"));
        QTest::keyClick(box, Qt::Key_Return); // Enter alone answers No
        EXPECT_EQ(box->clickedButton(), box->button(QMessageBox::No));
    });
    modal.box(QMessageBox::Ok);
    EXPECT_EQ(fncDlgTageKopieren(QDate(2026, 7, 1)), 0);
    EXPECT_EQ(
        modal.boxTexts(),
        (QStringList{"Bei „Nach:“ steht derselbe Tag wie bei „Von:“; bitte einen anderen Zieltag wählen.",
                     "Bitte ein Datum aus den Jahren 1900 bis 2999 eingeben."}));
    EXPECT_EQ(plan(), before);
    EXPECT_TRUE(modal.allUsed());

    // Copies that would end after 31.12.9999 would have no date: refused before anything is written.
    exec("insert into SPEISEPLAN values (8, '9999-12-30', 2, 2, 102, 14, 0)");
    const QStringList far = plan();
    EXPECT_THROW(copyDays(QDate(9999, 12, 30), QDate(9999, 12, 31), QDate(9999, 12, 31)), Error);
    EXPECT_EQ(plan(), far);
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN where TAG is null").toInt(), 0);
    EXPECT_EQ(copyDays(QDate(9999, 12, 30), QDate(9999, 12, 30), QDate(9999, 12, 31)).count, 1);
}

TEST_F(SpanTest, OneStrayDateFarOffMakesNoToolListMoreThanAYearAndALongerSpanIsRefused)
{
    exec("insert into SPEISEPLAN values (9, '8066-10-29', 2, 2, 102, 4, 0)");
    const QString tooLong = QStringLiteral("Der Zeitraum darf höchstens 366 Tage lang sein.");
    const QDate first(2026, 7, 1), lastProposed(2027, 7, 1);
    Modal modal;
    modal.on<frmEinkaufsplan>([&](frmEinkaufsplan& d) {
        EXPECT_EQ(d.dpVon->date(), first); // the plan's first 366 days
        EXPECT_EQ(d.dpBis->date(), lastProposed);
        EXPECT_EQ(d.lsEinkaufstage->count(), 366);
        d.dpBis->setDate(QDate(8066, 10, 29)); // typed: the list stays a year long, Drucken refuses
        EXPECT_EQ(d.lsEinkaufstage->count(), 366);
        d.txAlleNTage->setText("1");
        d.sfAlleNTage->click();
        d.sfDrucken->click();
        EXPECT_TRUE(d.isVisible());
        d.dpBis->setDate(QDate(2027, 7, 2)); // one day more than a year
        d.sfDrucken->click();
        EXPECT_TRUE(d.isVisible());
        d.reject();
    });
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    EXPECT_FALSE(fncDlgEinkaufsplan());
    EXPECT_EQ(modal.boxTexts(),
              (QStringList{"Bitte ein Datum aus den Jahren 1900 bis 2999 eingeben.", tooLong}));

    modal.on<frmKosten>([&](frmKosten& d) {
        EXPECT_EQ(d.dpVon->date(), first);
        EXPECT_EQ(d.dpBis->date(), lastProposed);
        d.mxTagessatz->setText("-1");
        d.sfDrucken->click(); // a Tagessatz below 0 is refused
        EXPECT_TRUE(d.isVisible());
        d.mxTagessatz->setText("7,5");
        d.dpBis->setDate(QDate(2028, 1, 1));
        d.sfDrucken->click();
        EXPECT_TRUE(d.isVisible());
        d.dpBis->setDate(QDate(2026, 7, 4));
        d.sfDrucken->click();
    });
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    const std::optional<CostRequest> costs = fncDlgKosten();
    ASSERT_TRUE(costs);
    EXPECT_EQ(costs->bis, QDate(2026, 7, 4));
    EXPECT_EQ(costs->tagessatz.value_or(0), 7.5);
    EXPECT_EQ(modal.boxTexts().mid(2), (QStringList{"Der Tagessatz kann nicht unter 0 liegen.", tooLong}));

    modal.on<frmPersonen>([&](frmPersonen& d) {
        EXPECT_EQ(d.dpVon->date(), first);
        EXPECT_EQ(d.dpBis->date(), lastProposed);
        d.dpBis->setDate(QDate(8066, 10, 29));
        d.sfOK->click();
        d.reject();
    });
    modal.box(QMessageBox::Ok);
    EXPECT_EQ(fncDlgPersonen(4), 0);
    EXPECT_EQ(modal.boxTexts().mid(4), QStringList{"Bitte ein Datum aus den Jahren 1900 bis 2999 eingeben."});
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN where PERSONEN = 4").toInt(), 1);

    // Without a window: the printed shopping plan takes the same year.
    const ShoppingPlan weekly = everyNDays(7);
    EXPECT_EQ(weekly.bis, lastProposed);
    EXPECT_EQ(weekly.runs.size(), 53);
    EXPECT_EQ(modal.unexpected(), 0);
}
