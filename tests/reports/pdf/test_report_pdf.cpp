#include "reports/Cookbook.h"
#include "reports/MealPlanReport.h"
#include "reports/ReportPrinter.h"
#include "reports/ShoppingList.h"
#include "reports/pdf/PdfFont.h"
#include "reports/pdf/ReportPdf.h"
#include "support/Fixture.h"
#include "support/ReportCheck.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QPainterPath>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace tlm;

namespace {
const QString kCreator = QStringLiteral("Fennor Tellomat V1.01");

// What the reports print: a bold header in three parts, umlauts, € and ß, amounts right-aligned, a
// number too wide for its column (printed smaller), a text that wraps, frames, a shaded row, bold
// italic, a cut line and a second page.
void writeSample(ReportPrinter& w, bool landscape)
{
    w.setLandscape(landscape);
    w.PageMargins(1000, 1500, 500);
    w.PageHeader(QStringLiteral("Fennor Tellomat V1.01|Einkaufsliste für Größe|09.12.2026"));
    w.HeaderFont(QStringLiteral("Verdana"), 8, true);
    w.TextFont(QStringLiteral("Verdana"), 8, false, false);
    w.BeginDocument();
    w.setCursorY(1000);
    const QString format = QStringLiteral("3000|>1200|>1500;");
    w.TableFrame(1);
    w.AppendRows(format, {{"Zutat", "Menge", "Preis"}}, QColor(239, 239, 239));
    w.TableFrame(0);
    w.AppendRows(format, {{QStringLiteral("Äpfel süß – Öl, Straße"), "12,5 kg", QStringLiteral("1.234,56 €")},
                          {QStringLiteral("Weißkohl"), "5851,82625 L", QStringLiteral("0,99 €")},
                          {QStringLiteral("Brühe abschmecken, ").repeated(9), "7", ""}});
    w.CutLine(ReportWriter::kPageHeight / 2);
    w.TextFontBold(true);
    w.TextFontItalic(true);
    w.AppendRows(QStringLiteral("4000;"), {{"Mittagessen"}});
    w.TextFontBold(false);
    w.TextFontItalic(false);
    w.NewPage();
    w.AppendRows(QStringLiteral(">6000;"), {{QStringLiteral("Seite zwei: 7 €")}});
    w.EndDocument();
}

struct Word
{
    QString text;
    double box[4];
};

// The words of a PDF with their boxes in points, as pdftotext finds them.
QVector<Word> words(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000) && p.exitCode() == 0) << p.errorString().toStdString();
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" "
                       "yMax=\"([-\\d.]+)\">(.*)</word>"));
    QVector<Word> out;
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out.append({m.captured(5),
                    {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                     m.captured(4).toDouble()}});
    }
    return out;
}

// Every page of both files reads the same in pdftotext's layout, every word stands where Qt put it
// (to a five-hundredth of a point), and the pages are as many and as large.
void expectSameReading(const QString& ours, const QString& qts, int pages)
{
    const QVector<Word> a = words(ours), b = words(qts);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GT(a.size(), 0);
    double worst = 0;
    for (int i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].text, b[i].text);
        for (int k = 0; k < 4; ++k)
            worst = qMax(worst, qAbs(a[i].box[k] - b[i].box[k]));
    }
    EXPECT_LT(worst, 0.002);
    ASSERT_EQ(tlmtest::pdfInfo(ours, "Pages"), QString::number(pages));
    ASSERT_EQ(tlmtest::pdfInfo(qts, "Pages"), QString::number(pages));
    EXPECT_EQ(tlmtest::pdfInfo(ours, "Page size"), tlmtest::pdfInfo(qts, "Page size"));
    for (int p = 1; p <= pages; ++p)
        EXPECT_EQ(tlmtest::pdfPageText(ours, p), tlmtest::pdfPageText(qts, p)) << "page " << p;
}
} // namespace

TEST(ReportPdf, ReadsAsQtPaintsThePagesUprightAndAcross)
{
    QTemporaryDir dir;
    for (const bool landscape : {false, true}) {
        ReportPrinter w;
        writeSample(w, landscape);
        ASSERT_EQ(w.pageCount(), 2);
        const QString ours = dir.filePath("ours.pdf"), qts = dir.filePath("qt.pdf");
        ASSERT_EQ(writeReportPdf(w, ours, kCreator), PdfWritten::Yes);
        ASSERT_TRUE(writeQtPdf(w, qts, kCreator));
        expectSameReading(ours, qts, 2);
        EXPECT_TRUE(tlmtest::pdfInfo(ours, "Page size").startsWith(landscape ? "842 x 595" : "595 x 842"))
            << tlmtest::pdfInfo(ours, "Page size").toStdString();
        EXPECT_EQ(tlmtest::pdfInfo(ours, "Title"), QStringLiteral("Einkaufsliste für Größe"));
        EXPECT_EQ(tlmtest::pdfInfo(ours, "Creator"), kCreator);
        // The characters come back as they were written, not as glyph numbers.
        const QString text = tlmtest::pdfText(ours);
        EXPECT_TRUE(text.contains(QStringLiteral("Äpfel süß – Öl, Straße"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("1.234,56 €")));
        EXPECT_TRUE(text.contains(QStringLiteral("5851,82625")));
        EXPECT_TRUE(text.contains(QStringLiteral("Seite zwei: 7 €")));
    }
}

TEST(ReportPdf, ATextItCannotShowAsQtPaintsItIsLeftToQtWhole)
{
    QTemporaryDir dir;
    ReportPrinter w;
    writeSample(w, false);
    // Right to left: Qt reorders it, which a plain run of glyphs would not.
    w.AppendRows(QStringLiteral("4000;"), {{QStringLiteral("שלום")}});
    w.EndDocument();
    const QString path = dir.filePath("plan.pdf");
    EXPECT_EQ(writeReportPdf(w, path, kCreator), PdfWritten::NotPlain);
    EXPECT_FALSE(QFile::exists(path)); // nothing half written is left
    ASSERT_TRUE(w.savePdf(path));
    EXPECT_EQ(tlmtest::pdfInfo(path, "Pages"), QString::number(w.pageCount()));
    EXPECT_TRUE(tlmtest::pdfText(path).contains(QStringLiteral("Seite zwei: 7 €")));
}

TEST(ReportPdf, ReplacesAnOlderFileWholeAndWritesNothingIntoAMissingFolder)
{
    QTemporaryDir dir;
    ReportPrinter w;
    writeSample(w, false);
    const QString path = dir.filePath("plan.pdf");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(200000, 'x')); // longer than the new file
    old.close();
    ASSERT_TRUE(w.savePdf(path));
    EXPECT_EQ(tlmtest::pdfInfo(path, "Pages"), "2");
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_FALSE(written.readAll().contains("xxxx"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"plan.pdf"}); // no temporary left
    const QString missing = dir.filePath("weg/plan.pdf");
    EXPECT_FALSE(w.savePdf(missing));
    EXPECT_FALSE(QFile::exists(missing));
}

// The embedded font keeps the face's glyph ids (the pages name glyphs by them, and pdftotext reads the
// characters from ToUnicode whatever the outlines): each glyph shown is drawn as the face draws it under
// the same id, a glyph not shown is left out.
TEST(ReportPdf, EmbedsTheGlyphsShownUnderTheFacesOwnIds)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QRawFont face = QRawFont::fromFont(font);
    PdfFont pdf(face);
    ASSERT_TRUE(pdf.usable());
    PdfFont::Sized sized = pdf.sized(face);
    std::string out;
    const QString text = QStringLiteral("Äpfel süß – 12,5 €");
    ASSERT_GT(pdf.appendText(text, sized, out), 0);
    const QByteArray file = pdf.fontFile();
    const QRawFont embedded(file, 100, QFont::PreferNoHinting);
    ASSERT_TRUE(embedded.isValid());
    for (const quint32 glyph : face.glyphIndexesForString(text))
        EXPECT_EQ(embedded.pathForGlyph(glyph), face.pathForGlyph(glyph)) << glyph;
    const quint32 other = face.glyphIndexesForString(QStringLiteral("x")).value(0);
    ASSERT_GT(other, 0u);
    EXPECT_FALSE(face.pathForGlyph(other).isEmpty());
    EXPECT_TRUE(embedded.pathForGlyph(other).isEmpty());
    EXPECT_LT(file.size(), face.fontTable("glyf").size() / 4);
}

class ReportPdfOfReportsTest : public tlmtest::ReportDataTest
{
protected:
    // Entries 1 to count over the first days of July 2010, three times of day, two dishes.
    void planEntries(int count, int days)
    {
        for (int k = 1; k <= count; ++k)
            exec(QStringLiteral("insert into SPEISEPLAN values (%1, '2010-07-%2', %3, 2, %4, %5, 0)")
                     .arg(k)
                     .arg(1 + k % days, 2, 10, QChar('0'))
                     .arg(1 + k % 3)
                     .arg(k % 2 ? 201 : 204)
                     .arg(k * 7));
    }
};

// The reports themselves, framed, shaded, wrapped and in bold italic, against Qt's painting of them.
TEST_F(ReportPdfOfReportsTest, EveryReportReadsAsQtPaintsIt)
{
    planEntries(40, 20);
    exec("update GERICHTE set ZUBEREITUNG = 'Nudeln in reichlich Salzwasser kochen, abgießen und mit "
         "Öl, Pfeffer und geriebenem Käse servieren; dazu grüner Salat.' where GERNR = 201");
    const std::pair<const char*, std::function<void()>> reports[] = {
        {"Speiseplan", [] { fncDruckSpeiseplan(); }},
        {"Alles", [] { fncDruckEinkauf(1); }},
        {"Frisches", [] { fncDruckEinkauf(3); }},
        {"Kochbuch", [] { fncDruckKochbuch(); }},
    };
    for (const auto& [name, print] : reports) {
        SCOPED_TRACE(name);
        print();
        const ReportPrinter& doc = tlmtest::vp();
        ASSERT_TRUE(doc.isComplete());
        const QString ours = dir() + "/ours.pdf", qts = dir() + "/qt.pdf";
        ASSERT_EQ(writeReportPdf(doc, ours, kCreator), PdfWritten::Yes);
        ASSERT_TRUE(writeQtPdf(doc, qts, kCreator));
        expectSameReading(ours, qts, doc.pageCount());
    }
}

namespace {
// A PDF's bytes without the moment it was made.
QByteArray withoutDate(const QString& path)
{
    QByteArray bytes = tlmtest::readBytes(path);
    static const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9]+Z?[0-9+'-]*\\)"));
    return QString::fromLatin1(bytes).remove(date).toLatin1();
}
} // namespace

// The command line writes each page as it is finished and keeps none: the file is the one the whole
// document makes, and a page the writer cannot show (or a report begun again) is written whole by Qt.
TEST_F(ReportPdfOfReportsTest, APdfWrittenPageByPageIsTheWholeDocumentsAndKeepsNoPage)
{
    planEntries(120, 28);
    const QString whole = dir() + "/whole.pdf", streamed = dir() + "/streamed.pdf";
    fncDruckSpeiseplan();
    ReportPrinter& doc = const_cast<ReportPrinter&>(tlmtest::vp());
    ASSERT_TRUE(doc.finish());
    const int pages = doc.pageCount();
    ASSERT_GT(pages, 2);
    ASSERT_EQ(writeReportPdf(doc, whole, kCreator), PdfWritten::Yes);
    fncDruckSpeiseplan();
    ASSERT_TRUE(doc.streamPdf(streamed));
    EXPECT_EQ(withoutDate(streamed), withoutDate(whole));
    EXPECT_EQ(doc.pageCount(), pages);
    for (int n = 0; n < doc.pageCount(); ++n)
        EXPECT_TRUE(doc.page(n).items.isEmpty());

    exec(QStringLiteral("update GERICHTE set GERICHT = 'שלום' where GERNR = 204"));
    fncDruckSpeiseplan();
    ASSERT_TRUE(doc.streamPdf(streamed));
    EXPECT_EQ(tlmtest::pdfPages(streamed), pages);
    EXPECT_TRUE(tlmtest::pdfText(streamed).contains(QStringLiteral("שלום")));
    EXPECT_EQ(QDir(dir()).entryList({"*.pdf"}, QDir::Files | QDir::Hidden).size(), 2); // no part left

    // Pages taken, then the document begins again: what was taken is not the report.
    PdfStream pdf(dir() + "/again.pdf", kCreator);
    doc.streamPages(&pdf);
    doc.BeginDocument();
    doc.AppendRows(QStringLiteral("4000;"), {{"eins"}});
    doc.NewPage();
    doc.BeginDocument();
    doc.EndDocument();
    doc.streamPages(nullptr);
    EXPECT_EQ(pdf.finish(doc), PdfWritten::NotPlain);
}
