#include "data/PgDialect.h"

#include <QRegularExpression>

namespace tlm {

namespace {
bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == '_';
}

bool wordAt(const QString& s, int i, QLatin1String w)
{
    return QStringView(s).mid(i, w.size()).compare(w, Qt::CaseInsensitive) == 0 &&
           (i == 0 || !isWordChar(s[i - 1])) && (i + w.size() >= s.size() || !isWordChar(s[i + w.size()]));
}

// The end of the quoted text that starts at i (one past its closing quote); a doubled quote stays inside.
int quotedEnd(const QString& s, int i)
{
    const QChar q = s[i];
    int j = i + 1;
    while (j < s.size()) {
        if (s[j] == q) {
            if (j + 1 < s.size() && s[j + 1] == q) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return int(s.size());
}

// One item of an order by list with SQLite's place for Null: first when rising, last when falling.
QString withNulls(const QString& item)
{
    static const QRegularExpression nulls(QStringLiteral("\\bnulls\\s+(first|last)\\s*$"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression falling(QStringLiteral("\\bdesc\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (nulls.match(item).hasMatch())
        return item;
    int end = int(item.size());
    while (end > 0 && item[end - 1].isSpace())
        --end;
    const QString core = item.left(end);
    const QString tail = item.mid(end);
    return core +
           (falling.match(core).hasMatch() ? QLatin1String(" nulls last") : QLatin1String(" nulls first")) +
           tail;
}

// PostgreSQL sorts Null last, SQLite first: every order by list is given SQLite's rule, so that both
// engines list the same rows in the same order.
QString nullsAsSqlite(const QString& s)
{
    QString out;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s[i];
        if (c == '\'' || c == '"') {
            const int e = quotedEnd(s, i);
            out += QStringView(s).mid(i, e - i);
            i = e;
            continue;
        }
        if (!wordAt(s, i, QLatin1String("order"))) {
            out += c;
            ++i;
            continue;
        }
        int j = i + 5;
        while (j < n && s[j].isSpace())
            ++j;
        if (!wordAt(s, j, QLatin1String("by"))) {
            out += c;
            ++i;
            continue;
        }
        j += 2;
        out += QStringView(s).mid(i, j - i);
        // The items up to the end of the clause: a closing bracket of the enclosing level, limit,
        // offset, or the end of the statement.
        int depth = 0, itemStart = j;
        int k = j;
        auto flush = [&](int to) { out += withNulls(s.mid(itemStart, to - itemStart)); };
        for (; k < n; ++k) {
            const QChar d = s[k];
            if (d == '\'' || d == '"') {
                k = quotedEnd(s, k) - 1;
            } else if (d == '(') {
                ++depth;
            } else if (d == ')') {
                if (depth == 0)
                    break;
                --depth;
            } else if (depth == 0 && d == ',') {
                flush(k);
                out += ',';
                itemStart = k + 1;
            } else if (depth == 0 &&
                       (wordAt(s, k, QLatin1String("limit")) || wordAt(s, k, QLatin1String("offset")))) {
                break;
            }
        }
        flush(k);
        i = k;
    }
    return out;
}
} // namespace

// The program's statements are written in SQLite's dialect; the few places where PostgreSQL's
// differs are put right here, outside quoted text.
QString pgStatement(const QString& sql)
{
    static const QRegularExpression orIgnore(QStringLiteral("^\\s*insert\\s+or\\s+ignore\\s+into\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression immediate(QStringLiteral("^\\s*begin\\s+immediate\\s*$"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (immediate.match(sql).hasMatch())
        return QStringLiteral("begin");
    QString in = sql;
    bool ignore = false;
    const QRegularExpressionMatch m = orIgnore.match(in);
    if (m.hasMatch()) {
        in.replace(m.capturedStart(), m.capturedLength(), QStringLiteral("insert into"));
        ignore = true;
    }
    QString out;
    out.reserve(in.size() + 16);
    int mark = 0;
    const int n = int(in.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (c == '\'' || c == '"') {
            const int end = quotedEnd(in, i);
            out += QStringView(in).mid(i, end - i);
            i = end - 1;
        } else if (c == '?') {
            out += '$' + QString::number(++mark);
        } else if (wordAt(in, i, QLatin1String("like"))) {
            out += QLatin1String("ilike"); // case-insensitive, as the German like of the files
            i += 3;
        } else {
            out += c;
        }
    }
    if (ignore)
        out += QLatin1String(" on conflict do nothing");
    return nullsAsSqlite(out);
}

} // namespace tlm
