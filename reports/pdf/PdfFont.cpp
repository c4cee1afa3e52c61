#include "reports/pdf/PdfFont.h"

#include <QChar>
#include <algorithm>
#include <charconv>
#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>
#include <iterator>
#include <map>

namespace tlm {

namespace {
// A TJ correction in thousandths of the em to three decimals: a glyph stands within 1/10,000 twip of
// where Qt puts it.
constexpr int kShiftDecimals = 3;

// The tables a PDF viewer needs of an embedded TrueType font, and those the descriptor is made of;
// the first six every TrueType face has. No layout tables: the pages show glyph ids, nothing is shaped.
constexpr hb_tag_t kTables[] = {
    HB_TAG('h', 'e', 'a', 'd'), HB_TAG('h', 'h', 'e', 'a'), HB_TAG('m', 'a', 'x', 'p'),
    HB_TAG('h', 'm', 't', 'x'), HB_TAG('l', 'o', 'c', 'a'), HB_TAG('g', 'l', 'y', 'f'),
    HB_TAG('c', 'v', 't', ' '), HB_TAG('f', 'p', 'g', 'm'), HB_TAG('p', 'r', 'e', 'p'),
    HB_TAG('O', 'S', '/', '2'), HB_TAG('n', 'a', 'm', 'e'), HB_TAG('p', 'o', 's', 't')};
constexpr int kNeeded = 6;

// QRawFont hands out a face's tables by tag only: HarfBuzz reads them through this, each once, as it
// needs them (the subsetter tries the tags it knows). No lock: a PdfFont is used by one thread.
struct Tables
{
    QRawFont raw;
    std::map<hb_tag_t, hb_blob_t*> read;

    ~Tables()
    {
        for (const auto& [tag, blob] : read)
            hb_blob_destroy(blob);
    }
    static hb_blob_t* table(hb_face_t*, hb_tag_t tag, void* data)
    {
        auto& tables = *static_cast<Tables*>(data);
        auto it = tables.read.find(tag);
        if (it == tables.read.end()) {
            hb_blob_t* blob = hb_blob_get_empty();
            if (std::find(std::begin(kTables), std::end(kTables), tag) != std::end(kTables)) {
                char name[5] = {};
                hb_tag_to_string(tag, name);
                // The blob shares the QByteArray's bytes and keeps them until HarfBuzz lets it go.
                auto* kept = new QByteArray(tables.raw.fontTable(name));
                blob = hb_blob_create(kept->constData(), uint(kept->size()), HB_MEMORY_MODE_READONLY, kept,
                                      [](void* p) { delete static_cast<QByteArray*>(p); });
            }
            it = tables.read.emplace(tag, blob).first;
        }
        return hb_blob_reference(it->second);
    }
};

bool hasTable(hb_face_t* face, hb_tag_t tag)
{
    hb_blob_t* blob = hb_face_reference_table(face, tag);
    const bool has = hb_blob_get_length(blob) > 0;
    hb_blob_destroy(blob);
    return has;
}

QByteArray bytesOf(hb_blob_t* blob)
{
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    QByteArray bytes(data, qsizetype(length));
    hb_blob_destroy(blob);
    return bytes;
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

void PdfFont::HbFree::operator()(hb_face_t* face) const
{
    hb_face_destroy(face);
}

void PdfFont::HbFree::operator()(hb_font_t* font) const
{
    hb_font_destroy(font);
}

PdfFont::PdfFont(const QRawFont& raw) : m_raw(raw)
{
    if (!raw.isValid())
        return;
    m_face.reset(hb_face_create_for_tables(&Tables::table, new Tables{raw, {}},
                                           [](void* p) { delete static_cast<Tables*>(p); }));
    bool complete = true;
    for (int i = 0; i < kNeeded; ++i)
        complete = complete && hasTable(m_face.get(), kTables[i]);
    const int upem = int(hb_face_get_upem(m_face.get()));
    m_font.reset(hb_font_create(m_face.get()));
    hb_font_set_scale(m_font.get(), upem, upem);
    const int glyphs = int(hb_face_get_glyph_count(m_face.get()));
    if (!complete || glyphs < 1 || glyphs >= kNotPlain)
        return;
    m_unitsPerEm = upem;
    m_glyphCount = glyphs;
    m_glyphOfChar.assign(0x10000, kUnknown);
    m_charOfGlyph.assign(m_glyphCount, 0);
    m_blank.assign(m_glyphCount, 0);
    m_usable = true;
}

// As the face says of itself (a STAT or fvar table is not taken: the glyphs are those of the
// default instance).
bool PdfFont::bold() const
{
    return m_usable && hb_style_get_value(m_font.get(), HB_STYLE_TAG_WEIGHT) >= 600;
}

bool PdfFont::slanted() const
{
    return m_usable && hb_style_get_value(m_font.get(), HB_STYLE_TAG_ITALIC) > 0;
}

int PdfFont::advance(quint16 glyph) const
{
    return hb_font_get_glyph_h_advance(m_font.get(), glyph);
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
    const double n = qRound(advance(g) * 1000.0 / m_unitsPerEm) - a.x() * 1000.0 / size.size;
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
    if (!m_usable)
        return -1;
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
    unsigned count = 0;
    const hb_ot_name_entry_t* entries = m_face ? hb_ot_name_list_names(m_face.get(), &count) : nullptr;
    for (unsigned i = 0; i < count && name.isEmpty(); ++i) {
        if (entries[i].name_id != HB_OT_NAME_ID_POSTSCRIPT_NAME)
            continue;
        char text[128];
        unsigned size = sizeof text;
        hb_ot_name_get_utf8(m_face.get(), entries[i].name_id, entries[i].language, &size, text);
        name = QByteArray(text, qsizetype(size));
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
    if (!m_usable)
        return QByteArray();
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input)
        return wholeFile();
    hb_set_t* glyphs = hb_subset_input_glyph_set(input);
    for (int g = 0; g < m_glyphCount; ++g)
        if (m_charOfGlyph[g])
            hb_set_add(glyphs, hb_codepoint_t(g));
    // The viewer shows glyph ids and asks nothing of a name or a glyph's PostScript name.
    hb_set_t* drop = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    hb_set_add(drop, HB_TAG('n', 'a', 'm', 'e'));
    hb_set_add(drop, HB_TAG('p', 'o', 's', 't'));
    // Glyph ids as the content streams show them; glyph 0 drawn as in the face; the hints and
    // OS/2 kept as they are.
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE |
                                         HB_SUBSET_FLAGS_NO_PRUNE_UNICODE_RANGES);
    hb_face_t* subset = hb_subset_or_fail(m_face.get(), input);
    hb_subset_input_destroy(input);
    // The texts are written already: a face HarfBuzz cannot subset goes in whole.
    if (!subset)
        return wholeFile();
    QByteArray file = bytesOf(hb_face_reference_blob(subset));
    hb_face_destroy(subset);
    return file;
}

QByteArray PdfFont::wholeFile() const
{
    hb_face_t* builder = hb_face_builder_create();
    for (const hb_tag_t tag : kTables) {
        hb_blob_t* blob = hb_face_reference_table(m_face.get(), tag);
        if (hb_blob_get_length(blob) > 0)
            hb_face_builder_add_table(builder, tag, blob);
        hb_blob_destroy(blob);
    }
    QByteArray file = bytesOf(hb_face_reference_blob(builder));
    hb_face_destroy(builder);
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
        w += QByteArray::number(qRound(advance(g) * 1000.0 / m_unitsPerEm));
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
    hb_font_extents_t line{};
    // The box of the glyphs the file holds: those shown and glyph 0.
    int left = 0, bottom = 0, right = 0, top = 0;
    bool any = false;
    if (m_usable) {
        hb_font_get_h_extents(m_font.get(), &line);
        for (int g = 0; g < m_glyphCount; ++g) {
            hb_glyph_extents_t e;
            if ((g > 0 && !m_charOfGlyph[g]) || !hb_font_get_glyph_extents(m_font.get(), g, &e) ||
                (!e.width && !e.height))
                continue;
            const int l = e.x_bearing, r = e.x_bearing + e.width, t = e.y_bearing, b = e.y_bearing + e.height;
            left = any ? qMin(left, l) : l;
            right = any ? qMax(right, r) : r;
            top = any ? qMax(top, t) : t;
            bottom = any ? qMin(bottom, b) : b;
            any = true;
        }
    }
    const double ascent = line.ascender, descent = line.descender;
    hb_position_t capHeight = 0;
    if (!m_usable || !hb_ot_metrics_get_position(m_font.get(), HB_OT_METRICS_TAG_CAP_HEIGHT, &capHeight))
        capHeight = hb_position_t(ascent);
    const double angle = m_usable ? hb_style_get_value(m_font.get(), HB_STYLE_TAG_SLANT_ANGLE) : 0.0;
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, angle, std::chars_format::fixed, 2);
    return "/FontBBox [" + em(left) + ' ' + em(bottom) + ' ' + em(right) + ' ' + em(top) + "] /ItalicAngle " +
           QByteArray(buf, end - buf) + " /Ascent " + em(ascent) + " /Descent " + em(descent) +
           " /CapHeight " + em(capHeight) + " /StemV 80";
}

} // namespace tlm
