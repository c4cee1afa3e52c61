#include "data/Database.h"

#include "data/Error.h"
#include "data/SqliteHandle.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

// Resources of a static library are registered by hand.
static void initDataResources()
{
    Q_INIT_RESOURCE(data);
}

namespace tlm {

QString bundledScript(const QString& name)
{
    initDataResources();
    QFile f(QStringLiteral(":/data/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

namespace {
int intOf(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* st = nullptr;
    int value = -1;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        value = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return value;
}

// The added columns an existing table of an older database lacks (a missing table is made whole).
QString addedColumns(sqlite3* db)
{
    QString sql;
    for (const AddedColumn& c : kAddedColumns) {
        const QString table = QString::fromLatin1(c.table), column = QString::fromLatin1(c.column);
        const QString info = QStringLiteral("select count(*) from pragma_table_info('%1')").arg(table);
        if (intOf(db, info) > 0 && intOf(db, info + QStringLiteral(" where name = '%1'").arg(column)) == 0)
            sql += QStringLiteral("alter table %1 add column %2 %3;\n")
                       .arg(table, column, QString::fromLatin1(c.type));
    }
    return sql;
}
} // namespace

void renewDerived(sqlite3* db)
{
    if (intOf(db, QStringLiteral("PRAGMA user_version")) == kDerivedVersion)
        return;
    const QString sql = QStringLiteral("begin;\n") + addedColumns(db) +
                        bundledScript(QStringLiteral("derived.sql")) +
                        QStringLiteral("\nPRAGMA user_version = %1;\ncommit;").arg(kDerivedVersion);
    char* msg = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    if (rc != SQLITE_OK) {
        const QString why = QString::fromUtf8(msg ? msg : "derived.sql");
        sqlite3_free(msg);
        sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
        throw Error(rc, why);
    }
}

void standInMissingTables(sqlite3* db)
{
    if (intOf(db, QStringLiteral("PRAGMA user_version")) >= kDerivedVersion)
        return;
    static const QRegularExpression table(QStringLiteral("create table if not exists (\\w+) \\(.*?\\n\\);"),
                                          QRegularExpression::DotMatchesEverythingOption);
    const QString script = bundledScript(QStringLiteral("derived.sql"));
    for (auto it = table.globalMatch(script); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (intOf(db,
                  QStringLiteral("select count(*) from sqlite_master where type = 'table' and name = '%1'")
                      .arg(m.captured(1))) > 0)
            continue;
        QString sql = m.captured(0);
        sql.replace(QStringLiteral("create table"), QStringLiteral("create temp table"));
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    }
}

QString createDatabase(const QString& path, bool withSample)
{
    if (QFileInfo::exists(path))
        return QStringLiteral("'%1' gibt es schon.").arg(path);
    // Built under a temporary name and renamed, so a half-made file never carries the real name.
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    QString error;
    {
        int rc = 0;
        const SqliteHandle db = openSqlite(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &rc);
        if (rc != SQLITE_OK) {
            error = QString::fromUtf8(db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc));
        } else {
            const QString schema = bundledScript(QStringLiteral("schema.sql"));
            if (schema.isEmpty())
                error = QStringLiteral("Das Datenbankschema fehlt im Programm.");
            QString sql = QStringLiteral("begin;\n") + schema + bundledScript(QStringLiteral("derived.sql")) +
                          QStringLiteral("\nPRAGMA user_version = %1;\n").arg(kDerivedVersion);
            if (withSample)
                sql += bundledScript(QStringLiteral("sample.sql"));
            sql += QStringLiteral("\ncommit;");
            char* msg = nullptr;
            if (error.isEmpty() &&
                sqlite3_exec(db.get(), sql.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
                error = QString::fromUtf8(msg ? msg : "script failed");
                sqlite3_free(msg);
            }
        }
    }
    if (error.isEmpty() && !QFile::rename(temp, path))
        error = QStringLiteral("'%1' kann nicht angelegt werden.").arg(path);
    if (!error.isEmpty())
        QFile::remove(temp);
    return error;
}

} // namespace tlm
