#include "reports/ReportWriter.h"

#include "data/Error.h"
#include "reports/PageFile.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <utility>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tlm {

namespace {
constexpr double kPadX = 60;
constexpr double kPadY = 25;
constexpr int kSmallestSize = 120; // 6 pt in twips: a number shrinks no further

// Fonts are sized in twips (20 per point) so that measuring and painting share one unit.
QFont qtFont(const ReportFont& f)
{
    QFont font(f.name);
    font.setPixelSize(qMax(1, qRound(f.size * 20)));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    // No shaping: no ligatures, so that a PDF's text reads and searches as the words it shows ("ff", not
    // one glyph for both letters).
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

using Column = ReportWriter::Column;

QVector<Column> parseFormat(const QString& format)
{
    QString f = format.trimmed();
    if (f.endsWith(';'))
        f.chop(1);
    QVector<Column> cols;
    const QStringList parts = f.split('|');
    for (QString p : parts) {
        p = p.trimmed();
        Column c{0, false};
        if (p.startsWith('>')) {
            c.right = true;
            p.remove(0, 1);
        } else if (p.startsWith('<') || p.startsWith('^')) {
            p.remove(0, 1);
        }
        bool ok = false;
        c.width = p.trimmed().toDouble(&ok);
        if (!ok || c.width < 0 || c.width > 100000)
            raise(ErrInvalidCall, QStringLiteral("Tabellenformat '%1'").arg(format.left(100)));
        cols << c;
    }
    return cols;
}
} // namespace

// A font with its metrics and the widths already measured: a report repeats its texts.
struct ReportWriter::Metrics
{
    explicit Metrics(const ReportFont& f) : font(qtFont(f)), fm(font), height(fm.height())
    {
        std::fill(std::begin(advances), std::end(advances), -1.0);
    }
    double width(const QString& s)
    {
        auto it = widths.constFind(s);
        if (it != widths.constEnd())
            return *it;
        const double w = fm.horizontalAdvance(s);
        if (widths.size() < 200000)
            widths.insert(s, w);
        return w;
    }
    // A one-line text of Latin-1 letters and common signs whose advances, added up, stay well inside the
    // width: without kerning its shaped width is no more than that sum, so it is not measured. Most cells of
    // a report are such texts.
    bool clearlyFits(const QString& text, double max)
    {
        double sum = 0;
        const double limit = max * 0.98;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u >= kAdvances || u == '\n' || u == '\r')
                return false;
            if (advances[u] < 0)
                advances[u] = fm.horizontalAdvance(c);
            sum += advances[u];
            if (sum > limit)
                return false;
        }
        return true;
    }
    // The widest of the text's words (split at blanks and line breaks).
    double widestWord(const QString& text)
    {
        double widest = 0;
        for (const QString& para : text.split(lineBreaks()))
            for (const QString& word : para.split(' '))
                widest = qMax(widest, width(word));
        return widest;
    }
    static const QRegularExpression& lineBreaks()
    {
        static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
        return breaks;
    }
    // The text's lines no wider than width; a word longer than a line is broken by characters.
    // Without kerning a line's width is the sum of its words' and blanks' widths, so each word
    // is measured once.
    // broke tells whether a word had to be broken.
    QStringList wrap(const QString& text, double max, bool* broke = nullptr)
    {
        if (clearlyFits(text, max))
            return {};
        if (!text.contains('\n') && !text.contains('\r') && width(text) <= max)
            return {};
        // A text that wraps is laid out once for its column: a report measures a block before it
        // writes it, and repeats its long texts (a dish's preparation on every card).
        const std::pair<double, QString> key(max, text);
        if (auto it = wrapped.constFind(key); it != wrapped.constEnd()) {
            if (broke && it->broke)
                *broke = true;
            return it->lines;
        }
        bool brokeHere = false;
        QStringList out = wrapLines(text, max, &brokeHere);
        if (wrapped.size() < 20000)
            wrapped.insert(key, {out, brokeHere});
        if (broke && brokeHere)
            *broke = true;
        return out;
    }
    QStringList wrapLines(const QString& text, double max, bool* broke)
    {
        QStringList out;
        const double blank = width(QStringLiteral(" "));
        for (const QString& para : text.split(lineBreaks())) {
            QString line;
            double lineWidth = 0;
            for (QString word : para.split(' ')) {
                double w = width(word);
                const double candidate = line.isEmpty() ? w : lineWidth + blank + w;
                if (candidate <= max || (line.isEmpty() && word.isEmpty())) {
                    line = line.isEmpty() ? word : line + ' ' + word;
                    lineWidth = candidate;
                    continue;
                }
                if (!line.isEmpty()) {
                    out << line;
                    line.clear();
                }
                if (w > max) {
                    *broke = true;
                    // A word longer than the line: broken by characters, each measured once.
                    QString piece;
                    double pieceWidth = 0;
                    for (QChar c : word) {
                        const double cw = fm.horizontalAdvance(c);
                        if (!piece.isEmpty() && pieceWidth + cw > max) {
                            out << piece;
                            piece.clear();
                            pieceWidth = 0;
                        }
                        piece += c;
                        pieceWidth += cw;
                    }
                    word = piece;
                    w = pieceWidth;
                }
                line = word;
                lineWidth = w;
            }
            out << line;
        }
        return out;
    }

    QFont font;
    QFontMetricsF fm;
    double height;
    QHash<QString, double> widths;
    struct Wrapped
    {
        QStringList lines;
        bool broke = false;
    };
    QHash<std::pair<double, QString>, Wrapped> wrapped;
    static constexpr char16_t kAdvances = 0x2100; // Latin-1 and the punctuation and currency signs (€)
    double advances[kAdvances] = {};
};

ReportWriter::ReportWriter() = default;
ReportWriter::~ReportWriter() = default;

int ReportWriter::fontIndex(const ReportFont& f)
{
    auto same = [&](int i) {
        const ReportFont& g = m_fonts[i];
        return g.name == f.name && g.size == f.size && g.bold == f.bold && g.italic == f.italic;
    };
    // Asked for every cell, mostly for the font asked for last; a report that tries sizes has dozens.
    if (m_lastFont >= 0 && m_lastFont < m_fonts.size() && same(m_lastFont))
        return m_lastFont;
    for (int i = 0; i < m_fonts.size(); ++i)
        if (same(i))
            return m_lastFont = i;
    m_fonts << f;
    return m_lastFont = int(m_fonts.size()) - 1;
}

ReportWriter::Metrics& ReportWriter::metrics(int font) const
{
    if (m_metrics.size() <= size_t(font))
        m_metrics.resize(font + 1);
    if (!m_metrics[font])
        m_metrics[font] = std::make_unique<Metrics>(m_fonts[font]);
    return *m_metrics[font];
}

const QFont& ReportWriter::paintFont(int index) const
{
    return metrics(index).font;
}

double ReportWriter::lineHeight(int index) const
{
    return metrics(index).height;
}

void ReportWriter::PageMargins(int left, int right, int top)
{
    m_left = left;
    m_right = right;
    m_top = top;
}

void ReportWriter::PageHeader(const QString& threeParts)
{
    m_header = threeParts.split('|');
}

void ReportWriter::HeaderFont(const QString& name, double size, bool bold)
{
    m_headerFont = {name, size, bold, false};
}

void ReportWriter::TextFont(const QString& name, double size, bool bold, bool italic)
{
    m_textFont = {name, size, bold, italic};
}

const QString& ReportWriter::shared(const QString& text)
{
    auto it = m_texts.constFind(text);
    if (it == m_texts.constEnd())
        it = m_texts.insert(text);
    return *it;
}

void ReportWriter::streamPages(PageSink* sink)
{
    m_sink = sink;
    m_rows = {};
    if (!m_sink)
        return;
    // The pages the file took so far go first, and are the sink's then.
    for (qsizetype i = 0; i < m_given; ++i)
        m_sink->take(*this, page(int(i)));
    m_filed = 0;
    if (m_file)
        m_file->clear();
    giveFinished(m_complete ? m_pages.size() : m_pages.size() - 1);
}

void ReportWriter::keepPagesInFile()
{
    if (!m_file)
        m_file = std::make_unique<PageFile>();
}

void ReportWriter::giveFinished(qsizetype upTo)
{
    for (; m_given < upTo; ++m_given) {
        ReportPage& p = m_pages[m_given];
        if (m_sink) {
            m_sink->take(*this, page(int(m_given)));
        } else if (!m_file || m_filed != m_given || !m_file->append(p)) {
            continue; // kept in memory; a file that failed takes no further pages
        } else {
            ++m_filed;
        }
        p.items = {};
    }
}

void ReportWriter::forgetGiven()
{
    if (std::exchange(m_given, 0) > 0 && m_sink)
        m_sink->restarted();
    m_filed = 0;
    if (m_file)
        m_file->clear();
}

ReportPage ReportWriter::page(int index) const
{
    if (index < 0 || index >= m_pages.size())
        return {};
    if (index < m_filed)
        return m_file->read(index);
    return m_pages[index];
}

void ReportWriter::BeginDocument()
{
    forgetGiven();
    m_pages.clear();
    m_rows.clear();
    m_texts.clear();
    m_started = true;
    m_complete = false;
    m_minRowHeight = 0; // a form's tall rows are its own
    m_title.clear();
    m_cursorY = bodyTop();
    newPage();
    documentChanged();
}

void ReportWriter::clearDocument()
{
    // Released, not only emptied: the next report may be a short one.
    forgetGiven();
    m_pages = {};
    m_rows = {};
    m_texts = {};
    m_started = false;
    m_complete = false;
#ifdef __GLIBC__
    // A long report's hundred thousand small blocks go back to the system, so that the next report
    // starts from the memory of the program and not from the largest report before it.
    malloc_trim(0);
#endif
}

void ReportWriter::newPage()
{
    ReportPage page;
    // Pages of one report hold about as many items each: growing a page's list item by item costs
    // more than the rows themselves.
    if (!m_pages.isEmpty())
        page.items.reserve(m_pages.last().items.size() + 16);
    if (m_sink || m_file)
        giveFinished(m_pages.size());
    const int font = fontIndex(m_headerFont);
    const QRectF rect(m_left, m_top, pageWidth() - m_left - m_right, metrics(font).height);
    for (int i = 0; i < 3 && i < m_header.size(); ++i) {
        ReportItem item;
        item.rect = rect;
        item.text = m_header[i];
        item.font = font;
        item.align = i == 0 ? ReportItem::Left : (i == 1 ? ReportItem::Centre : ReportItem::Right);
        page.items << std::move(item);
    }
    m_pages << std::move(page);
}

void ReportWriter::AppendTable(const QString& format, const QString& rows, const QColor& shade, bool)
{
    QString r = rows;
    if (r.endsWith(';'))
        r.chop(1);
    QVector<QStringList> split;
    for (const QString& rowText : r.split(';'))
        split << rowText.split('|');
    AppendRows(format, split, shade);
}

const QVector<ReportWriter::Column>& ReportWriter::formatColumns(const QString& format)
{
    // A report appends thousands of rows in a few formats, often by turns: each format is read once.
    auto it = m_formats.constFind(format);
    if (it == m_formats.constEnd()) {
        QVector<Column> cols = parseFormat(format);
        if (m_formats.size() > 64)
            m_formats.clear();
        it = m_formats.insert(format, std::move(cols));
    }
    return *it;
}

double ReportWriter::layoutRow(const QVector<Column>& cols, const QStringList& texts,
                               QVector<CellLayout>& cells)
{
    double content = 0;
    for (int c = 0; c < cols.size(); ++c) {
        cells[c] = layoutCell(texts.value(c), qMax(1.0, cols[c].width - 2 * kPadX));
        content = qMax(content, qMax<qsizetype>(1, cells[c].lines.size()) * metrics(cells[c].font).height);
    }
    return content;
}

double ReportWriter::rowsHeight(const QString& format, const QVector<QStringList>& rows)
{
    const QVector<Column> cols = formatColumns(format);
    QVector<CellLayout> cells(cols.size());
    double height = 0;
    for (const QStringList& texts : rows)
        height += qMax(layoutRow(cols, texts, cells) + 2 * kPadY, m_minRowHeight);
    return height;
}

void ReportWriter::NewPage()
{
    if (!m_started)
        BeginDocument();
    newPage();
    m_cursorY = bodyTop();
    documentChanged();
}

void ReportWriter::CutLine(double y)
{
    if (!m_started)
        BeginDocument();
    ReportItem cut;
    cut.kind = ReportItem::Cut;
    cut.rect = QRectF(0, y, pageWidth(), 0);
    m_pages.last().items << cut;
}

void ReportWriter::AppendRows(const QString& format, const QVector<QStringList>& rows, const QColor& shade,
                              bool)
{
    if (!m_started)
        BeginDocument();
    const QVector<Column>& cols = formatColumns(format);
    double total = 0;
    for (const Column& c : cols)
        total += c.width;
    QVector<CellLayout> cells(cols.size());
    for (const QStringList& texts : rows) {
        const double content = layoutRow(cols, texts, cells);
        const double height = qMax(content + 2 * kPadY, m_minRowHeight);
        if (m_cursorY + height > bodyBottom() && m_cursorY > bodyTop()) {
            newPage();
            m_cursorY = bodyTop();
            documentChanged(); // the preview learns of a page, not of every row
        }
        QVector<ReportItem>& items = m_pages.last().items;
        const QRectF rowRect(m_left, m_cursorY, total, height);
        if (shade.isValid()) {
            ReportItem s;
            s.kind = ReportItem::Shade;
            s.rect = rowRect;
            s.colour = shade.rgb();
            items << s;
        }
        const int first = int(items.size());
        double x = m_left;
        for (int c = 0; c < cols.size(); ++c) {
            ReportItem item;
            item.rect = QRectF(x + kPadX, m_cursorY + kPadY, qMax(1.0, cols[c].width - 2 * kPadX), content);
            item.text = c < texts.size() ? shared(texts[c]) : QString();
            item.lines = std::move(cells[c].lines);
            item.font = cells[c].font;
            item.align = cols[c].right ? ReportItem::Right : ReportItem::Left;
            items << std::move(item);
            x += cols[c].width;
        }
        if (m_frame == 1) {
            x = m_left;
            for (const Column& c : cols) {
                ReportItem f;
                f.kind = ReportItem::Frame;
                f.rect = QRectF(x, m_cursorY, c.width, height);
                items << f;
                x += c.width;
            }
        }
        if (!m_sink)
            m_rows << ReportRow{pageCount() - 1, m_cursorY, height, first,
                                int(qMin<qsizetype>(cols.size(), texts.size()))};
        m_cursorY += height;
    }
}

ReportWriter::CellLayout ReportWriter::layoutCell(const QString& text, double width)
{
    int font = fontIndex(m_textFont);
    bool broke = false;
    QStringList lines = metrics(font).wrap(text, width, &broke);
    if (!broke)
        return {lines, font};
    // A word wider than its column would be broken, and a broken number reads as two amounts: the
    // cell takes the size of its font that just holds its widest word, down to 6 pt.
    ReportFont small = m_textFont;
    const double widest = metrics(font).widestWord(text);
    int twips = qMin(qRound(m_textFont.size * 20) - 1, int(m_textFont.size * 20 * width / widest));
    for (; twips > kSmallestSize; --twips) {
        small.size = twips / 20.0;
        if (metrics(fontIndex(small)).widestWord(text) <= width)
            break;
    }
    small.size = qMax(twips, kSmallestSize) / 20.0;
    font = fontIndex(small);
    return {metrics(font).wrap(text, width), font};
}

bool ReportWriter::fitsOnLine(const QString& text, double columnWidth)
{
    return metrics(fontIndex(m_textFont)).width(text) <= qMax(1.0, columnWidth - 2 * kPadX);
}

void ReportWriter::EndDocument()
{
    m_texts.clear(); // the items keep their texts
    m_complete = true;
    // The file leaves the last page in memory: a report may still write on it.
    if (m_sink || m_file)
        giveFinished(m_sink ? m_pages.size() : m_pages.size() - 1);
    documentChanged();
}

QStringList ReportWriter::pageTexts(int page) const
{
    QStringList out;
    for (const ReportItem& i : this->page(page).items)
        if (i.kind == ReportItem::Text)
            out << i.text;
    return out;
}

QStringList ReportWriter::rowCells(int row) const
{
    const ReportRow& r = m_rows[row];
    QStringList out;
    const ReportPage p = page(r.page);
    for (int i = 0; i < r.cells; ++i)
        out << p.items[r.firstItem + i].text;
    return out;
}

QStringList ReportWriter::rowTexts() const
{
    QStringList out;
    for (int r = 0; r < m_rows.size(); ++r)
        out << rowCells(r).join('|');
    return out;
}

void ReportWriter::paintPage(QPainter& p, int page, const QRectF& target) const
{
    if (page < 0 || page >= m_pages.size())
        return;
    const ReportPage shown = this->page(page);
    p.save();
    p.fillRect(target, Qt::white);
    p.translate(target.topLeft());
    p.scale(target.width() / pageWidth(), target.height() / pageHeight());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    int currentFont = -1;
    for (const ReportItem& i : shown.items) {
        switch (i.kind) {
        case ReportItem::Shade:
            p.fillRect(i.rect, QColor(i.colour));
            break;
        case ReportItem::Frame:
            p.setPen(QPen(Qt::black, 10));
            p.setBrush(Qt::NoBrush);
            p.drawRect(i.rect);
            break;
        case ReportItem::Cut:
            p.setPen(QPen(Qt::gray, 10, Qt::DashLine));
            p.drawLine(i.rect.topLeft(), i.rect.topRight());
            currentFont = -1; // the next text sets its pen again
            break;
        case ReportItem::Text: {
            Metrics& m = metrics(i.font);
            if (i.font != currentFont) {
                p.setFont(m.font);
                p.setPen(Qt::black);
                currentFont = i.font;
            }
            const int align = i.align == ReportItem::Centre  ? Qt::AlignHCenter
                              : i.align == ReportItem::Right ? Qt::AlignRight
                                                             : Qt::AlignLeft;
            const QStringList& lines = i.lines.isEmpty() ? QStringList{i.text} : i.lines;
            for (int l = 0; l < lines.size(); ++l) {
                const QRectF line(i.rect.left(), i.rect.top() + l * m.height, i.rect.width(), m.height);
                p.drawText(line, align | Qt::AlignTop | Qt::TextSingleLine, lines[l]);
            }
            break;
        }
        }
    }
    p.restore();
}

} // namespace tlm
