// The Einkaufsplan run by run, the Restbestand after it and the cost report's rest.
#include "app/DataCombo.h"
#include "data/Error.h"
#include "extras/frmEinkaufsplan.h"
#include "kitchen/ShoppingPlan.h"
#include "kitchen/StockCarry.h"
#include "reports/CostReport.h"
#include "reports/Einkaufsplan.h"
#include "reports/Restbestand.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

TEST_F(ShoppingPlanTest, RunsBuyWholePackagesForTheirDaysAndWhatKeepsAtTheFirst)
{
    // Runs on the 1st and the 3rd: milk 2 L exactly, then 0.5 + 1.5 = 2 L; flour 0.5+0.5+0.25+0.75.
    fncDruckEinkaufsplan(
        {QDate(2026, 7, 1), QDate(2026, 7, 4), {QDate(2026, 7, 1), QDate(2026, 7, 3)}, true});
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Einkaufsplan"));
    EXPECT_EQ(vp().rowTexts(),
              (QStringList{"Zutat|Bedarf|aus Vorrat|Einkauf|Packungen|Einzel|Gesamt|Rest",
                           "Einkauf am Mittwoch 01.07.2026 für 01.07. bis 02.07.2026",
                           "Mehl|2 kg|0 kg|2 kg|2|2,00\u00a0€|4,00\u00a0€|0 kg",
                           "Milch|2 L|0 L|2 L|2|1,00\u00a0€|2,00\u00a0€|0 L", "Summe Einkauf: 6,00\u00a0€",
                           "Einkauf am Freitag 03.07.2026 für 03.07. bis 04.07.2026",
                           "Milch|2 L|0 L|2 L|2|1,00\u00a0€|2,00\u00a0€|0 L", "Summe Einkauf: 2,00\u00a0€",
                           "Gesamtsumme: 8,00\u00a0€"}));
    // Every run buys for its days what is not left over: a need a bit beyond whole packages buys one
    // more, the flour left opened serves the next run, milk is not kept; the fresh milk of the 2nd, a
    // day without a run of its own, goes with the run of the 1st.
    exec("update SPEISEPLAN set PERSONEN = 5 where KEY = 2");
    fncDruckEinkaufsplan(
        {QDate(2026, 7, 1), QDate(2026, 7, 4), {QDate(2026, 7, 1), QDate(2026, 7, 3)}, false});
    EXPECT_EQ(
        vp().rowTexts().mid(1),
        (QStringList{"Einkauf am Mittwoch 01.07.2026 für 01.07. bis 02.07.2026",
                     "Mehl|1,125 kg|0 kg|2 kg|2|2,00\u00a0€|4,00\u00a0€|0,875 kg",
                     "Milch|2,25 L|0 L|3 L|3|1,00\u00a0€|3,00\u00a0€|0,75 L", "Summe Einkauf: 7,00\u00a0€",
                     "Einkauf am Freitag 03.07.2026 für 03.07. bis 04.07.2026",
                     "Mehl|1 kg|0,875 kg|1 kg|1|2,00\u00a0€|2,00\u00a0€|0,875 kg",
                     "Milch|2 L|0 L|2 L|2|1,00\u00a0€|2,00\u00a0€|0 L", "Summe Einkauf: 4,00\u00a0€",
                     "Gesamtsumme: 11,00\u00a0€"}));
    // The same errors as the shopping lists stop it, naming the ingredient, under its own tag.
    exec("update ZUTATEN set MENGE = 0 where ZUTNR = 102");
    Modal modal;
    modal.box(QMessageBox::Ok);
    fncDruckEinkaufsplan(everyNDays(7));
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.endsWith(
        "Modul: tlm/fncDruckEinkaufsplan,11/Division durch Null (Zutat: Mehl)"));
    EXPECT_FALSE(vp().isComplete());
}

TEST_F(StockTest, TheEinkaufsplanShowsStockBoughtAndLeftRunByRunAndTheRestAfterTheSpan)
{
    fncDruckEinkaufsplan(plan);
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(
        vp().rowTexts(),
        (QStringList{"Zutat|Bedarf|aus Vorrat|Einkauf|Packungen|Einzel|Gesamt|Rest",
                     "Einkauf am Mittwoch 01.07.2026 für 01.07. bis 01.07.2026",
                     "Milch|0,6 l|0 l|1 l|1|1,00\u00a0€|1,00\u00a0€|0,4 l",
                     "Öl|0,2 l|0,2 l|0 l|0|3,00\u00a0€|0,00\u00a0€|0,8 l",
                     "Reis|0,4 kg|0,2 kg|1 kg|1|2,00\u00a0€|2,00\u00a0€|0,8 kg", "Summe Einkauf: 3,00\u00a0€",
                     "Einkauf am Donnerstag 02.07.2026 für 02.07. bis 02.07.2026",
                     "Milch|0,6 l|0 l|1 l|1|1,00\u00a0€|1,00\u00a0€|0,4 l",
                     "Öl|0,2 l|0,2 l|0 l|0|3,00\u00a0€|0,00\u00a0€|0,6 l",
                     "Reis|0,4 kg|0,4 kg|0 kg|0|2,00\u00a0€|0,00\u00a0€|0,4 kg", "Summe Einkauf: 1,00\u00a0€",
                     "Einkauf am Freitag 03.07.2026 für 03.07. bis 03.07.2026",
                     "Milch|0,6 l|0 l|1 l|1|1,00\u00a0€|1,00\u00a0€|0,4 l",
                     "Öl|0,2 l|0,2 l|0 l|0|3,00\u00a0€|0,00\u00a0€|0,4 l",
                     "Reis|0,4 kg|0,4 kg|0 kg|0|2,00\u00a0€|0,00\u00a0€|0 kg", "Summe Einkauf: 1,00\u00a0€",
                     "Gesamtsumme: 5,00\u00a0€"}));
    // What keeps bought at the first run for the span less the stock: 1,2 - 0,2 kg rice is one
    // package exactly, not two for a binary 0,9999999999999999.
    ShoppingPlan first = plan;
    first.keepsFirst = true;
    fncDruckEinkaufsplan(first);
    EXPECT_EQ(vp().rowTexts().mid(1, 5),
              (QStringList{"Einkauf am Mittwoch 01.07.2026 für 01.07. bis 01.07.2026",
                           "Milch|0,6 l|0 l|1 l|1|1,00\u00a0€|1,00\u00a0€|0,4 l",
                           "Öl|0,6 l|0,6 l|0 l|0|3,00\u00a0€|0,00\u00a0€|0,4 l",
                           "Reis|1,2 kg|0,2 kg|1 kg|1|2,00\u00a0€|2,00\u00a0€|0 kg",
                           "Summe Einkauf: 3,00\u00a0€"}));

    // Left after the span: what keeps, at the package price; an ingredient without price is named.
    exec("insert into ZUTATEN values (4, 'Zimt', 0, 'g', null, 0, 0)");
    exec("insert into VORRAT values (4, 50, '2026-06-30')");
    fncDruckRestbestand(plan);
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Restbestand"));
    EXPECT_EQ(vp().rowTexts(),
              (QStringList{"Übrig nach dem 03.07.2026 (Vorrat und Einkauf abzüglich Verbrauch)",
                           "Zutat|Menge|Wert", "Öl|0,4 l|1,20\u00a0€", "Zimt|50 g|Preis fehlt",
                           "Gesamtwert: 1,20\u00a0€ (1 Zutat ohne Preis nicht mitgezählt)"}));
    exec("delete from ZUTATEN where ZUTNR = 4");

    // The cost report: eaten 3 x 2,00; bought for the span less the stock 2,00 milk + 2,00 rice. Left
    // of what keeps, as the Restbestand of one run: 0,4 l oil (the milk left over is not kept).
    fncDruckKosten(plan.von, plan.bis, std::nullopt);
    EXPECT_EQ(vp().rowTexts().mid(4),
              (QStringList{"Summe Kosten:|6,00\u00a0€", "Durchschnitt pro Person und Tag:|0,50\u00a0€",
                           "Eingekauft (ganze Packungen):|4,00\u00a0€", "Wert der Reste:|1,20\u00a0€"}));
}
