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

// The end of a comment ("--" to the line's end, or "/* */") that starts at i, or i when none does.
int commentEnd(const QString& s, int i)
{
    if (s.mid(i, 2) == QLatin1String("--")) {
        const int e = int(s.indexOf('\n', i));
        return e < 0 ? int(s.size()) : e + 1;
    }
    if (s.mid(i, 2) == QLatin1String("/*")) {
        const int e = int(s.indexOf(QLatin1String("*/"), i + 2));
        return e < 0 ? int(s.size()) : e + 2;
    }
    return i;
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

// One item of an order by list with SQLite's place for Null: first when rising, last when falling;
// the rule goes after the item's last word, before the spaces and comments that follow it.
QString withNulls(const QString& core, const QString& tail)
{
    static const QRegularExpression nulls(QStringLiteral("\\bnulls\\s+(first|last)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression falling(QStringLiteral("\\bdesc$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (nulls.match(core).hasMatch())
        return core + tail;
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
        if (c == '\'' || c == '"' || commentEnd(s, i) > i) {
            const int e = c == '\'' || c == '"' ? quotedEnd(s, i) : commentEnd(s, i);
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
        // offset, ";" or the end of the statement.
        int depth = 0, itemStart = j, itemEnd = j;
        int k = j;
        auto flush = [&](int to) {
            const int end = qMax(itemStart, itemEnd);
            out += withNulls(s.mid(itemStart, end - itemStart), s.mid(end, to - end));
        };
        for (; k < n; ++k) {
            const QChar d = s[k];
            if (commentEnd(s, k) > k) {
                k = commentEnd(s, k) - 1;
                continue;
            }
            if (depth == 0 && (d == ';' || d == ')' || wordAt(s, k, QLatin1String("limit")) ||
                               wordAt(s, k, QLatin1String("offset"))))
                break;
            if (depth == 0 && d == ',') {
                flush(k);
                out += ',';
                itemStart = itemEnd = k + 1;
                continue;
            }
            if (d == '\'' || d == '"')
                k = quotedEnd(s, k) - 1;
            else if (d == '(')
                ++depth;
            else if (d == ')')
                --depth;
            if (!d.isSpace())
                itemEnd = k + 1;
        }
        flush(k);
        i = k;
    }
    return out;
}
} // namespace

// The program's statements are written in SQLite's dialect; the few places where PostgreSQL's
// differs are put right here, outside quoted text and comments.
QString pgStatement(const QString& sql, const QString& appended)
{
    static const QRegularExpression orIgnore(QStringLiteral("^\\s*insert\\s+or\\s+ignore\\s+into\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression immediate(QStringLiteral("^\\s*begin\\s+immediate\\s*;?\\s*$"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (immediate.match(sql).hasMatch())
        return QStringLiteral("begin");
    QString in = sql;
    QString closing = appended;
    const QRegularExpressionMatch m = orIgnore.match(in);
    if (m.hasMatch()) {
        in.replace(m.capturedStart(), m.capturedLength(), QStringLiteral("insert into"));
        closing.prepend(QLatin1String(" on conflict do nothing"));
    }
    QString out;
    out.reserve(in.size() + 16);
    int mark = 0;
    int statementEnd = 0; // in out: after the last word, before closing spaces, comments and ";"
    const int n = int(in.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (commentEnd(in, i) > i) {
            const int end = commentEnd(in, i);
            out += QStringView(in).mid(i, end - i);
            i = end - 1;
            continue;
        }
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
        if (!c.isSpace() && c != ';')
            statementEnd = int(out.size());
    }
    return nullsAsSqlite(out.left(statementEnd) + closing) + out.mid(statementEnd);
}

} // namespace tlm
