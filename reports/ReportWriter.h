#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

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
    enum Kind { Text, Frame, Shade };
    Kind kind = Text;
    QRectF rect;
    QStringList lines; // Text: the cell's text already wrapped to its column
    QString text;      // Text: the cell's text as given
    ReportFont font;
    enum Align { Left, Right, Centre };
    Align align = Left;
    QColor colour;
};

struct ReportPage
{
    QVector<ReportItem> items;
};

// One table row as written, for reading the document back: page, top, cells.
struct ReportRow
{
    int page = 0;
    double top = 0;
    double height = 0;
    QStringList cells;
};

// The report printer's document and layout: pages of items in twips on A4, a three-part page header
// on every page, tables appended at the cursor that wrap their cells and break to new pages.
class ReportWriter
{
public:
    static constexpr double kPageWidth = 11906;
    static constexpr double kPageHeight = 16838;

    virtual ~ReportWriter() = default;

    void PageMargins(int left, int right, int top);
    void PageHeader(const QString& threeParts);
    void HeaderFont(const QString& name, double size, bool bold);
    void TextFont(const QString& name, double size, bool bold, bool italic);
    void TextFontBold(bool bold) { m_textFont.bold = bold; }
    void TextFontItalic(bool italic) { m_textFont.italic = italic; }
    void BeginDocument();
    double CursorY() const { return m_cursorY; }
    void setCursorY(double y) { m_cursorY = y; }
    void TableFrame(int frame) { m_frame = frame; }
    // Format "w|>w|w;" (">" right-aligned), rows "a|b|c;d|e|f;"; an invalid format raises error 5.
    void AppendTable(const QString& format, const QString& rows, const QColor& shade = QColor(), bool tableOption = true);
    // The same with the cells given one by one, so that a "|" or ";" inside a text stays text.
    void AppendRows(const QString& format, const QVector<QStringList>& rows, const QColor& shade = QColor(),
                    bool tableOption = true);
    void EndDocument();

    bool isComplete() const { return m_complete; }
    bool isStarted() const { return m_started; }
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    const QVector<ReportPage>& pages() const { return m_pages; }
    const QVector<ReportRow>& rows() const { return m_rows; }
    // The texts of a page's items in reading order (the header first).
    QStringList pageTexts(int page) const;
    // The table rows' cells joined by "|", in the order written.
    QStringList rowTexts() const;

    // Paints one page into the target rectangle (device units), scaled from twips.
    void paintPage(QPainter& p, int page, const QRectF& target) const;

protected:
    virtual void documentChanged() {}

private:
    void newPage();
    double bodyTop() const { return 2.0 * m_top; }
    double bodyBottom() const { return kPageHeight - 2.0 * m_top; }

    QVector<ReportPage> m_pages;
    QVector<ReportRow> m_rows;
    int m_left = 1000, m_right = 1500, m_top = 500;
    QStringList m_header;
    ReportFont m_headerFont{QStringLiteral("Verdana"), 8, true, false};
    ReportFont m_textFont{QStringLiteral("Verdana"), 8, false, false};
    double m_cursorY = 0;
    int m_frame = 0;
    bool m_started = false;
    bool m_complete = false;
};

} // namespace tlm
