#include "data/Convert.h"
#include "data/Error.h"
#include "data/Money.h"
#include "reports/ReportPrinter.h"
#include "reports/ShoppingCsv.h"
#include "reports/ShoppingList.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"

#include <QDate>
#include <QMessageBox>
#include <limits>

using namespace tlm;
using tlmtest::vp;

namespace {
QString today()
{
    return QDate::currentDate().toString("dd.MM.yyyy");
}
} // namespace

class ShoppingTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // Need per 4 persons; the plan has 8 persons on day 1 and 4 on day 2 for dish 201.
        exec("insert into ZUTATEN values (101, 'Äpfel', 1, 'kg', 2.5, -1, 0), (102, 'Nudeln', 0.5, 'kg', "
             "1.19, 0, 0),"
             " (103, 'Salz', 1, 'kg', 0.49, 0, -1), (104, 'Milch', 1, 'L', 1.15, -1, 0),"
             " (105, 'Reis', 1, 'kg', 2, 0, 0)");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Apfelnudeln'), (202, 2, "
             "'Milchreis')");
        exec(
            "insert into REZEPTE values (1, 201, 101, 1.1, 0), (2, 201, 102, 0.5, 0), (3, 201, 103, 0.01, 0),"
            " (4, 202, 104, 1, 0), (5, 202, 105, 0, 0)");
        exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 8, 0), (2, '2010-07-25', 2, 2, 201, "
             "4, -1),"
             " (3, '2010-07-25', 3, 2, 202, 4, 0)");
    }
};

class MoneyReportTest : public tlmtest::DbTest
{
};

TEST_F(ShoppingTest, EverythingSummedOverThePlan)
{
    fncDruckEinkauf(1);
    ASSERT_TRUE(frmDlgDruck::shared());
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().rowTexts(),
              (QStringList{"Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt",
                           "Äpfel|3,3 kg|4 kg|4|2,50\u00a0€|10,00\u00a0€",
                           "Milch|1 L|1 L|1|1,15\u00a0€|1,15\u00a0€",
                           "Nudeln|1,5 kg|1,5 kg|3|1,19\u00a0€|3,57\u00a0€",
                           "Reis|0 kg|0 kg|0|2,00\u00a0€|0,00\u00a0€", "Gesamtsumme: 14,72\u00a0€"}));
    const QStringList page = vp().pageTexts(0);
    EXPECT_EQ(page.mid(0, 3), (QStringList{"Fennor Tellomat V1.01", "Einkaufsliste Alles", today()}));
    // The caption row starts 200 below 1000; the sum 100 below the last item.
    const auto& rows = vp().rows();
    EXPECT_EQ(rows[0].top, 1200);
    EXPECT_EQ(rows[5].top, rows[4].top + rows[4].height + 100);
}

TEST_F(ShoppingTest, WhatKeepsLeavesOutFreshAndBasicStock)
{
    fncDruckEinkauf(2);
    EXPECT_EQ(vp().rowTexts().mid(1),
              (QStringList{"Nudeln|1,5 kg|1,5 kg|3|1,19\u00a0€|3,57\u00a0€",
                           "Reis|0 kg|0 kg|0|2,00\u00a0€|0,00\u00a0€", "Gesamtsumme: 3,57\u00a0€"}));
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Einkaufsliste Haltbares"));
    exec("update ZUTATEN set FRISCH = -1");
    fncDruckEinkauf(2);
    EXPECT_EQ(vp().rowTexts().mid(1), QStringList{"Gesamtsumme: 0,00\u00a0€"});
    exec("delete from SPEISEPLAN");
    fncDruckEinkauf(1);
    EXPECT_EQ(vp().rowTexts().mid(1), QStringList{"Gesamtsumme: 0,00\u00a0€"});
    EXPECT_TRUE(vp().isComplete());
}

TEST_F(ShoppingTest, FreshPerDayWithDaySumsThatStartAgain)
{
    fncDruckEinkauf(3);
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Einkaufsliste Frisches (pro Tag)"));
    EXPECT_EQ(vp().rowTexts(),
              (QStringList{"Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt", "Samstag 24.07.2010",
                           "Äpfel|2,2 kg|3 kg|3|2,50\u00a0€|7,50\u00a0€", "Tagessumme: 7,50\u00a0€",
                           "Sonntag 25.07.2010", "Äpfel|1,1 kg|2 kg|2|2,50\u00a0€|5,00\u00a0€",
                           "Milch|1 L|1 L|1|1,15\u00a0€|1,15\u00a0€", "Tagessumme: 6,15\u00a0€"}));
    // Within a day by name as German sorts it (Ä with A), not by the ingredients' numbers.
    exec("update ZUTATEN set ZUTAT = 'Ananas' where ZUTNR = 104");
    fncDruckEinkauf(3);
    EXPECT_EQ(vp().rowTexts().mid(5, 2), (QStringList{"Ananas|1 L|1 L|1|1,15\u00a0€|1,15\u00a0€",
                                                      "Äpfel|1,1 kg|2 kg|2|2,50\u00a0€|5,00\u00a0€"}));
    exec("update ZUTATEN set FRISCH = 0");
    fncDruckEinkauf(3);
    EXPECT_EQ(vp().rowTexts(), QStringList{"Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt"});
    EXPECT_TRUE(vp().isComplete());
}

TEST_F(ShoppingTest, ARowThatCannotBeComputedStopsTheListAndNamesTheIngredient)
{
    exec("update ZUTATEN set MENGE = 0 where ZUTNR = 102");
    tlmtest::Modal modal;
    modal.box(QMessageBox::Ok);
    fncDruckEinkauf(1);
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(
        modal.boxes()[0].text.endsWith("Modul: tlm/fncDruckEinkauf,11/Division durch Null (Zutat: Nudeln)"));
    EXPECT_FALSE(vp().isComplete());
    EXPECT_EQ(vp().rowTexts().size(), 3); // caption, Äpfel, Milch: what came before stays
    exec("update ZUTATEN set MENGE = 0.5, PREIS = null where ZUTNR = 102");
    modal.box(QMessageBox::Ok);
    fncDruckEinkauf(1);
    EXPECT_TRUE(modal.boxes()[1].text.endsWith(",94/Unzulässige Verwendung von Null (Zutat: Nudeln)"));
    exec("update ZUTATEN set PREIS = 1, MENGE = 0.00001 where ZUTNR = 102");
    modal.box(QMessageBox::Ok);
    fncDruckEinkauf(1);
    EXPECT_TRUE(modal.boxes()[2].text.endsWith(",6/Überlauf (Zutat: Nudeln)"));
    EXPECT_EQ(frmDlgDruck::shared()->findChildren<ReportPrinter*>().size(), 1); // one preview, reused
}

TEST_F(ShoppingTest, NoiseOfSummedQuantitiesIsNeitherPrintedNorBought)
{
    exec("delete from SPEISEPLAN");
    exec("insert into ZUTATEN values (110, 'Mehl', 0.3, 'kg', 1, 0, 0), (111, 'Zucker', 1, 'kg', 1, 0, 0),"
         " (112, 'Saft', 1, 'L', 1, 0, 0), (113, 'Wasser', 1, 'L', 0.1, 0, 0)");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (210, 2, 'Kuchen')");
    // 0.1 + 0.2 of flour, three thirds of sugar, a real 651.0001 L of juice in one dish; a tenth of a
    // litre of water in each of 6510 other dishes, each planned once.
    exec("insert into REZEPTE values (10, 210, 110, 0.1, 0), (11, 210, 110, 0.2, 0), (12, 210, 111, "
         "0.333333333333333, 0), (13, 210, 111, 0.333333333333333, 0), (14, 210, 111, 0.333333333333334, 0),"
         " (15, 210, 112, 651.0001, 0)");
    exec("insert into SPEISEPLAN values (1, '2026-07-01', 2, 2, 210, 4, 0)");
    exec("with recursive n(k) as (select 2 union all select k + 1 from n where k < 6511)"
         " insert into SPEISEPLAN select k, date('2026-07-01', '+' || (k % 60) || ' days'), 3, 2, 1000 + k, "
         "4, 0"
         " from n");
    exec("insert into REZEPTE select 1000 + KEY, GERNR, 113, 0.1, 0 from SPEISEPLAN where KEY > 1");
    EXPECT_NE(scalar("select MENGSUM from VW_MENGEN where ZUTAT = 'Wasser'").toDouble(), 651.0);
    fncDruckEinkauf(1);
    EXPECT_EQ(vp().rowTexts().mid(1),
              (QStringList{"Mehl|0,3 kg|0,3 kg|1|1,00\u00a0€|1,00\u00a0€",
                           "Saft|651,0001 L|652 L|652|1,00\u00a0€|652,00\u00a0€",
                           "Wasser|651 L|651 L|651|0,10\u00a0€|65,10\u00a0€",
                           "Zucker|1 kg|1 kg|1|1,00\u00a0€|1,00\u00a0€", "Gesamtsumme: 719,10\u00a0€"}));
}

TEST_F(ShoppingTest, ANeedWithManyDigitsStandsWholeOnOneLine)
{
    exec("update REZEPTE set MENGE4P = 5851.82625 where REZNR = 4");
    fncDruckEinkauf(1);
    const ReportWriter& doc = vp();
    const ReportRow& milk = doc.rows()[2];
    const ReportItem need = doc.page(milk.page).items[milk.firstItem + 1];
    EXPECT_EQ(need.text, QStringLiteral("5851,82625 L"));
    EXPECT_TRUE(need.lines.isEmpty() || need.lines.first() == QStringLiteral("5851,82625"))
        << need.lines.join('/').toStdString();
}

TEST_F(MoneyReportTest, TheListAndItsSpreadsheetShowTheSameTotalAndTheUnitPriceWithItsDecimals)
{
    // Three tins at 1,495 € each, 7 of each bought: 7 x 1,495 = 10,465 (shown 10,47) per line,
    // 3 x 10,465 = 31,395 in all (shown 31,40), as the spreadsheet sums the exported lines.
    exec("insert into ZUTATEN values (101, 'Bohnen', 1, 'Dose', 1.495, 0, 0), (102, 'Erbsen', 1, 'Dose', "
         "1.495, 0, 0), (103, 'Mais', 1, 'Dose', 1.495, 0, 0)");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Eintopf')");
    exec("insert into REZEPTE values (1, 201, 101, 7, 0), (2, 201, 102, 7, 0), (3, 201, 103, 7, 0)");
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 4, 0)");

    fncDruckEinkauf(1);
    EXPECT_EQ(tlmtest::vp().rowTexts(),
              (QStringList{"Zutat|Bedarf|Einkauf|Packungen|Einzel|Gesamt",
                           "Bohnen|7 Dose|7 Dose|7|1,495\u00a0€|10,47\u00a0€",
                           "Erbsen|7 Dose|7 Dose|7|1,495\u00a0€|10,47\u00a0€",
                           "Mais|7 Dose|7 Dose|7|1,495\u00a0€|10,47\u00a0€", "Gesamtsumme: 31,40\u00a0€"}));

    const QStringList lines = QString::fromUtf8(shoppingCsv().mid(3)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], QStringLiteral("Bohnen;7;Dose;7;7;1,495;10,465;nein"));
    // The column "Gesamtpreis" summed in decimal, as the spreadsheet does, shown to the cent.
    qint64 tenThousandths = 0;
    for (const QString& line : lines.mid(1)) {
        const QStringList amount = line.split(';').value(6).split(',');
        tenThousandths +=
            amount.value(0).toLongLong() * 10000 + amount.value(1).leftJustified(4, '0').toLongLong();
    }
    EXPECT_EQ(tenThousandths, 313950);
    const qint64 cents = (tenThousandths + 50) / 100;
    EXPECT_EQ(QStringLiteral("%1,%2").arg(cents / 100).arg(cents % 100, 2, 10, QChar('0')),
              QStringLiteral("31,40"));
}
