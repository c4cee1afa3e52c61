// Recipe cards for the persons planned.
#include "extras/frmZeitraum.h"
#include "kitchen/RecipeQuantity.h"
#include "reports/RecipeCards.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

namespace {
constexpr double kHalf = ReportWriter::kPageHeight / 2;

// The rows of the document from first (inclusive) to last (exclusive).
QVector<ReportRow> rowsOf(int first, int last)
{
    return vp().rows().mid(first, last - first);
}
} // namespace

class RecipeCardTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(
            "insert into GERICHTE values (301, 2, 'Spaghetti Bolognese', 'Wasser salzen.\nSpaghetti garen.'),"
            " (302, 5, 'Pudding', 'Rühren.'), (303, 2, 'Brot', 'Schneiden.')");
        exec("insert into ZUTATEN values (401, 'Spaghetti', 500, 'g', 1, 0, 0),"
             " (402, 'Rinderhackfleisch', 500, 'g', 5, 0, 0), (403, 'Salz', 1000, 'g', 1, 0, -1),"
             " (404, 'Eier', 10, 'Stück', 2, -1, 0), (405, 'Sahne', 200, 'ml', 1, -1, 0),"
             " (406, 'Mehl', 1000, 'Gramm', 1, 0, 0), (407, 'Milch', 1000, 'ml', 1, -1, 0)");
        exec("insert into REZEPTE values (1, 301, 401, 400, 0), (2, 301, 402, 300, 0), (3, 301, 403, 10, 0),"
             " (4, 301, 404, 2, 0), (5, 301, 405, 100, 0), (6, 301, 406, 400, 0), (7, 301, 407, 97, 0),"
             " (8, 302, 407, 500, 0)");
    }
};

TEST_F(RecipeCardTest, CardsGiveTheQuantitiesForThePersonsPlannedTwoToAPageInPlanOrder)
{
    exec("insert into SPEISEPLAN values"
         " (1, '2026-07-28', 2, 2, 301, 41, 0),"  // second card
         " (2, '2026-07-28', 2, 3, 301, 41, 0),"  // the same dish at the same meal once more: its own card
         " (3, '2026-07-28', 2, 2, 303, 41, 0),"  // no recipe lines: no card
         " (4, '2026-07-28', 3, 5, 302, 41, -1)," // left out of the print-outs
         " (5, '2026-07-27', 3, 5, 302, 1, 0),"   // first card
         " (6, '2026-07-29', 2, 2, 301, 8, 0),"   // fourth card, on the second page
         " (7, '2026-07-30', 2, 2, 301, 8, 0)");  // after the span
    // The window proposes the plan's span and refuses one that ends before it begins.
    Modal modal;
    modal.on<frmZeitraum>([](frmZeitraum& d) {
        EXPECT_EQ(d.dpVon->date(), QDate(2026, 7, 27));
        EXPECT_EQ(d.dpBis->date(), QDate(2026, 7, 30));
        d.dpBis->setDate(QDate(2026, 7, 26));
        d.sfDrucken->click();
        EXPECT_TRUE(d.isVisible());
        d.dpBis->setDate(QDate(2026, 7, 29));
        d.sfDrucken->click();
    });
    modal.box(QMessageBox::Ok);
    const std::optional<PlanSpan> span = fncDlgZeitraum("frmRezeptkarten", "Rezeptkarten");
    ASSERT_TRUE(span);
    EXPECT_EQ(modal.boxTexts(), QStringList{"Das Datum bei „Bis:“ liegt vor dem bei „Von:“."});
    fncDruckRezeptkarten(span->first, span->last);
    ASSERT_TRUE(vp().isComplete());
    const QStringList spaghetti41{"Spaghetti Bolognese", "Dienstag 28.07.2026|Mittagessen|41 Personen",
                                  "20,5 Stück|Eier|",    "4100 Gramm|Mehl|",
                                  "994 ml|Milch|",       "3,08 kg|Rinderhackfleisch|",
                                  "1,03 L|Sahne|",       "103 g|Salz|(Vorrat)",
                                  "4,1 kg|Spaghetti|",   "Zubereitung:|Wasser salzen.",
                                  "|Spaghetti garen."};
    QStringList expected{"Pudding", "Montag 27.07.2026|Abendessen|1 Person", "125 ml|Milch|",
                         "Zubereitung:|Rühren."};
    expected << spaghetti41 << spaghetti41;
    expected << "Spaghetti Bolognese"
             << "Mittwoch 29.07.2026|Mittagessen|8 Personen"
             << "4 Stück|Eier|"
             << "800 Gramm|Mehl|"
             << "194 ml|Milch|"
             << "600 g|Rinderhackfleisch|"
             << "200 ml|Sahne|"
             << "20 g|Salz|(Vorrat)"
             << "800 g|Spaghetti|"
             << "Zubereitung:|Wasser salzen."
             << "|Spaghetti garen.";
    EXPECT_EQ(vp().rowTexts(), expected);
    EXPECT_EQ(vp().documentTitle(), QStringLiteral("Rezeptkarten"));

    // Two cards a sheet, the first in the upper half, the second below the cut; the third on the next.
    ASSERT_EQ(vp().pageCount(), 2);
    const int cards[] = {0, 4, 15, 26, 37};
    for (int c = 0; c < 4; ++c) {
        const QVector<ReportRow> card = rowsOf(cards[c], cards[c + 1]);
        const bool upper = c % 2 == 0;
        for (const ReportRow& r : card) {
            EXPECT_EQ(r.page, c / 2) << c;
            if (upper)
                EXPECT_LT(r.top + r.height, kHalf) << c;
            else
                EXPECT_GT(r.top, kHalf) << c;
        }
    }
    const QString pdf = dir() + "/karten.pdf";
    ASSERT_TRUE(const_cast<ReportPrinter&>(vp()).savePdf(pdf));
    const QString first = tlmtest::pdfPageText(pdf, 1);
    for (const char* text : {"Pudding", "1 Person", "3,08 kg", "Spaghetti Bolognese", "103 g", "(Vorrat)"})
        EXPECT_TRUE(first.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(tlmtest::pdfPageText(pdf, 2).contains("Mittwoch 29.07.2026"));
    int cuts = 0;
    const ReportPage firstPage = vp().page(0);
    for (const ReportItem& i : firstPage.items)
        cuts += i.kind == ReportItem::Cut && i.rect.top() == kHalf;
    EXPECT_EQ(cuts, 1);
    EXPECT_EQ(quantityFor(QVariant(), 41, "g"), QString());
}

TEST_F(RecipeCardTest, ACardLongerThanHalfAPageTakesAPageOfItsOwnAndIsNeverSplit)
{
    QStringList steps;
    for (int i = 1; i <= 40; ++i)
        steps
            << QStringLiteral("Schritt %1: rühren, abschmecken und weiter rühren, bis alles gar ist.").arg(i);
    exec("update GERICHTE set ZUBEREITUNG = '" + steps.join('\n') + "' where GERNR = 302");
    // Short, long, short, short: the long card gets the second sheet, the two after it the third.
    exec("insert into SPEISEPLAN values (1, '2026-07-27', 2, 2, 301, 4, 0), (2, '2026-07-27', 3, 5, 302, 4, "
         "0),"
         " (3, '2026-07-28', 2, 2, 301, 4, 0), (4, '2026-07-29', 2, 2, 301, 4, 0)");
    fncDruckRezeptkarten(QDate(2026, 7, 1), QDate(2026, 7, 31));
    ASSERT_TRUE(vp().isComplete());
    const QVector<ReportRow>& rows = vp().rows();
    const QStringList texts = vp().rowTexts();
    const int longFirst = int(texts.indexOf("Pudding"));
    const int longLast = int(texts.indexOf("|" + steps.last()));
    ASSERT_GT(longFirst, 0);
    ASSERT_GT(longLast, longFirst);
    EXPECT_EQ(rows[longFirst - 1].page, 0);
    for (int r = longFirst; r <= longLast; ++r)
        EXPECT_EQ(rows[r].page, 1) << r;
    EXPECT_GT(rows[longLast].top + rows[longLast].height, kHalf); // it does not fit half a page
    EXPECT_EQ(rows[longLast + 1].page, 2);
    EXPECT_EQ(rows.back().page, 2);
    EXPECT_GT(rows.back().top, kHalf);
    EXPECT_EQ(vp().pageCount(), 3);
    const QString pdf = dir() + "/karten.pdf";
    ASSERT_TRUE(const_cast<ReportPrinter&>(vp()).savePdf(pdf));
    EXPECT_EQ(tlmtest::pdfPages(pdf), 3);
    // The printed sheets: the long card whole on the second, two cards on the third.
    const QString second = tlmtest::pdfPageText(pdf, 2);
    EXPECT_TRUE(second.contains("Schritt 1:") && second.contains("Schritt 40:")) << second.toStdString();
    EXPECT_FALSE(tlmtest::pdfPageText(pdf, 1).contains("Schritt"));
    EXPECT_EQ(tlmtest::pdfPageText(pdf, 3).count("Spaghetti Bolognese"), 2);
}
