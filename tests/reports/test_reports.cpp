#include "data/Error.h"
#include "data/Globals.h"
#include "reports/Cookbook.h"
#include "reports/MealPlanReport.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QMessageBox>
#include <QPrinter>
#include <QTest>

using namespace tlm;

namespace {
const ReportPrinter& vp()
{
    return *frmDlgDruck::shared()->vp;
}

// The pages of a PDF file, -1 when it is none.
int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("%PDF"))
        return -1;
    return int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "));
}
} // namespace

class MealPlanReportTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT, ZUBEREITUNG) values (201, 2, 'Nudeln', 'Kochen; "
             "abgießen.'),"
             " (202, 7, 'Tee', 'Aufbrühen.'), (203, 1, 'Suppe', ''), (204, 2, 'Nudeln | Soße', null)");
        exec("insert into ZUTATEN values (101, 'Nudeln', 0.5, 'kg', 1.19, 0, 0), (102, 'Salz', 1, 'kg', "
             "0.49, 0, -1)");
        exec("insert into REZEPTE values (1, 201, 102, 0.01, 0), (2, 201, 101, 0.5, 0), (3, 203, 101, null, "
             "0)");
    }
};

TEST_F(MealPlanReportTest, DayAndTimeOnlyWhereTheyChange)
{
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 12, 0), (2, '2010-07-24', 2, 4, 203, "
         "12, 0),"
         " (3, '2010-07-24', 3, 2, 201, 12.0, -1), (4, '2010-07-25', 3, 7, 202, 8, 0), (5, '2010-07-25', 1, "
         "2, 204, 8, 0)");
    fncDruckSpeiseplan();
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Speiseplan"));
    EXPECT_EQ(vp().rowTexts(), (QStringList{"Tag|Zeit|Typ|Gericht|Pers.", "24.07.2010|Mittag|HG|Nudeln|12",
                                            "||Sal|Suppe|12", "|Abend|HG|Nudeln|12",
                                            "25.07.2010|Früh|HG|Nudeln | Soße|8", "|Abend|Getr|Tee|8"}));
    const auto& r = vp().rows();
    EXPECT_EQ(r[0].top, 1000);
    EXPECT_EQ(r[1].top, r[0].top + r[0].height + 200);
    EXPECT_EQ(r[2].top, r[1].top + r[1].height);
    EXPECT_EQ(r[4].top, r[3].top + r[3].height + 200);

    // A day whose first entry has the time of day of the day before: date but no time.
    exec("update SPEISEPLAN set TAGZEITNR = 3 where KEY = 5");
    fncDruckSpeiseplan();
    EXPECT_EQ(vp().rowTexts().value(4), QStringLiteral("25.07.2010||HG|Nudeln | Soße|8"));
}

TEST_F(MealPlanReportTest, EmptyPlanAndAFailureLeaveTheRightDocument)
{
    fncDruckSpeiseplan();
    EXPECT_EQ(vp().rowTexts(), QStringList{"Tag|Zeit|Typ|Gericht|Pers."});
    EXPECT_TRUE(vp().isComplete());
    fncDruckKochbuch();
    EXPECT_TRUE(vp().rowTexts().isEmpty());
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageCount(), 1);
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Kochbuch für 4 Personen"));

    // An entry without a time of day stops the list where it stands.
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 12, 0), (2, '2010-07-24', 99, 2, 201, "
         "12, 0)");
    tlmtest::Modal modal;
    modal.box(QMessageBox::Ok);
    fncDruckSpeiseplan();
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: tlm/fncDruckSpeiseplan,94/"));
    EXPECT_FALSE(vp().isComplete());
    EXPECT_EQ(vp().rowTexts().size(), 1); // the entry without a time of day sorts first
}

TEST_F(MealPlanReportTest, CookbookPrintsMainMealsWithRecipesForFour)
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

TEST_F(MealPlanReportTest, LongPlansBreakPagesUnderTheHeaderAndSaveAsPdf)
{
    for (int k = 1; k <= 150; ++k)
        exec(QStringLiteral("insert into SPEISEPLAN values (%1, '%2', 2, 2, 201, 10, 0)")
                 .arg(k)
                 .arg(QDate(2010, 7, 1).addDays(k / 3).toString(Qt::ISODate)));
    fncDruckSpeiseplan();
    ASSERT_GT(vp().pageCount(), 2);
    for (int p = 0; p < vp().pageCount(); ++p)
        EXPECT_EQ(vp().pageTexts(p).mid(0, 2), (QStringList{"Fennor Tellomat V1.01", "Speiseplan"}));
    for (const ReportRow& row : vp().rows())
        EXPECT_LE(row.top + row.height, ReportWriter::kPageHeight - 1000);
    EXPECT_EQ(vp().rows().back().page, vp().pageCount() - 1);
    EXPECT_EQ(vp().rows()[1].page, 0);
    const QString pdf = dir() + "/plan.pdf";
    // Saved the way an outside tool asks the control named "vp".
    bool saved = false;
    auto* control = frmDlgDruck::shared()->findChild<QObject*>("vp");
    ASSERT_TRUE(control);
    EXPECT_TRUE(
        QMetaObject::invokeMethod(control, "savePdf", Q_RETURN_ARG(bool, saved), Q_ARG(QString, pdf)));
    EXPECT_TRUE(saved);
    EXPECT_EQ(pdfPages(pdf), vp().pageCount());
}

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

TEST(PreviewWindow, OneSharedWindowThatFollowsItsSize)
{
    frmDlgDruck* first = frmDlgDruck::showShared();
    EXPECT_EQ(first, frmDlgDruck::showShared());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Druckvorschau"));
    first->resize(800, 600);
    EXPECT_EQ(first->vp->geometry(), QRect(8, 8, 800 - 16, 600 - 16));
    first->resize(10, 10);
    EXPECT_GT(first->vp->width(), 0);
    EXPECT_GT(first->vp->height(), 0);
    first->close();
    EXPECT_TRUE(QTest::qWaitFor([] { return frmDlgDruck::shared() == nullptr; }, 30000));
    frmDlgDruck* second = frmDlgDruck::showShared();
    EXPECT_EQ(second->size(), QSize(517, 561));
    second->close();
}

TEST_F(MealPlanReportTest, PrintingWritesEveryPage)
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
    frmDlgDruck::shared()->vp->print(printer);
    EXPECT_EQ(pdfPages(pdf), vp().pageCount());
}
