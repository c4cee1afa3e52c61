#include "reports/ReportWriter.h"

#include "data/Error.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

namespace tlm {

namespace {
constexpr double kPadX = 60;
constexpr double kPadY = 25;

// Fonts are sized in twips (20 per point) so that measuring and painting share one unit.
QFont qtFont(const ReportFont& f)
{
    QFont font(f.name);
    font.setPixelSize(qMax(1, qRound(f.size * 20)));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

struct Column
{
    double width;
    bool right;
};

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
            raise(5, QStringLiteral("Unzulässiger Prozeduraufruf oder ungültiges Argument (Tabellenformat '%1')")
                         .arg(format.left(100)));
        cols << c;
    }
    return cols;
}

// Breaks a text into lines no wider than width; a word longer than the line is broken by characters.
QStringList wrap(const QString& text, const QFontMetricsF& fm, double width)
{
    QStringList out;
    const QStringList paragraphs = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QRegularExpression(QStringLiteral("[\r\n]")));
    for (const QString& para : paragraphs) {
        QString line;
        const QStringList words = para.split(' ');
        for (int i = 0; i < words.size(); ++i) {
            QString word = words[i];
            QString candidate = line.isEmpty() ? word : line + ' ' + word;
            if (fm.horizontalAdvance(candidate) <= width || (line.isEmpty() && word.isEmpty())) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty()) {
                out << line;
                line.clear();
            }
            while (!word.isEmpty() && fm.horizontalAdvance(word) > width) {
                int n = 1;
                while (n < word.size() && fm.horizontalAdvance(word.left(n + 1)) <= width)
                    ++n;
                out << word.left(n);
                word.remove(0, n);
            }
            line = word;
        }
        out << line;
    }
    return out;
}
} // namespace

void ReportWriter::PageMargins(int left, int right, int top)
{
    m_left = left;
    m_right = right;
    m_top = top;
}

void ReportWriter::PageHeader(const QString& threeParts) { m_header = threeParts.split('|'); }

void ReportWriter::HeaderFont(const QString& name, double size, bool bold) { m_headerFont = {name, size, bold, false}; }

void ReportWriter::TextFont(const QString& name, double size, bool bold, bool italic)
{
    m_textFont = {name, size, bold, italic};
}

void ReportWriter::BeginDocument()
{
    m_pages.clear();
    m_rows.clear();
    m_started = true;
    m_complete = false;
    m_cursorY = bodyTop();
    newPage();
    documentChanged();
}

void ReportWriter::newPage()
{
    ReportPage page;
    const QFontMetricsF fm(qtFont(m_headerFont));
    const double width = kPageWidth - m_left - m_right;
    const QRectF rect(m_left, m_top, width, fm.height());
    for (int i = 0; i < 3 && i < m_header.size(); ++i) {
        ReportItem item;
        item.rect = rect;
        item.text = m_header[i];
        item.lines = QStringList{m_header[i]};
        item.font = m_headerFont;
        item.align = i == 0 ? ReportItem::Left : (i == 1 ? ReportItem::Centre : ReportItem::Right);
        page.items << item;
    }
    m_pages << page;
}

void ReportWriter::AppendTable(const QString& format, const QString& rows, const QColor& shade, bool tableOption)
{
    QString r = rows;
    if (r.endsWith(';'))
        r.chop(1);
    QVector<QStringList> split;
    for (const QString& rowText : r.split(';'))
        split << rowText.split('|');
    AppendRows(format, split, shade, tableOption);
}

void ReportWriter::AppendRows(const QString& format, const QVector<QStringList>& rows, const QColor& shade, bool)
{
    if (!m_started)
        BeginDocument();
    const QVector<Column> cols = parseFormat(format);
    const QFont font = qtFont(m_textFont);
    const QFontMetricsF fm(font);
    const double lineHeight = fm.height();
    for (const QStringList& cells : rows) {
        QVector<QStringList> wrapped;
        int lines = 1;
        for (int c = 0; c < cols.size(); ++c) {
            wrapped << wrap(cells.value(c), fm, qMax(1.0, cols[c].width - 2 * kPadX));
            lines = qMax(lines, int(wrapped.last().size()));
        }
        const double height = lines * lineHeight + 2 * kPadY;
        if (m_cursorY + height > bodyBottom() && m_cursorY > bodyTop()) {
            newPage();
            m_cursorY = bodyTop();
        }
        ReportPage& page = m_pages.last();
        double total = 0;
        for (const Column& c : cols)
            total += c.width;
        const QRectF rowRect(m_left, m_cursorY, total, height);
        if (shade.isValid())
            page.items << ReportItem{ReportItem::Shade, rowRect, {}, {}, m_textFont, ReportItem::Left, shade};
        double x = m_left;
        for (int c = 0; c < cols.size(); ++c) {
            ReportItem item;
            item.rect = QRectF(x + kPadX, m_cursorY + kPadY, qMax(1.0, cols[c].width - 2 * kPadX), lines * lineHeight);
            item.text = cells.value(c);
            item.lines = wrapped[c];
            item.font = m_textFont;
            item.align = cols[c].right ? ReportItem::Right : ReportItem::Left;
            page.items << item;
            if (m_frame == 1)
                page.items << ReportItem{ReportItem::Frame, QRectF(x, m_cursorY, cols[c].width, height), {}, {},
                                         m_textFont, ReportItem::Left, Qt::black};
            x += cols[c].width;
        }
        m_rows << ReportRow{pageCount() - 1, m_cursorY, height, cells.mid(0, cols.size())};
        m_cursorY += height;
    }
    documentChanged();
}

void ReportWriter::EndDocument()
{
    m_complete = true;
    documentChanged();
}

QStringList ReportWriter::pageTexts(int page) const
{
    QStringList out;
    if (page < 0 || page >= m_pages.size())
        return out;
    for (const ReportItem& i : m_pages[page].items)
        if (i.kind == ReportItem::Text)
            out << i.text;
    return out;
}

QStringList ReportWriter::rowTexts() const
{
    QStringList out;
    for (const ReportRow& r : m_rows)
        out << r.cells.join('|');
    return out;
}

void ReportWriter::paintPage(QPainter& p, int page, const QRectF& target) const
{
    if (page < 0 || page >= m_pages.size())
        return;
    p.save();
    p.fillRect(target, Qt::white);
    p.translate(target.topLeft());
    p.scale(target.width() / kPageWidth, target.height() / kPageHeight);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (const ReportItem& i : m_pages[page].items) {
        switch (i.kind) {
        case ReportItem::Shade:
            p.fillRect(i.rect, i.colour);
            break;
        case ReportItem::Frame:
            p.setPen(QPen(Qt::black, 10));
            p.setBrush(Qt::NoBrush);
            p.drawRect(i.rect);
            break;
        case ReportItem::Text: {
            const QFont f = qtFont(i.font);
            p.setFont(f);
            p.setPen(Qt::black);
            const QFontMetricsF fm(f);
            const int align = i.align == ReportItem::Centre ? Qt::AlignHCenter
                              : i.align == ReportItem::Right  ? Qt::AlignRight
                                                              : Qt::AlignLeft;
            for (int l = 0; l < i.lines.size(); ++l) {
                const QRectF line(i.rect.left(), i.rect.top() + l * fm.height(), i.rect.width(), fm.height());
                p.drawText(line, align | Qt::AlignTop | Qt::TextSingleLine, i.lines[l]);
            }
            break;
        }
        }
    }
    p.restore();
}

} // namespace tlm
