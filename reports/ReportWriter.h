#pragma once

#include <QColor>
#include <QHash>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <vector>

class QFont;
class QPainter;

namespace tlm {

struct ReportFont
{
    QString name;
    double size = 8;
    bool bold = false;
    bool italic = false;
};

// One positioned thing on a page, in twips.
struct ReportItem
{
    enum Kind : quint8 { Text, Frame, Shade, Cut }; // Cut: a dashed line where the sheet is cut
    enum Align : quint8 { Left, Right, Centre };
    Kind kind = Text;
    Align align = Left;
    qint16 font = 0; // index into the document's fonts
    QRectF rect;
    QString text;      // Text: the cell's text as given
    QStringList lines; // Text: its lines when it had to wrap; empty when it is one line
    QRgb colour = 0;
};

struct ReportPage
{
    QVector<ReportItem> items;
};

// One table row as written, for reading the document back: page, top, height, and where its
// cells stand among the page's items.
struct ReportRow
{
    int page = 0;
    double top = 0;
    double height = 0;
    int firstItem = 0;
    int cells = 0;
};

class ReportWriter;
class PageFile;

// Takes a document's pages one by one as they are finished, so that a long report need not be held
// whole (the command line writes its PDF files so).
class PageSink
{
public:
    virtual ~PageSink() = default;
    virtual void take(const ReportWriter& doc, const ReportPage& page) = 0;
    // The document began again after pages had been taken: they are not the report's any more.
    virtual void restarted() = 0;
};

// The report printer's document and layout: pages of items in twips on A4, a three-part page header
// on every page, tables appended at the cursor that wrap their cells and break to new pages.
class ReportWriter
{
public:
    // One column of a table format: its width in twips, right-aligned or not.
    struct Column
    {
        double width;
        bool right;
    };
    ReportWriter();
    virtual ~ReportWriter();
    static constexpr double kPageWidth = 11906; // A4 upright
    static constexpr double kPageHeight = 16838;
    // The document's page: A4 upright, or across for a report that wants the width.
    void setLandscape(bool landscape) { m_landscape = landscape; }
    bool isLandscape() const { return m_landscape; }
    double pageWidth() const { return m_landscape ? kPageHeight : kPageWidth; }
    double pageHeight() const { return m_landscape ? kPageWidth : kPageHeight; }

    void PageMargins(int left, int right, int top);
    void PageHeader(const QString& threeParts);
    void HeaderFont(const QString& name, double size, bool bold);
    void TextFont(const QString& name, double size, bool bold, bool italic);
    void TextFontBold(bool bold) { m_textFont.bold = bold; }
    void TextFontItalic(bool italic) { m_textFont.italic = italic; }
    void BeginDocument();
    // Empties the document: a report about to be written shows nothing of the one before.
    void clearDocument();
    double CursorY() const { return m_cursorY; }
    void setCursorY(double y) { m_cursorY = y; }
    void TableFrame(int frame) { m_frame = frame; }
    // Rows appended from now on are at least this high (twips): a form's blanks take handwriting.
    void setMinRowHeight(double twips) { m_minRowHeight = twips; }
    // Format "w|>w|w;" (">" right-aligned), rows "a|b|c;d|e|f;"; an invalid format raises error 5.
    // The table option is taken as the reports pass it and ignored: every table breaks where it meets
    // the bottom margin.
    void AppendTable(const QString& format, const QString& rows, const QColor& shade = QColor(),
                     bool tableOption = true);
    // The same with the cells given one by one, so that a "|" or ";" inside a text stays text.
    void AppendRows(const QString& format, const QVector<QStringList>& rows, const QColor& shade = QColor(),
                    bool tableOption = true);
    // Whether the text stands on one line of a column that wide, in the text font.
    bool fitsOnLine(const QString& text, double columnWidth);
    // Where the room of a page ends: a table row below it goes to the next page.
    double bodyBottom() const { return pageHeight() - 2.0 * m_top; }
    void EndDocument();
    // The height the rows would take in the format and the text font as they stand, without writing
    // them: a block that must stay on one page is measured first.
    double rowsHeight(const QString& format, const QVector<QStringList>& rows);
    // Starts a new page; the cursor stands at the top of its body.
    void NewPage();
    // A dashed line across the page at y (twips), where the sheet is cut.
    void CutLine(double y);
    double bodyTop() const { return 2.0 * m_top; }

    // From now on each finished page goes to the sink and its items are let go (the pages finished so
    // far go at once); the rows are not kept then. nullptr keeps the pages again.
    void streamPages(PageSink* sink);
    // From now on each finished page goes to a temporary file, unless a sink takes it, and is read back
    // when shown: a year's report in the preview holds the page being written and a few shown ones.
    void keepPagesInFile();

    bool isComplete() const { return m_complete; }
    // The middle part of the page header: the report's title.
    QString documentTitle() const { return m_title.isEmpty() ? m_header.value(1) : m_title; }
    // The title of a document whose pages have no header (a sheet of labels), until it begins again.
    void setDocumentTitle(const QString& title) { m_title = title; }
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // A page of the document, from memory or from the file (a copy that shares the items).
    ReportPage page(int index) const;
    const QVector<ReportRow>& rows() const { return m_rows; }
    // The texts of a page's items in reading order (the header first).
    QStringList pageTexts(int page) const;
    // The table rows' cells joined by "|", in the order written.
    QStringList rowTexts() const;
    QStringList rowCells(int row) const;
    const ReportFont& font(int index) const { return m_fonts[index]; }
    int fontCount() const { return int(m_fonts.size()); }
    // The font a text of that index is painted in, and the height of each of its lines.
    const QFont& paintFont(int index) const;
    double lineHeight(int index) const;

    // Paints one page into the target rectangle (device units), scaled from twips.
    void paintPage(QPainter& p, int page, const QRectF& target) const;

protected:
    virtual void documentChanged() {}

private:
    struct Metrics;
    struct CellLayout
    {
        QStringList lines; // empty when the text stands on one line
        int font = 0;
    };
    // A cell's lines in the text font, or in a smaller size of it that holds its widest word whole.
    CellLayout layoutCell(const QString& text, double width);
    int fontIndex(const ReportFont& f);
    Metrics& metrics(int font) const;
    void newPage();
    const QVector<Column>& formatColumns(const QString& format);
    // The cells of one row laid out in the columns, and the height of their content.
    double layoutRow(const QVector<Column>& cols, const QStringList& texts, QVector<CellLayout>& cells);

    // One copy of each text of the document: a report repeats its names, units and amounts on every
    // page, and each cell keeping its own copy made most of the memory of a long report.
    const QString& shared(const QString& text);

    // The sink takes the pages before this one.
    void giveFinished(qsizetype upTo);

    // Lets the kept pages go: the document begins again.
    void forgetGiven();

    QVector<ReportPage> m_pages;
    PageSink* m_sink = nullptr;
    qsizetype m_given = 0;
    std::unique_ptr<PageFile> m_file;
    qsizetype m_filed = 0; // pages 0 to m_filed - 1 are in the file
    QSet<QString> m_texts;
    QHash<QString, QVector<Column>> m_formats;
    QVector<ReportRow> m_rows;
    int m_left = 1000, m_right = 1500, m_top = 500;
    QStringList m_header;
    QString m_title;
    ReportFont m_headerFont{QStringLiteral("Verdana"), 8, true, false};
    ReportFont m_textFont{QStringLiteral("Verdana"), 8, false, false};
    QVector<ReportFont> m_fonts;
    int m_lastFont = -1;
    mutable std::vector<std::unique_ptr<Metrics>> m_metrics;
    double m_cursorY = 0;
    int m_frame = 0;
    double m_minRowHeight = 0;
    bool m_started = false;
    bool m_complete = false;
    bool m_landscape = false;
};

} // namespace tlm
