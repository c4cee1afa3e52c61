// The week plan for the wall and the record of allergens per dish.
#include "data/Globals.h"
#include "extras/frmAllergene.h"
#include "extras/frmZeitraum.h"
#include "kitchen/Declaration.h"
#include "kitchen/DishMarks.h"
#include "reports/AllergenReports.h"
#include "reports/MealPlanReport.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

#include <QDateEdit>
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
const QString kNotice = QStringLiteral("Fragen zu Allergenen und Zusatzstoffen: bitte an die Küchenleitung");
QString today()
{
    return QDate::currentDate().toString("dd.MM.yyyy");
}
} // namespace

TEST_F(AllergenReportTest, TheRecordNamesTheIngredientsThatBringEachLetterIn)
{
    EXPECT_EQ(DishMarks().letters(12), "A, B, C, D, E, F, G, H, L, M, N, O, P, R");
    EXPECT_EQ(DishMarks().diet(10), "vegetarisch");
    EXPECT_EQ(DishMarks().diet(13), "vegan");
    EXPECT_EQ(DishMarks().diet(12), ""); // meat among its marks
    fncDruckAllergeneJeGericht(QDate(2026, 7, 20), QDate(2026, 7, 26));
    EXPECT_EQ(vp().documentTitle(), "Allergene je Gericht");
    EXPECT_EQ(
        vp().rowTexts(),
        QStringList({"Geplant vom 20.07.2026 bis 26.07.2026", "Gericht|Allergene|enthalten in|Ernährung",
                     "Apfelkuchen mit Sahne|A, G|A Gluten: Mehl\nG Milch: Butter, Sahne|vegetarisch",
                     "Apfelmus||"
                     "|vegan",
                     "Brot vom Bäcker|(ohne Rezept)||",
                     "Wundertüte|A, B, C, D, E, F, G, H, L, M, N, O, P, R|A Gluten: Alles\nB Krebstiere: "
                     "Alles\nC Eier: Alles\nD Fisch: Alles\nE Erdnüsse: Alles\nF Soja: Alles\nG Milch: "
                     "Alles\nH Schalenfrüchte: Alles\nL Sellerie: Alles\nM Senf: Alles\nN Sesam: Alles\nO "
                     "Sulfite: Alles\nP Lupinen: Alles\nR Weichtiere: Alles|",
                     "Allergene: A Gluten (glutenhaltiges Getreide), B Krebstiere, C Eier, D Fisch, E "
                     "Erdnüsse, F Soja, G Milch (einschließlich Laktose), H Schalenfrüchte, L Sellerie, M "
                     "Senf, N Sesam, O Sulfite (Schwefeldioxid und Sulfite), P Lupinen, R Weichtiere",
                     kNotice, "Gedruckt am " + today() + ", Zutaten zuletzt geprüft am 01.07.2026"}));
    fncDruckAllergeneJeGericht(QDate(2026, 7, 27), QDate(2026, 7, 27));
    EXPECT_EQ(vp().rowTexts().mid(2),
              QStringList({"Brot vom Bäcker|(ohne Rezept)||", kNotice, "Gedruckt am " + today()}));
}

TEST_F(AllergenReportTest, TheWeekPlanHasAPageAcrossPerWeekWithTheLettersOfItsDishesAndTheirLegend)
{
    const QString stand = "Stand: " + today();
    fncDruckWochenplan(QDate(2026, 7, 22), QDate(2026, 7, 27));
    const ReportWriter& p = vp(); // the document, as the preview and the PDF show it
    EXPECT_EQ(p.documentTitle(), "Wochenplan");
    EXPECT_TRUE(p.isLandscape());
    ASSERT_EQ(p.pageCount(), 2);
    const QString days = "|Montag\n20.07.2026|Dienstag\n21.07.2026|Mittwoch\n22.07.2026|Donnerstag\n"
                         "23.07.2026|Freitag\n24.07.2026|Samstag\n25.07.2026|Sonntag\n26.07.2026";
    EXPECT_EQ(
        p.rowTexts(),
        QStringList({"KW 30: 20.07.2026 bis 26.07.2026", days,
                     "Mittagessen|||Apfelkuchen mit Sahne (A, G)|Wundertüte (A, B, C, D, E, F, G, H, L, M, "
                     "N, O, P, R)\nApfelmus|||",
                     "Abendessen|||Brot vom Bäcker (ohne Rezept)||||",
                     "Allergene: A Gluten (glutenhaltiges Getreide), B Krebstiere, C Eier, D Fisch, E "
                     "Erdnüsse, F Soja, G Milch (einschließlich Laktose), H Schalenfrüchte, L Sellerie, M "
                     "Senf, N Sesam, O Sulfite (Schwefeldioxid und Sulfite), P Lupinen, R Weichtiere",
                     kNotice, stand + ", Zutaten zuletzt geprüft am 01.07.2026",
                     "KW 31: 27.07.2026 bis 02.08.2026",
                     "|Montag\n27.07.2026|Dienstag\n28.07.2026|Mittwoch\n29.07.2026|Donnerstag\n"
                     "30.07.2026|Freitag\n31.07.2026|Samstag\n01.08.2026|Sonntag\n02.08.2026",
                     "Frühstück|Brot vom Bäcker (ohne Rezept)||||||", kNotice, stand}));
    // Each page ends with its own legend at its foot; the dish names are 11 pt where they fit.
    for (const ReportRow& r : p.rows())
        EXPECT_LE(r.top + r.height, p.bodyBottom() + 1);
    EXPECT_EQ(p.rows()[6].page, 0);
    EXPECT_GT(p.rows()[6].top + p.rows()[6].height, p.bodyBottom() - 50);
    EXPECT_EQ(p.rows()[9].page, 1);
    const ReportRow& lunch = p.rows()[2];
    EXPECT_GE(p.font(p.page(0).items[lunch.firstItem + 3].font).size, 11);

    // A day outside the span stays empty; the described reports stay upright.
    fncDruckWochenplan(QDate(2026, 7, 23), QDate(2026, 7, 23));
    EXPECT_EQ(
        vp().rowTexts().mid(2, 1),
        QStringList({"Mittagessen||||Wundertüte (A, B, C, D, E, F, G, H, L, M, N, O, P, R)\nApfelmus|||"}));
    // A compound name wider than its column breaks after a hyphen instead of shrinking its cell.
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (14, 4, 'Tomaten-Mozzarella-Salat')");
    exec("insert into SPEISEPLAN values (6, '2026-07-24', 2, 4, 14, 10, 0)");
    fncDruckWochenplan(QDate(2026, 7, 24), QDate(2026, 7, 24));
    const ReportWriter& doc = vp();
    const ReportItem friday = doc.page(0).items[doc.rows()[2].firstItem + 5];
    EXPECT_TRUE(friday.text.startsWith("Tomaten-\n")) << friday.text.toStdString();
    EXPECT_EQ(QString(friday.text).remove('\n'), "Tomaten-Mozzarella-Salat (ohne Rezept)");
    EXPECT_GE(doc.font(friday.font).size, 11);
    fncDruckSpeiseplan();
    EXPECT_FALSE(vp().isLandscape());
}

TEST_F(AllergenReportTest, AFullWeekShrinksItsTextToStayOnOnePageAndNeverBreaksAName)
{
    // Five meals a day with three long dishes each.
    exec("delete from SPEISEPLAN");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (20, 2, 'Kartoffelgratin mit Schinkenwürfeln "
         "und Bergkäse')");
    int key = 1;
    for (int day = 0; day < 7; ++day)
        for (int time = 1; time <= 5; ++time)
            for (int n = 0; n < 3; ++n)
                exec(QString("insert into SPEISEPLAN values (%1, '%2', %3, 2, 20, 10, 0)")
                         .arg(key++)
                         .arg(QDate(2026, 7, 20).addDays(day).toString(Qt::ISODate))
                         .arg(time));
    fncDruckWochenplan(QDate(2026, 7, 20), QDate(2026, 7, 26));
    const ReportWriter& p = vp(); // the document, as the preview and the PDF show it
    ASSERT_EQ(p.pageCount(), 1);
    const ReportRow& breakfast = p.rows()[2];
    const ReportItem monday = p.page(0).items[breakfast.firstItem + 1];
    EXPECT_LT(p.font(monday.font).size, 11);
    EXPECT_GE(p.font(monday.font).size, 6);
    for (const QString& line : monday.lines) // wrapped at blanks only
        EXPECT_TRUE(QString("Kartoffelgratin mit Schinkenwürfeln und Bergkäse (ohne Rezept)").contains(line))
            << line.toStdString();
}

TEST_F(DeclarationTest, TheWeekPlanAndTheRecordDeclareTracesAdditivesMarksUncheckedDishesAndTheNotice)
{
    const QStringList legend{"Allergene: A Gluten (glutenhaltiges Getreide), G Milch (einschließlich "
                             "Laktose), H Schalenfrüchte, L "
                             "Sellerie; in Klammern: kann Spuren enthalten",
                             "Zusatzstoffe: 2 mit Konservierungsstoff, 3 mit Antioxidationsmittel",
                             "Angaben ungeprüft: Gemüsesuppe",
                             "Fragen zu Allergenen und Zusatzstoffen: bitte an die Küchenleitung"};
    fncDruckWochenplan(QDate(2026, 7, 20), QDate(2026, 7, 21));
    EXPECT_EQ(vp().rowTexts().mid(2),
              QStringList({"Frühstück|Müsli (A, G, (H))|Müsli (A, G, (H))|||||",
                           "Mittagessen|Gemüsesuppe (L)\nSalamibrot (A, 2, 3, Schwein)||||||"}) +
                  legend + QStringList{"Stand: " + today() + ", Zutaten zuletzt geprüft am 02.07.2026"});

    fncDruckAllergeneJeGericht(QDate(2026, 7, 20), QDate(2026, 7, 21));
    EXPECT_EQ(
        vp().rowTexts(),
        QStringList({"Geplant vom 20.07.2026 bis 21.07.2026", "Gericht|Allergene|enthalten in|Ernährung",
                     "Gemüsesuppe|L|L Sellerie: Brühe|ungeprüft",
                     "Müsli|A, G, (H)|A Gluten: Haferflocken\nG Milch: Milch\nSpuren: H Schalenfrüchte über "
                     "Haferflocken|vegetarisch",
                     "Salamibrot|A, 2, 3|A Gluten: Brot\n2 mit Konservierungsstoff: Salami\n3 mit "
                     "Antioxidationsmittel: Salami\nSchwein: Salami|"}) +
            legend + QStringList{"Gedruckt am " + today() + ", Zutaten zuletzt geprüft am 02.07.2026"});

    // The kitchen's own notice, kept in the database; a mark the week plan is not told to show stays off it.
    exec("update PARAMETER set WERT = '' where PARID = 211");
    storeDeclarationNotice("Fragen bitte an Frau Berg (Küche)");
    EXPECT_EQ(scalar("select WERT from PARAMETER where PARID = 210").toString(),
              "Fragen bitte an Frau Berg (Küche)");
    fncDruckWochenplan(QDate(2026, 7, 20), QDate(2026, 7, 20));
    EXPECT_TRUE(vp().rowTexts().contains("Mittagessen|Gemüsesuppe (L)\nSalamibrot (A, 2, 3)||||||"));
    EXPECT_TRUE(vp().rowTexts().contains("Fragen bitte an Frau Berg (Küche)"));
}
