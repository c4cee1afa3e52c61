#include "data/Win1252.h"

namespace tlm {

namespace {
// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

QByteArray toWin1252(const QString& s)
{
    QByteArray out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += static_cast<char>(u);
            continue;
        }
        char b = '?';
        if (u >= 0x80 && u <= 0x9F && kHigh[u - 0x80] == 0)
            b = static_cast<char>(u); // the five undefined bytes come back as they went in
        for (int k = 0; k < 32; ++k)
            if (kHigh[k] != 0 && kHigh[k] == u)
                b = static_cast<char>(0x80 + k);
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i; // one "?" for a character outside the basic plane
        out += b;
    }
    return out;
}

QString fromWin1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F)
            out += QChar(kHigh[b - 0x80] ? kHigh[b - 0x80] : char16_t(b));
        else
            out += QChar(char16_t(b));
    }
    return out;
}

} // namespace tlm
