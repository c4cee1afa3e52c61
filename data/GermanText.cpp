#include "data/GermanText.h"

#include <cstring>
#include <sqlite3.h>

namespace tlm {

namespace {
QString fold(const QString& s)
{
    return s.toCaseFolded();
}

QString argText(sqlite3_value* v)
{
    const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return t ? QString::fromUtf8(t, sqlite3_value_bytes(v)) : QString();
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    QChar escape;
    if (argc == 3) {
        const QString e = argText(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0];
    }
    sqlite3_result_int(ctx, germanLike(argText(argv[0]), argText(argv[1]), escape) ? 1 : 0);
}

// The sort form of one character: lower case, accents and umlauts dropped, ß as "ss".
struct FoldTable
{
    static constexpr int kSize = 0x250;
    char16_t units[kSize][3];
    quint8 count[kSize];
    FoldTable()
    {
        for (int c = 0; c < kSize; ++c) {
            const QString k = slowKey(QString(QChar(char16_t(c))));
            count[c] = quint8(qMin<qsizetype>(3, k.size()));
            for (int i = 0; i < count[c]; ++i)
                units[c][i] = k[i].unicode();
        }
    }
    static QString slowKey(const QString& s)
    {
        QString k = s.normalized(QString::NormalizationForm_D).toCaseFolded();
        QString out;
        out.reserve(k.size());
        for (QChar c : k) {
            if (c.category() == QChar::Mark_NonSpacing)
                continue;
            if (c == QChar(0x00DF))
                out += QLatin1String("ss");
            else
                out += c;
        }
        return out;
    }
};

const FoldTable& foldTable()
{
    static const FoldTable t;
    return t;
}

// Walks a text's sort form one unit at a time without building it.
class KeyWalker
{
public:
    KeyWalker(const QChar* p, const QChar* end) : m_p(p), m_end(end) {}
    bool next(char16_t& out)
    {
        while (m_i >= m_n) {
            if (m_p == m_end)
                return false;
            const char16_t c = (m_p++)->unicode();
            if (c < FoldTable::kSize) {
                const FoldTable& t = foldTable();
                m_n = t.count[c];
                for (int i = 0; i < m_n; ++i)
                    m_buf[i] = t.units[c][i];
            } else {
                const QString k = FoldTable::slowKey(QString(QChar(c)));
                m_n = int(qMin<qsizetype>(3, k.size()));
                for (int i = 0; i < m_n; ++i)
                    m_buf[i] = k[i].unicode();
            }
            m_i = 0;
        }
        out = m_buf[m_i++];
        return true;
    }

private:
    const QChar* m_p;
    const QChar* m_end;
    char16_t m_buf[3] = {0, 0, 0};
    int m_n = 0, m_i = 0;
};

int compareKeys(const QString& a, const QString& b)
{
    KeyWalker wa(a.constData(), a.constData() + a.size()), wb(b.constData(), b.constData() + b.size());
    for (;;) {
        char16_t ca = 0, cb = 0;
        const bool ha = wa.next(ca), hb = wb.next(cb);
        if (!ha || !hb)
            return ha ? 1 : (hb ? -1 : 0);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
}

bool isAscii(const unsigned char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i] >= 0x80)
            return false;
    return true;
}

int sign(int r)
{
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int collate(void*, int n1, const void* p1, int n2, const void* p2)
{
    const auto* u1 = static_cast<const unsigned char*>(p1);
    const auto* u2 = static_cast<const unsigned char*>(p2);
    if (isAscii(u1, n1) && isAscii(u2, n2)) {
        // Most names are plain ASCII: their sort form is their lower case, their tie-break the bytes.
        const int n = qMin(n1, n2);
        for (int i = 0; i < n; ++i) {
            const int c1 = u1[i] >= 'A' && u1[i] <= 'Z' ? u1[i] + 32 : u1[i];
            const int c2 = u2[i] >= 'A' && u2[i] <= 'Z' ? u2[i] + 32 : u2[i];
            if (c1 != c2)
                return c1 < c2 ? -1 : 1;
        }
        if (n1 != n2)
            return n1 < n2 ? -1 : 1;
        return sign(std::memcmp(p1, p2, size_t(n)));
    }
    const QString a = QString::fromUtf8(static_cast<const char*>(p1), n1);
    const QString b = QString::fromUtf8(static_cast<const char*>(p2), n2);
    int r = compareKeys(a, b);
    if (r == 0)
        r = fold(a).compare(fold(b));
    if (r == 0)
        r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
} // namespace

bool germanLike(const QString& pattern, const QString& value, QChar escape)
{
    const QString p = fold(pattern), v = fold(value);
    int pi = 0, vi = 0, starP = -1, starV = 0;
    const int pn = p.size(), vn = v.size();
    while (vi < vn) {
        if (pi < pn) {
            QChar pc = p[pi];
            if (!escape.isNull() && pc == escape && pi + 1 < pn) {
                if (p[pi + 1] == v[vi]) {
                    pi += 2;
                    ++vi;
                    continue;
                }
            } else if (pc == '%') {
                starP = pi++;
                starV = vi;
                continue;
            } else if (pc == '_' || pc == v[vi]) {
                ++pi;
                ++vi;
                continue;
            }
        }
        if (starP < 0)
            return false;
        pi = starP + 1;
        vi = ++starV;
    }
    while (pi < pn && p[pi] == '%')
        ++pi;
    return pi == pn;
}

void registerGermanText(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, collate, nullptr);
}

} // namespace tlm
