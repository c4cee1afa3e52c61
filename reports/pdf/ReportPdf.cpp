#include "reports/pdf/ReportPdf.h"

#include "reports/ReportWriter.h"
#include "reports/pdf/PdfFile.h"
#include "reports/pdf/PdfFont.h"

#include <QColor>
#include <QDateTime>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <charconv>
#include <memory>
#include <optional>
#include <vector>

namespace tlm {

namespace {
// A number as PDF reads it, with at most the decimals given.
void appendNumber(std::string& out, double v, int decimals = 2)
{
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (decimals > 0) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
    }
    if (end - buf == 2 && buf[0] == '-' && buf[1] == '0')
        buf[0] = '0', end = buf + 1;
    out.append(buf, end);
    out += ' ';
}

// A number given in hundredths, as PDF reads it: "-12.5 ".
void appendHundredths(std::string& out, qint64 v)
{
    if (v < 0) {
        out += '-';
        v = -v;
    }
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v / 100);
    const int cents = int(v % 100);
    if (cents) {
        *end++ = '.';
        *end++ = char('0' + cents / 10);
        if (cents % 10)
            *end++ = char('0' + cents % 10);
    }
    *end++ = ' ';
    out.append(buf, end);
}

QByteArray number(double v, int decimals = 2)
{
    std::string s;
    appendNumber(s, v, decimals);
    s.pop_back();
    return QByteArray::fromStdString(s);
}

// A text string of the document information, in UTF-16 so that umlauts stay.
QByteArray infoText(const QString& s)
{
    QByteArray out("<FEFF");
    for (const QChar c : s)
        out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out + '>';
}

QByteArray pdfDate(const QDateTime& t)
{
    const int offset = t.offsetFromUtc() / 60;
    QByteArray zone = offset == 0 ? QByteArray("Z")
                                  : QByteArray(offset < 0 ? "-" : "+") +
                                        QByteArray::number(qAbs(offset) / 60).rightJustified(2, '0') + '\'' +
                                        QByteArray::number(qAbs(offset) % 60).rightJustified(2, '0') + '\'';
    return "(D:" + t.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + zone + ')';
}

// The faces of the document, each embedded once, and its fonts as a face at a size.
class Fonts
{
public:
    explicit Fonts(const ReportWriter& doc) : m_doc(doc) {}
    struct Face
    {
        std::unique_ptr<PdfFont> font;
        QByteArray resource; // /F0, /F1, ...
    };
    struct Use
    {
        int face = -1;
        double size = 0;   // twips
        double ascent = 0; // twips, from the top of a line to its baseline
        double height = 0; // of a line
        bool plain = false;
        std::unique_ptr<PdfFont::Sized> sized;
    };
    // The font of an item; nullptr when it is not one to write by ourselves.
    Use* use(int index)
    {
        if (index < 0 || index >= m_doc.fontCount())
            return nullptr;
        if (size_t(index) >= m_uses.size())
            m_uses.resize(index + 1);
        Use& u = m_uses[index];
        if (u.face < 0) {
            const QFont& font = m_doc.paintFont(index);
            const QRawFont raw = QRawFont::fromFont(font);
            const QString key = raw.familyName() + '\n' + raw.styleName() + '\n' +
                                QString::number(raw.weight()) + '\n' + QString::number(int(raw.style()));
            auto it = m_byKey.constFind(key);
            if (it == m_byKey.constEnd()) {
                Face f{std::make_unique<PdfFont>(raw), "/F" + QByteArray::number(qsizetype(m_faces.size()))};
                m_faces.push_back(std::move(f));
                it = m_byKey.insert(key, int(m_faces.size()) - 1);
            }
            u.face = *it;
            const PdfFont& face = *m_faces[u.face].font;
            const ReportFont& wanted = m_doc.font(index);
            // A bold or slant the face lacks Qt makes up when it paints; such a font is left to Qt.
            u.plain = face.usable() && (!wanted.bold || face.bold()) && (!wanted.italic || face.slanted());
            u.size = raw.pixelSize();
            u.ascent = QFontMetricsF(font).ascent();
            u.height = m_doc.lineHeight(index);
            if (u.plain)
                u.sized = std::make_unique<PdfFont::Sized>(face.sized(raw));
        }
        return u.plain ? &u : nullptr;
    }
    Face& face(int i) { return m_faces[i]; }
    int faceCount() const { return int(m_faces.size()); }

private:
    const ReportWriter& m_doc;
    std::vector<Face> m_faces;
    QHash<QString, int> m_byKey;
    std::vector<Use> m_uses;
};

// One page's content: positions in twips from the top left, turned into the page's points by its
// matrix, as Qt's own PDF engine maps them.
class PageContent
{
public:
    PageContent(Fonts& fonts, double pageHeight) : m_fonts(fonts), m_pageHeight(pageHeight) {}
    void start(const QByteArray& matrix)
    {
        m_out.clear();
        m_out.append(matrix.constData(), matrix.size());
        m_out += " cm 2 J 2 j 10 w\n"; // Qt's pen: square caps, bevelled joins; the rules are 10 twips
        m_inText = false;
        m_black = true;
        m_face = -1;
        m_size = -1;
    }
    void shade(const QRectF& r, QRgb colour)
    {
        endText();
        appendNumber(m_out, qRed(colour) / 255.0, 4);
        appendNumber(m_out, qGreen(colour) / 255.0, 4);
        appendNumber(m_out, qBlue(colour) / 255.0, 4);
        m_out += "rg ";
        rect(r);
        m_out += "f\n";
        m_black = colour == qRgb(0, 0, 0);
    }
    void frame(const QRectF& r)
    {
        endText();
        rect(r);
        m_out += "S\n";
    }
    void cut(const QRectF& r)
    {
        endText();
        // Qt's grey, dashed four widths on and two off.
        m_out += "0.6275 0.6275 0.6431 RG [40 20] 0 d ";
        appendNumber(m_out, r.left());
        appendNumber(m_out, m_pageHeight - r.top());
        m_out += "m ";
        appendNumber(m_out, r.right());
        appendNumber(m_out, m_pageHeight - r.top());
        m_out += "l S 0 G [] 0 d\n";
    }
    // One line of an item's text where Qt's drawText puts it; false when it is not plain.
    bool line(Fonts::Use& use, QStringView text, const QRectF& r, ReportItem::Align align, int lineNo)
    {
        if (text.isEmpty())
            return true;
        PdfFont& font = *m_fonts.face(use.face).font;
        m_text.clear();
        const double width = font.appendText(text, *use.sized, m_text);
        if (width < 0)
            return false;
        double x = r.left();
        if (align != ReportItem::Left)
            x = align == ReportItem::Right ? r.right() - width : r.left() + (r.width() - width) / 2;
        const double baseline = r.top() + lineNo * use.height + use.ascent;
        if (!m_inText) {
            if (!m_black)
                m_out += "0 g ";
            m_black = true;
            m_out += "BT\n";
            m_inText = true;
            m_x = m_y = 0;
        }
        if (use.face != m_face || use.size != m_size) {
            const QByteArray& name = m_fonts.face(use.face).resource;
            m_out.append(name.constData(), name.size());
            m_out += ' ';
            appendNumber(m_out, use.size);
            m_out += "Tf ";
            m_face = use.face;
            m_size = use.size;
        }
        // Relative moves in hundredths of a twip, so that they add up to the place exactly.
        const qint64 x100 = qRound64(x * 100), y100 = qRound64((m_pageHeight - baseline) * 100);
        appendHundredths(m_out, x100 - m_x);
        appendHundredths(m_out, y100 - m_y);
        m_x = x100;
        m_y = y100;
        m_out += "Td ";
        m_out += m_text;
        m_out += '\n';
        return true;
    }
    const std::string& finish()
    {
        endText();
        return m_out;
    }

private:
    void endText()
    {
        if (m_inText)
            m_out += "ET\n";
        m_inText = false;
    }
    void rect(const QRectF& r)
    {
        appendNumber(m_out, r.left());
        appendNumber(m_out, m_pageHeight - r.bottom());
        appendNumber(m_out, r.width());
        appendNumber(m_out, r.height());
        m_out += "re ";
    }

    Fonts& m_fonts;
    double m_pageHeight;
    std::string m_out, m_text;
    bool m_inText = false;
    bool m_black = true;
    int m_face = -1;
    double m_size = -1;
    qint64 m_x = 0, m_y = 0;
};

bool writeFont(PdfFile& file, PdfFont& font, int type0, int tag)
{
    const int cid = file.reserve(), descriptor = file.reserve(), fontFile = file.reserve(),
              unicode = file.reserve();
    // A subset's name starts with six capitals of its own.
    QByteArray prefix("TLMAAA");
    for (int i = 5, t = tag; i >= 3; --i, t /= 26)
        prefix[i] = char('A' + t % 26);
    const QByteArray name = '/' + prefix + '+' + font.postScriptName();
    const QByteArray ref = " 0 R";
    const QByteArray data = font.fontFile();
    file.stream(fontFile, data, " /Length1 " + QByteArray::number(data.size()));
    file.stream(unicode, font.toUnicode());
    file.object(descriptor, "<< /Type /FontDescriptor /FontName " + name + " /Flags 4 " +
                                font.descriptorMetrics() + " /FontFile2 " + QByteArray::number(fontFile) +
                                ref + " >>");
    file.object(cid, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + name +
                         " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                         " /FontDescriptor " +
                         QByteArray::number(descriptor) + ref + " /CIDToGIDMap /Identity /DW 1000 /W " +
                         font.widths() + " >>");
    file.object(type0, "<< /Type /Font /Subtype /Type0 /BaseFont " + name +
                           " /Encoding /Identity-H /DescendantFonts [" + QByteArray::number(cid) + ref +
                           "] /ToUnicode " + QByteArray::number(unicode) + ref + " >>");
    return true;
}
} // namespace

struct PdfStream::State
{
    explicit State(const QString& path) : file(path) {}
    PdfFile file;
    int catalog = 0, pages = 0, info = 0, resources = 0;
    std::optional<Fonts> fonts;
    std::optional<PageContent> content;
    QByteArray matrix, pageStart, kids;
    int count = 0;
    PdfWritten result = PdfWritten::Yes;

    // The page as QPdfWriter makes it at 600 dpi: its size in points, and the twips scaled to its
    // pixels. Known with the first page: a report sets its page up when it begins.
    void start(const ReportWriter& doc)
    {
        const QPageLayout layout(QPageSize(QPageSize::A4),
                                 doc.isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                                 QMarginsF(0, 0, 0, 0));
        const QRect pixels = layout.fullRectPixels(600);
        const QRectF points = layout.fullRectPoints();
        const double sx = pixels.width() / doc.pageWidth() * 72.0 / 600.0;
        const double sy = pixels.height() / doc.pageHeight() * 72.0 / 600.0;
        matrix = number(sx, 9) + " 0 0 " + number(sy, 9) + " 0 " +
                 number(points.height() - doc.pageHeight() * sy, 6);
        const QByteArray mediaBox =
            "/MediaBox [0 0 " + number(points.width()) + ' ' + number(points.height()) + ']';
        fonts.emplace(doc);
        content.emplace(*fonts, doc.pageHeight());
        pageStart = "<< /Type /Page /Parent " + QByteArray::number(pages) + " 0 R " + mediaBox +
                    " /Resources " + QByteArray::number(resources) + " 0 R /Contents ";
    }

    // false when the page holds what this writer cannot show.
    bool write(const ReportPage& page)
    {
        content->start(matrix);
        for (const ReportItem& i : page.items) {
            switch (i.kind) {
            case ReportItem::Shade:
                content->shade(i.rect, i.colour);
                break;
            case ReportItem::Frame:
                content->frame(i.rect);
                break;
            case ReportItem::Cut:
                content->cut(i.rect);
                break;
            case ReportItem::Text: {
                Fonts::Use* use = fonts->use(i.font);
                if (!use)
                    return false;
                if (i.lines.isEmpty()) {
                    if (!content->line(*use, i.text, i.rect, i.align, 0))
                        return false;
                    break;
                }
                for (int l = 0; l < i.lines.size(); ++l)
                    if (!content->line(*use, i.lines[l], i.rect, i.align, l))
                        return false;
                break;
            }
            }
        }
        const std::string& text = content->finish();
        const int pageObject = file.reserve(), contents = file.reserve();
        file.stream(contents, QByteArray(text.data(), qsizetype(text.size())));
        file.object(pageObject, pageStart + QByteArray::number(contents) + " 0 R >>");
        kids += QByteArray::number(pageObject) + " 0 R ";
        ++count;
        return true;
    }
};

PdfStream::PdfStream(const QString& path, const QString& creator)
    : d(std::make_unique<State>(path)), m_creator(creator)
{
    if (!d->file.open()) {
        d->result = PdfWritten::Failed;
        return;
    }
    d->catalog = d->file.reserve();
    d->pages = d->file.reserve();
    d->info = d->file.reserve();
    d->resources = d->file.reserve();
}

PdfStream::~PdfStream() = default;

void PdfStream::take(const ReportWriter& doc, const ReportPage& page)
{
    if (d->result != PdfWritten::Yes)
        return;
    if (!d->fonts)
        d->start(doc);
    if (!d->write(page))
        d->result = PdfWritten::NotPlain;
}

void PdfStream::restarted()
{
    if (d->result == PdfWritten::Yes)
        d->result = PdfWritten::NotPlain;
}

PdfWritten PdfStream::finish(const ReportWriter& doc)
{
    if (d->result != PdfWritten::Yes)
        return d->result;
    if (!d->fonts)
        d->start(doc); // a document without pages
    PdfFile& file = d->file;
    QByteArray fontDict;
    for (int f = 0; f < d->fonts->faceCount(); ++f) {
        Fonts::Face& face = d->fonts->face(f);
        if (!face.font->used())
            continue;
        const int type0 = file.reserve();
        writeFont(file, *face.font, type0, f);
        fontDict += face.resource + ' ' + QByteArray::number(type0) + " 0 R ";
    }
    file.object(d->resources, "<< /Font << " + fontDict + ">> /ProcSet [/PDF /Text] >>");
    file.object(d->pages,
                "<< /Type /Pages /Kids [" + d->kids + "] /Count " + QByteArray::number(d->count) + " >>");
    file.object(d->catalog, "<< /Type /Catalog /Pages " + QByteArray::number(d->pages) + " 0 R >>");
    const QByteArray maker = infoText(m_creator);
    file.object(d->info, "<< /Title " + infoText(doc.documentTitle()) + " /Creator " + maker + " /Producer " +
                             maker + " /CreationDate " + pdfDate(QDateTime::currentDateTime()) + " >>");
    d->result = file.finish(d->catalog, d->info) ? PdfWritten::Yes : PdfWritten::Failed;
    return d->result;
}

PdfWritten writeReportPdf(const ReportWriter& doc, const QString& path, const QString& creator)
{
    PdfStream pdf(path, creator);
    for (int i = 0; i < doc.pageCount(); ++i)
        pdf.take(doc, doc.page(i));
    return pdf.finish(doc);
}

bool writeQtPdf(const ReportWriter& doc, const QString& path, const QString& creator)
{
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(doc.isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(600);
    pdf.setTitle(doc.documentTitle());
    pdf.setCreator(creator);
    QPainter p;
    if (!p.begin(&pdf))
        return false;
    const QRectF target(0, 0, pdf.width(), pdf.height());
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0)
            pdf.newPage();
        doc.paintPage(p, i, target);
    }
    return p.end();
}

} // namespace tlm
