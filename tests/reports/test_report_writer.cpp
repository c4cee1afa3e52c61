#include "data/Error.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QTest>

using namespace tlm;
using tlmtest::vp;

TEST(ReportWriter, FormatsWrappingAndThePreviewWindow)
{
    ReportPrinter w;
    w.PageMargins(1000, 1500, 500);
    w.PageHeader("links|Mitte|rechts");
    w.TextFont("Verdana", 8, false, false);
    w.BeginDocument();
    w.setCursorY(1000);
    w.AppendTable("8000;", "eins;zwei;");
    w.AppendTable("8000", "drei");
    w.AppendTable(">1000|7000", "a|b|c;d");
    EXPECT_EQ(w.rowTexts(), (QStringList{"eins", "zwei", "drei", "a|b", "d"}));
    const double oneLine = w.rows()[0].height;
    w.AppendTable("1000", QString("Wort ").repeated(40));
    EXPECT_GT(w.rows().back().height, 5 * oneLine - 1);
    EXPECT_THROW(w.AppendTable("abc|100", "x"), Error);
    EXPECT_THROW(w.AppendTable("", "x"), Error);
    EXPECT_FALSE(w.isComplete());
    w.EndDocument();
    EXPECT_TRUE(w.isComplete());
    w.BeginDocument();
    EXPECT_TRUE(w.rowTexts().isEmpty());
    EXPECT_EQ(w.pageCount(), 1);
    EXPECT_EQ(w.pageTexts(0), (QStringList{"links", "Mitte", "rechts"}));
}

TEST(ReportWriter, AWordWiderThanItsColumnShrinksTheCellInsteadOfBreaking)
{
    ReportPrinter w;
    w.PageMargins(1000, 1500, 500);
    w.TextFont("Verdana", 8, false, false);
    w.BeginDocument();
    const QString word(40, 'W');
    w.AppendRows("1000|1000|1000", {{"5851,82625 L", word, "12 L"}});
    const ReportWriter& doc = w;
    const ReportRow& r = doc.rows()[0];
    auto item = [&](int c) { return doc.page(r.page).items[r.firstItem + c]; };
    auto size = [&](int c) { return doc.font(item(c).font).size; };
    // The number stands whole on its line, in the size that just holds it.
    EXPECT_EQ(item(0).lines, (QStringList{"5851,82625", "L"}));
    EXPECT_LT(size(0), 8);
    EXPECT_GT(size(0), 6);
    // A word that does not fit even at 6 pt is broken by characters.
    EXPECT_EQ(size(1), 6);
    EXPECT_GT(item(1).lines.size(), 1);
    EXPECT_EQ(item(1).lines.join(QString()), word);
    // What fits is laid out as ever; the row is as high as its highest cell.
    EXPECT_TRUE(item(2).lines.isEmpty());
    EXPECT_EQ(size(2), 8);
    EXPECT_GE(r.height, item(1).rect.height());
    EXPECT_EQ(item(0).rect.height(), item(1).rect.height());
}

// The preview keeps finished pages in a file: every page, row and pixel reads back as written, and a
// document begun again shows nothing of the one before.
TEST(ReportWriter, APreviewReadsItsPagesBackFromItsFileAsWritten)
{
    ReportWriter held;
    ReportPrinter filed;
    for (ReportWriter* w : {&held, static_cast<ReportWriter*>(&filed)}) {
        w->PageHeader("links|Mitte|rechts");
        w->BeginDocument();
        for (int r = 0; r < 300; ++r) {
            w->TextFontBold(r % 7 == 0);
            w->AppendRows(">1000|3000|4000;",
                          {{QString::number(r), QStringLiteral("Zeile %1").arg(r),
                            QStringLiteral("ein längerer Text, der umbricht ").repeated(r % 3 + 1)}},
                          r % 5 == 0 ? QColor(0xef, 0xef, 0xef) : QColor());
        }
        w->EndDocument();
    }
    ASSERT_GT(held.pageCount(), 5);
    ASSERT_EQ(filed.pageCount(), held.pageCount());
    EXPECT_EQ(filed.rowTexts(), held.rowTexts());
    for (int p = held.pageCount() - 1; p >= 0; --p) {
        EXPECT_EQ(filed.pageTexts(p), held.pageTexts(p)) << p;
        QImage a(420, 594, QImage::Format_RGB32), b(420, 594, QImage::Format_RGB32);
        QPainter pa(&a), pb(&b);
        held.paintPage(pa, p, QRectF(a.rect()));
        filed.paintPage(pb, p, QRectF(b.rect()));
        pa.end();
        pb.end();
        EXPECT_EQ(a, b) << p;
    }
    filed.BeginDocument();
    filed.AppendRows("8000;", {{QStringLiteral("neu")}});
    filed.EndDocument();
    EXPECT_EQ(filed.pageCount(), 1);
    EXPECT_EQ(filed.pageTexts(0), (QStringList{"links", "Mitte", "rechts", "neu"}));
}
