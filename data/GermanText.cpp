// German, case-insensitive text comparison, as the catalogue's searches and sort orders expect.
#include "data/Connection.h"

#include <sqlite3.h>

namespace tlm {

namespace {
QString fold(const QString& s) { return s.toCaseFolded(); }

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

int collate(void*, int n1, const void* p1, int n2, const void* p2)
{
    const QString a = QString::fromUtf8(static_cast<const char*>(p1), n1);
    const QString b = QString::fromUtf8(static_cast<const char*>(p2), n2);
    int r = germanSortKey(a).compare(germanSortKey(b));
    if (r == 0)
        r = fold(a).compare(fold(b));
    if (r == 0)
        r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
} // namespace

QString germanSortKey(const QString& s)
{
    // DIN 5007-1: umlauts sort with their base letters, ß as ss.
    QString k = fold(s.normalized(QString::NormalizationForm_D));
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
