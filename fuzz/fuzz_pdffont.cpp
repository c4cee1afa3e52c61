// A font file of any bytes: whatever Qt loads of it, PdfFont shows texts in it and writes what a PDF
// embeds of it (the HarfBuzz subset, widths, ToUnicode, descriptor) without a crash or a leak.
#include "reports/pdf/PdfFont.h"

#include <QGuiApplication>
#include <QRawFont>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt's font statics made after it (by the first font loaded from data) would be
    // gone before it at exit, and its destructor reaches for them.
    static const QGuiApplication* app = new QGuiApplication(*argc, *argv);
    Q_UNUSED(app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QRawFont raw(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), 12);
    tlm::PdfFont font(raw);
    font.bold();
    font.slanted();
    if (font.usable()) {
        tlm::PdfFont::Sized sized = font.sized(raw);
        std::string out;
        for (const QString& text : {QStringLiteral("Äpfel 12,5 kg"), QStringLiteral("Öl"),
                                    QStringLiteral("ß – 7"), QStringLiteral("()\\"), QStringLiteral("ab\tc")})
            font.appendText(text, sized, out);
    }
    // A face whose glyphs were shown must give a file to embed: the pages name its glyphs.
    if (font.fontFile().isEmpty() && font.used())
        std::abort();
    font.postScriptName();
    font.widths();
    font.toUnicode();
    font.descriptorMetrics();
    return 0;
}
