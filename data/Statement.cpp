#include "data/Statement.h"

#include "data/Error.h"

#include <QDate>
#include <QRegularExpression>
#include <sqlite3.h>

namespace tlm {

QString sqliteDescription(int code, const QString& engineText)
{
    static const QRegularExpression missing(QStringLiteral("^no such (table|column): (.*)$"));
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Die Datenbank ist von einem anderen Programm gesperrt.");
    case SQLITE_READONLY:
        return QStringLiteral("Die Datenbank ist schreibgeschützt; es wurde nichts geändert.");
    case SQLITE_IOERR:
        return QStringLiteral("Die Datenbankdatei kann nicht gelesen oder geschrieben werden (E/A-Fehler).");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Die Datenbankdatei ist beschädigt.");
    case SQLITE_FULL:
        return QStringLiteral("Der Datenträger ist voll.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Die Datenbankdatei kann nicht geöffnet werden.");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("Der Wert verstößt gegen eine Regel der Datenbank.");
    default:
        break;
    }
    const QRegularExpressionMatch m = missing.match(engineText);
    if (m.hasMatch())
        return m.captured(1) == QLatin1String("table")
                   ? QStringLiteral("Die Tabelle oder Abfrage '%1' gibt es in der Datenbank nicht.")
                         .arg(m.captured(2))
                   : QStringLiteral("Das Feld '%1' gibt es in der Datenbank nicht.").arg(m.captured(2));
    return engineText;
}

void raiseSqlite(sqlite3* db)
{
    const int code = sqlite3_extended_errcode(db);
    const QString engineText = QString::fromUtf8(sqlite3_errmsg(db));
    const QString german = sqliteDescription(code, engineText);
    throw Error(code, german, german == engineText ? QString() : engineText);
}

ColumnKind kindOf(const QString& t, int* textLength)
{
    if (t.isEmpty())
        return KindNone;
    if (t == QLatin1String("integer") || t == QLatin1String("int") || t == QLatin1String("long"))
        return KindInt32;
    if (t == QLatin1String("smallint"))
        return KindInt16;
    if (t == QLatin1String("double") || t == QLatin1String("real"))
        return KindDouble;
    if (t == QLatin1String("currency"))
        return KindCurrency;
    if (t == QLatin1String("date"))
        return KindDate;
    if (t == QLatin1String("yesno"))
        return KindBool;
    if (t.startsWith(QLatin1String("memo")))
        return KindMemo;
    if (t.startsWith(QLatin1String("text"))) {
        if (textLength) {
            const int open = t.indexOf('('), close = t.indexOf(')');
            *textLength = open > 0 && close > open ? t.mid(open + 1, close - open - 1).toInt() : 255;
        }
        return KindText;
    }
    return KindNone;
}

Statement::Statement(sqlite3* db, const QString& sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &m_stmt, &tail) != SQLITE_OK)
        raiseSqlite(db);
    // One statement per call: whatever follows the first one is refused, not run.
    for (; tail && *tail; ++tail) {
        if (*tail != ' ' && *tail != ';' && *tail != '\n' && *tail != '\r' && *tail != '\t') {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
            raise(ErrTextAfterSql);
        }
    }
    if (!m_stmt)
        raise(ErrInvalidSql);
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant& v)
{
    int rc;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, v.toBool() ? -1 : 0);
            break;
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::LongLong:
            rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
            break;
        case QMetaType::QDate: {
            const QByteArray iso = v.toDate().toString(Qt::ISODate).toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, iso.constData(), static_cast<int>(iso.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc =
                sqlite3_bind_text(m_stmt, index, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        raiseSqlite(m_db);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    raiseSqlite(m_db);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

QString Statement::declType(int i) const
{
    const char* t = sqlite3_column_decltype(m_stmt, i);
    return t ? QString::fromUtf8(t).toLower().remove(' ') : QString();
}

} // namespace tlm
