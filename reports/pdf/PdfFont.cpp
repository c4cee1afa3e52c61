#include "reports/pdf/PdfFont.h"

#include <QChar>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>

namespace tlm {

namespace {
// A TJ correction in thousandths of the em to three decimals: a glyph stands within 1/10,000 twip of
// where Qt puts it.
constexpr int kShiftDecimals = 3;

quint16 u16(const QByteArray& t, qsizetype at)
{
    if (at < 0 || at + 2 > t.size())
        return 0;
    return quint16(quint8(t[at]) << 8 | quint8(t[at + 1]));
}

qint16 s16(const QByteArray& t, qsizetype at)
{
    return qint16(u16(t, at));
}

quint32 u32(const QByteArray& t, qsizetype at)
{
    return quint32(u16(t, at)) << 16 | u16(t, at + 2);
}

void put16(QByteArray& t, qsizetype at, quint16 v)
{
    t[at] = char(v >> 8);
    t[at + 1] = char(v);
}

void put32(QByteArray& t, qsizetype at, quint32 v)
{
    put16(t, at, quint16(v >> 16));
    put16(t, at + 2, quint16(v));
}

void append32(QByteArray& t, quint32 v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    t.append(b, 4);
}

quint32 checksum(const QByteArray& t)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < t.size(); i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k)
            word = word << 8 | (i + k < t.size() ? quint8(t[i + k]) : 0);
        sum += word;
    }
    return sum;
}

// A number in thousandths of the em, as PDF reads it: three decimals at most.
QByteArray thousandths(double fontUnits, int unitsPerEm)
{
    char buf[32];
    const double v = fontUnits * 1000.0 / unitsPerEm;
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    while (end > buf && end[-1] == '0')
        --end;
    if (end > buf && end[-1] == '.')
        --end;
    return QByteArray(buf, end - buf);
}

// A character laid out by the plain rules: one glyph of its own font, left to right, no mark placed on
// another, no control that Qt hides or replaces.
bool plain(char16_t c)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xAD)
        return false;
    const QChar q(c);
    switch (q.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return false;
    default:
        break;
    }
    switch (q.direction()) {
    case QChar::DirL:
    case QChar::DirEN:
    case QChar::DirES:
    case QChar::DirET:
    case QChar::DirCS:
    case QChar::DirWS:
    case QChar::DirON:
        return true;
    default:
        return false;
    }
}
} // namespace

PdfFont::PdfFont(const QRawFont& raw) : m_raw(raw)
{
    if (!raw.isValid())
        return;
    m_head = raw.fontTable("head");
    m_hhea = raw.fontTable("hhea");
    m_maxp = raw.fontTable("maxp");
    m_hmtx = raw.fontTable("hmtx");
    m_loca = raw.fontTable("loca");
    m_glyf = raw.fontTable("glyf");
    m_os2 = raw.fontTable("OS/2");
    m_post = raw.fontTable("post");
    if (m_head.size() < 54 || m_hhea.size() < 36 || m_maxp.size() < 6 || m_glyf.isEmpty())
        return;
    m_unitsPerEm = u16(m_head, 18);
    m_glyphCount = u16(m_maxp, 4);
    const int metrics = u16(m_hhea, 34);
    const bool longLoca = s16(m_head, 50) == 1;
    if (m_unitsPerEm < 16 || m_glyphCount < 1 || m_glyphCount >= kNotPlain || metrics < 1 ||
        metrics > m_glyphCount || m_hmtx.size() < 4 * metrics ||
        m_loca.size() < (m_glyphCount + 1) * (longLoca ? 4 : 2))
        return;
    m_advance.resize(m_glyphCount);
    for (int g = 0; g < m_glyphCount; ++g)
        m_advance[g] = u16(m_hmtx, 4 * qMin(g, metrics - 1));
    m_glyphOfChar.assign(0x10000, kUnknown);
    m_charOfGlyph.assign(m_glyphCount, 0);
    m_blank.assign(m_glyphCount, 0);
    m_usable = true;
}

bool PdfFont::bold() const
{
    return (u16(m_head, 44) & 1) || (m_os2.size() >= 6 && u16(m_os2, 4) >= 600);
}

bool PdfFont::slanted() const
{
    return (u16(m_head, 44) & 2) || (m_os2.size() >= 64 && (u16(m_os2, 62) & 0x201));
}

quint16 PdfFont::glyphOf(char16_t c)
{
    quint16& g = m_glyphOfChar[c];
    if (g != kUnknown)
        return g;
    g = kNotPlain;
    if (!plain(c))
        return g;
    const QChar q(c);
    quint32 id = 0;
    int n = 1;
    if (m_raw.glyphIndexesForChars(&q, 1, &id, &n) && n == 1 && id > 0 && id < quint32(m_glyphCount)) {
        g = quint16(id);
        if (q.category() == QChar::Separator_Space)
            m_blank[g] = 1;
    }
    return g;
}

PdfFont::Sized PdfFont::sized(const QRawFont& raw) const
{
    Sized s;
    s.raw = raw;
    s.size = raw.pixelSize();
    s.advance.resize(m_glyphCount);
    s.token.resize(m_glyphCount);
    s.idLength.resize(m_glyphCount);
    return s;
}

void PdfFont::prepare(quint16 g, Sized& size) const
{
    QPointF a;
    quint32 id = g;
    size.raw.advancesForGlyphIndexes(&id, &a, 1);
    size.advance[g] = a.x();
    std::string& token = size.token[g];
    // The id's two bytes in a literal string, half the size of hex: a parenthesis, a backslash and a
    // carriage return (which a reader would take for a line end) are escaped.
    for (const char byte : {char(g >> 8), char(g & 0xFF)}) {
        if (byte == '(' || byte == ')' || byte == '\\')
            token += '\\';
        token += byte == '\r' ? std::string("\\r") : std::string(1, byte);
    }
    size.idLength[g] = quint8(token.size());
    // Qt's width of the glyph rounded to thousandths of the em, as the W array has it, against the
    // advance Qt lays out.
    const double n = qRound(m_advance[g] * 1000.0 / m_unitsPerEm) - a.x() * 1000.0 / size.size;
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::fixed, kShiftDecimals);
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.')
        --end;
    std::string number(buf, end);
    // "-.105" is a PDF number as well; the byte less on most glyphs is worth its deflating.
    if (number.size() > 1 && number.compare(0, 2, "0.") == 0)
        number.erase(0, 1);
    else if (number.size() > 2 && number.compare(0, 3, "-0.") == 0)
        number.erase(1, 1);
    if (number != "0" && number != "-0")
        token += ')' + number + '(';
}

double PdfFont::appendText(QStringView text, Sized& size, std::string& out)
{
    double width = 0, blanks = 0;
    const size_t start = out.size();
    out += "[(";
    size_t lastShift = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        const quint16 g = glyphOf(c);
        if (g >= kNotPlain) {
            out.resize(start);
            return -1;
        }
        if (size.token[g].empty())
            prepare(g, size);
        const std::string& token = size.token[g];
        out += token;
        lastShift = token.size() - size.idLength[g];
        if (!m_charOfGlyph[g]) {
            m_charOfGlyph[g] = c;
            m_anyUsed = true;
        }
        if (m_blank[g]) {
            blanks += size.advance[g];
        } else {
            width += blanks + size.advance[g];
            blanks = 0;
        }
    }
    out.resize(out.size() - lastShift); // nothing follows the last glyph
    out += ")]TJ";
    return width;
}

QByteArray PdfFont::postScriptName() const
{
    QByteArray name;
    const QByteArray table = m_raw.fontTable("name");
    const int count = u16(table, 2), strings = u16(table, 4);
    for (int i = 0; i < count && name.isEmpty(); ++i) {
        const qsizetype r = 6 + 12 * qsizetype(i);
        if (u16(table, r + 6) != 6)
            continue;
        const int platform = u16(table, r), length = u16(table, r + 8), offset = u16(table, r + 10);
        const qsizetype at = qsizetype(strings) + offset;
        if (at + length > table.size())
            continue;
        if (platform == 1)
            name = table.mid(at, length);
        else if (platform == 3 || platform == 0)
            for (int k = 0; k + 1 < length; k += 2)
                name += char(u16(table, at + k) < 0x80 ? u16(table, at + k) : '-');
    }
    if (name.isEmpty())
        name = m_raw.familyName().toLatin1() + '-' + m_raw.styleName().toLatin1();
    QByteArray clean;
    for (const char c : name)
        if (c > 0x20 && c < 0x7F && !QByteArray("()<>[]{}/%#").contains(c))
            clean += c;
    return clean.isEmpty() ? QByteArray("Font") : clean;
}

QByteArray PdfFont::fontFile() const
{
    const bool longLoca = s16(m_head, 50) == 1;
    auto offset = [&](int g) {
        return longLoca ? qsizetype(u32(m_loca, 4 * g)) : 2 * qsizetype(u16(m_loca, 2 * g));
    };
    // The glyphs shown, glyph 0, and the parts of composite glyphs.
    std::vector<char> keep(m_glyphCount, 0);
    std::vector<int> todo{0};
    for (int g = 0; g < m_glyphCount; ++g)
        if (m_charOfGlyph[g])
            todo.push_back(g);
    while (!todo.empty()) {
        const int g = todo.back();
        todo.pop_back();
        if (keep[g])
            continue;
        keep[g] = 1;
        const qsizetype from = offset(g), to = offset(g + 1);
        if (to - from < 10 || to > m_glyf.size() || s16(m_glyf, from) >= 0)
            continue;
        qsizetype at = from + 10;
        for (;;) {
            if (at + 4 > to)
                break;
            const quint16 flags = u16(m_glyf, at), part = u16(m_glyf, at + 2);
            if (part < m_glyphCount)
                todo.push_back(part);
            at += 4 + ((flags & 1) ? 4 : 2);
            at += (flags & 8) ? 2 : (flags & 0x40) ? 4 : (flags & 0x80) ? 8 : 0;
            if (!(flags & 0x20))
                break;
        }
    }
    QByteArray glyf, loca;
    loca.reserve(4 * (m_glyphCount + 1));
    for (int g = 0; g < m_glyphCount; ++g) {
        append32(loca, quint32(glyf.size()));
        const qsizetype from = offset(g), to = qMin(offset(g + 1), m_glyf.size());
        if (keep[g] && to > from) {
            glyf.append(m_glyf.constData() + from, to - from);
            while (glyf.size() % 4)
                glyf.append('\0');
        }
    }
    append32(loca, quint32(glyf.size()));
    QByteArray head = m_head;
    put32(head, 8, 0);  // checkSumAdjustment, set once the file is whole
    put16(head, 50, 1); // long loca

    std::map<QByteArray, QByteArray> tables = {{"glyf", glyf},   {"head", head}, {"hhea", m_hhea},
                                               {"hmtx", m_hmtx}, {"loca", loca}, {"maxp", m_maxp}};
    for (const char* tag : {"cvt ", "fpgm", "prep", "OS/2"})
        if (QByteArray t = m_raw.fontTable(tag); !t.isEmpty())
            tables[tag] = t;
    const int n = int(tables.size());
    int selector = 0;
    while ((2 << selector) <= n)
        ++selector;
    QByteArray file;
    append32(file, 0x00010000);
    file.append(char(n >> 8)).append(char(n));
    const int range = 16 << selector;
    file.append(char(range >> 8)).append(char(range));
    file.append(char(selector >> 8)).append(char(selector));
    file.append(char((n * 16 - range) >> 8)).append(char(n * 16 - range));
    qsizetype at = 12 + 16 * n;
    qsizetype headAt = 0;
    for (const auto& [tag, data] : tables) {
        file.append(tag.constData(), 4);
        append32(file, checksum(data));
        append32(file, quint32(at));
        append32(file, quint32(data.size()));
        if (tag == "head")
            headAt = at;
        at += (data.size() + 3) / 4 * 4;
    }
    for (const auto& [tag, data] : tables) {
        file.append(data);
        while (file.size() % 4)
            file.append('\0');
    }
    put32(file, headAt + 8, 0xB1B0AFBA - checksum(file));
    return file;
}

QByteArray PdfFont::widths() const
{
    QByteArray w("[");
    int last = -2;
    for (int g = 0; g < m_glyphCount; ++g) {
        if (!m_charOfGlyph[g])
            continue;
        if (g != last + 1) {
            if (last >= 0)
                w += "]\n";
            w += QByteArray::number(g) + " [";
        } else {
            w += ' ';
        }
        w += QByteArray::number(qRound(m_advance[g] * 1000.0 / m_unitsPerEm));
        last = g;
    }
    if (last >= 0)
        w += ']';
    return w + ']';
}

QByteArray PdfFont::toUnicode() const
{
    std::vector<int> shown;
    for (int g = 0; g < m_glyphCount; ++g)
        if (m_charOfGlyph[g])
            shown.push_back(g);
    QByteArray c("/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                 "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                 "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                 "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
    for (size_t i = 0; i < shown.size(); i += 100) {
        const size_t n = qMin<size_t>(100, shown.size() - i);
        c += QByteArray::number(qulonglong(n)) + " beginbfchar\n";
        for (size_t k = i; k < i + n; ++k)
            c += '<' + QByteArray::number(shown[k], 16).rightJustified(4, '0').toUpper() + "> <" +
                 QByteArray::number(uint(m_charOfGlyph[shown[k]]), 16).rightJustified(4, '0').toUpper() +
                 ">\n";
        c += "endbfchar\n";
    }
    return c + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

QByteArray PdfFont::descriptorMetrics() const
{
    auto em = [&](double v) { return thousandths(v, m_unitsPerEm); };
    const double ascent = s16(m_hhea, 4), descent = s16(m_hhea, 6);
    const double capHeight = m_os2.size() >= 90 && u16(m_os2, 0) >= 2 ? s16(m_os2, 88) : ascent;
    const double angle = m_post.size() >= 8 ? qint32(u32(m_post, 4)) / 65536.0 : 0.0;
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, angle, std::chars_format::fixed, 2);
    return "/FontBBox [" + em(s16(m_head, 36)) + ' ' + em(s16(m_head, 38)) + ' ' + em(s16(m_head, 40)) + ' ' +
           em(s16(m_head, 42)) + "] /ItalicAngle " + QByteArray(buf, end - buf) + " /Ascent " + em(ascent) +
           " /Descent " + em(descent) + " /CapHeight " + em(capHeight) + " /StemV 80";
}

} // namespace tlm
