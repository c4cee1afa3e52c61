#include "data/Globals.h"
#include "reports/Cookbook.h"
#include "support/Fixture.h"
#include "support/ReportCheck.h"

#include <QPrinter>

using namespace tlm;
using tlmtest::vp;

class CookbookTest : public tlmtest::ReportDataTest
{
};

TEST_F(CookbookTest, AnEmptyPlanGivesTheHeaderOnly)
{
    fncDruckKochbuch();
    EXPECT_TRUE(vp().rowTexts().isEmpty());
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageCount(), 1);
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Kochbuch für 4 Personen"));
}

TEST_F(CookbookTest, CookbookPrintsMainMealsWithRecipesForFour)
{
    exec("insert into SPEISEPLAN values"
         " (1, '2010-07-24', 2, 2, 201, 12, 0),"  // printed
         " (2, '2010-07-24', 2, 7, 202, 12, 0),"  // type 7: left out, heading stays
         " (3, '2010-07-24', 3, 2, 203, 12, 0),"  // printed, no preparation row
         " (4, '2010-07-24', 3, 2, 203, 3, 0),"   // the same dish twice: printed twice
         " (5, '2010-07-25', 1, 2, 201, 12, 0),"  // breakfast only: no section
         " (6, '2010-07-26', 2, 2, 201, 12, -1)," // left out, heading stays
         " (7, '2010-07-26', 1, 2, 201, 12, 0),"
         " (8, '2010-07-27', 2, 2, 204, 12, -1)"); // the day has no printable entry
    fncDruckKochbuch();
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().rowTexts(),
              (QStringList{"Samstag 24.07.2010", "Mittagessen", "Nudeln", "0,5 kg|Nudeln", "0,01 kg|Salz",
                           "Zubereitung:|Kochen; abgießen.", "Abendessen", "Suppe", " kg|Nudeln", "Suppe",
                           " kg|Nudeln", "Montag 26.07.2010", "Mittagessen"}));
    const auto& r = vp().rows();
    EXPECT_EQ(r[0].top, 1000);
    EXPECT_EQ(r[1].top, r[0].top + r[0].height + 100);
    EXPECT_EQ(r[3].top, r[2].top + r[2].height + 100);
    EXPECT_EQ(r[5].top, r[4].top + r[4].height + 100);
    EXPECT_EQ(r[6].top, r[5].top + r[5].height + 200);
    EXPECT_EQ(r[9].top, r[8].top + r[8].height + 100 + 200); // no preparation: the gaps stay
}

TEST_F(CookbookTest, PrintingWritesEveryPage)
{
    for (int k = 1; k <= 60; ++k)
        exec(QStringLiteral("insert into SPEISEPLAN values (%1, '2010-07-%2', 2, 2, 201, 12, 0)")
                 .arg(k)
                 .arg(1 + k % 28, 2, 10, QChar('0')));
    fncDruckKochbuch();
    ASSERT_GT(vp().pageCount(), 1);
    const QString pdf = dir() + "/gedruckt.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    const_cast<ReportPrinter&>(vp()).print(printer);
    EXPECT_EQ(tlmtest::pdfPages(pdf), vp().pageCount());
}
