#pragma once

#include <QByteArray>
#include <QRawFont>
#include <QStringView>
#include <memory>
#include <string>
#include <vector>

struct hb_face_t;
struct hb_font_t;

namespace tlm {

// One TrueType face as a PDF document embeds it: the glyph ids of its texts (two bytes each, as
// Identity-H shows them), which glyphs were shown for which characters, and at the end the font file
// holding those glyphs only, their widths and the way back to the characters.
class PdfFont
{
public:
    explicit PdfFont(const QRawFont& raw);
    // False when the face has no TrueType outlines (glyf) to embed, or more glyphs than two bytes
    // can name.
    bool usable() const { return m_usable; }
    // What the face is by its tables: a request for bold or italic that meets neither is made up by Qt.
    bool bold() const;
    bool slanted() const;
    // The face at one size as Qt lays it out: the advance of each glyph in twips as Qt adds them up,
    // and what the PDF must add to the glyph's rounded width (Qt's W array, which pdftotext reads
    // for where a character ends) to put the next glyph there.
    struct Sized
    {
        QRawFont raw;
        double size = 0;
        std::vector<double> advance;
        // The glyph's id as string bytes and the TJ number that puts the next glyph in place, if one
        // is needed; empty until the glyph is first shown.
        std::vector<std::string> token;
        std::vector<quint8> idLength; // of the id's part of the token
    };
    Sized sized(const QRawFont& raw) const;
    // Appends the text as one TJ of glyph ids, placed glyph by glyph where Qt places them, and returns
    // its width as Qt aligns a line (trailing blanks left out); -1 when a character is not one this face
    // shows as it stands (Qt would take it from another font or lay it out by other rules).
    double appendText(QStringView text, Sized& size, std::string& out);
    int unitsPerEm() const { return m_unitsPerEm; }
    bool used() const { return m_anyUsed; }

    QByteArray postScriptName() const;
    // The TrueType file with the glyphs shown (and those they are built of), subset by HarfBuzz; the
    // other glyphs are empty so that the glyph ids stay those of the face.
    QByteArray fontFile() const;
    // The W array of the glyphs shown, in thousandths of the em.
    QByteArray widths() const;
    // The ToUnicode CMap: glyph id to the character it was shown for.
    QByteArray toUnicode() const;
    // FontBBox (of the glyphs shown), Ascent, Descent, CapHeight and ItalicAngle, in thousandths of the em.
    QByteArray descriptorMetrics() const;

private:
    struct HbFree
    {
        void operator()(hb_face_t* face) const;
        void operator()(hb_font_t* font) const;
    };

    quint16 glyphOf(char16_t c);
    void prepare(quint16 glyph, Sized& size) const;
    int advance(quint16 glyph) const; // font units
    QByteArray wholeFile() const;     // the face's tables as one file, when it cannot be subset

    QRawFont m_raw;
    std::unique_ptr<hb_face_t, HbFree> m_face;
    std::unique_ptr<hb_font_t, HbFree> m_font; // at a scale of one font unit
    bool m_usable = false;
    bool m_anyUsed = false;
    int m_unitsPerEm = 1000;
    int m_glyphCount = 0;
    std::vector<quint16> m_glyphOfChar;  // kUnknown until looked up
    std::vector<char16_t> m_charOfGlyph; // 0: not shown
    std::vector<char> m_blank;           // a blank's glyph: left out of a line's width at its end
    static constexpr quint16 kUnknown = 0xFFFF;
    static constexpr quint16 kNotPlain = 0xFFFE;
};

} // namespace tlm
