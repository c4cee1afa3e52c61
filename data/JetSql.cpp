#include "data/JetSql.h"

#include <QDate>

namespace tlm {

namespace {
// Reads "m/d/yyyy" (one or two digit month and day) from the text between the two "#".
bool parseJetDate(QStringView s, QDate* out)
{
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    for (QChar c : s) {
        if (c == '/') {
            if (++part > 2)
                return false;
        } else if (c >= '0' && c <= '9') {
            if (++digits[part] > 4)
                return false;
            parts[part] = parts[part] * 10 + (c.unicode() - '0');
        } else {
            return false;
        }
    }
    if (part != 2 || digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 || digits[2] != 4)
        return false;
    QDate d(parts[2], parts[0], parts[1]);
    if (!d.isValid())
        return false;
    *out = d;
    return true;
}
} // namespace

QString rewriteJetSql(const QString& sql)
{
    if (!sql.contains('#'))
        return sql;
    QString out;
    out.reserve(sql.size() + 8);
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"') {
            // Copy the whole quoted string; a doubled quote stays inside it.
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            int end = j < n ? j + 1 : n;
            out += QStringView(sql).mid(i, end - i);
            i = end;
            continue;
        }
        if (c == '#') {
            int close = sql.indexOf('#', i + 1);
            QDate d;
            if (close > i && close - i <= 12 &&
                parseJetDate(QStringView(sql).mid(i + 1, close - i - 1), &d)) {
                out += '\'' + d.toString(QStringLiteral("yyyy-MM-dd")) + '\'';
                i = close + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace tlm
