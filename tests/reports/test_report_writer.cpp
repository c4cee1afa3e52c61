#include "data/Error.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QMessageBox>
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
    auto item = [&](int c) -> const ReportItem& { return doc.pages()[r.page].items[r.firstItem + c]; };
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
