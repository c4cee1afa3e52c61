#include "data/SqliteEngine.h"

#include "data/Database.h"
#include "data/Error.h"
#include "data/GermanText.h"
#include "data/Statement.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace tlm {

SqliteEngine::SqliteEngine(const QString& path, bool onlyRead)
{
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile())
        raise(ErrFileNotFound, path);
    if (fi.size() == 0)
        throw Error(SQLITE_NOTADB, QStringLiteral("Die Datei '%1' ist leer und keine Datenbank.").arg(path));

    // A file or folder that cannot be written (a read-only medium, wrong permissions) is opened for
    // reading: the plan can be viewed, printed and exported, and every write says so.
    const bool canWrite = fi.isWritable() && QFileInfo(fi.absolutePath()).isWritable();
    bool readOnly = onlyRead || !canWrite;
    int rc = 0;
    SqliteHandle handle = openSqlite(
        path, (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX, &rc);
    sqlite3* db = handle.get();
    if (rc != SQLITE_OK)
        throw Error(rc, QStringLiteral("Die Datenbank '%1' kann nicht geöffnet werden: %2")
                            .arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    readOnly = readOnly || sqlite3_db_readonly(db, "main") == 1;

    // The check reads every page; a file that is no database or is damaged stops here untouched.
    const QuickCheck check = quickCheck(db);
    if (check.rc != SQLITE_DONE) {
        if ((check.rc & 0xff) == SQLITE_BUSY || (check.rc & 0xff) == SQLITE_LOCKED)
            throw Error(
                check.rc,
                QStringLiteral("Die Datenbank '%1' ist von einem anderen Programm gesperrt.").arg(path));
        // A journal left by a program that was killed mid-change: only a writer can roll it back.
        if (check.rc == SQLITE_READONLY_ROLLBACK)
            throw Error(check.rc,
                        (canWrite
                             ? QStringLiteral("Die Datenbank '%1' wurde nicht sauber geschlossen "
                                              "(ein Programm wurde während einer Änderung beendet); "
                                              "ein Start des Programms mit Fenster stellt sie wieder her.")
                             : QStringLiteral("Die Datenbank '%1' wurde nicht sauber geschlossen und "
                                              "ist schreibgeschützt; sie kann erst wieder gelesen "
                                              "werden, wenn sie beschreibbar ist."))
                            .arg(path),
                        check.engineText);
        throw Error(check.rc, QStringLiteral("Die Datei '%1' ist keine lesbare Datenbank oder beschädigt: %2")
                                  .arg(path, check.engineText));
    }
    if (!check.passed())
        throw Error(SQLITE_CORRUPT,
                    QStringLiteral("Die Datenbank '%1' ist beschädigt: %2").arg(path, check.findings));

    sqlite3_stmt* st = nullptr;
    rc = sqlite3_prepare_v2(db, "select count(*) from sqlite_master where type='table' and name='SPEISEPLAN'",
                            -1, &st, nullptr);
    const bool ours = rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == 1;
    sqlite3_finalize(st);
    if (!ours)
        throw Error(SQLITE_NOTADB,
                    QStringLiteral("Die Datei '%1' ist keine Datenbank dieses Programms.").arg(path));

    // A file made by a later build carries views and indexes this program does not know: it is only
    // read, so that nothing of it is set back.
    rc = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr);
    const bool newer =
        rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) > kDerivedVersion;
    sqlite3_finalize(st);
    if (newer) {
        sqlite3_exec(db, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
        readOnly = true;
    }

    // The reports group and sort a year's plan in temporary trees: those stay in memory.
    for (const char* pragma : {"PRAGMA foreign_keys = OFF", "PRAGMA journal_mode = DELETE",
                               "PRAGMA synchronous = FULL", "PRAGMA temp_store = MEMORY"})
        sqlite3_exec(db, pragma, nullptr, nullptr, nullptr);
    registerGermanText(db);
    if (!readOnly) {
        try {
            renewDerived(db); // older files get the faster indexes and views of this program
        } catch (const Error& e) {
            // A reader beside us (a command-line run) holds the file for a moment; that is no damage.
            if ((e.number & 0xff) == SQLITE_BUSY || (e.number & 0xff) == SQLITE_LOCKED)
                throw Error(
                    e.number,
                    QStringLiteral("Die Datenbank '%1' ist von einem anderen Programm gesperrt.").arg(path),
                    e.description);
            throw;
        }
    } else if (!newer)
        standInMissingTables(db);
    m_db = std::move(handle);
    m_readOnly = readOnly;
    m_newer = newer;
}

void SqliteEngine::fetch(const QString& sql, Recordset& rs, int columnsAt, const QString&,
                         const QVector<QVariant>& values)
{
    // A writable select carries the rowid in front.
    const bool writable = columnsAt >= 0;
    Statement st(m_db.get(), writable ? QString(sql).insert(columnsAt, QStringLiteral("rowid, ")) : sql);
    for (int i = 0; i < values.size(); ++i)
        st.bind(i + 1, values[i]);
    const int first = writable ? 1 : 0;
    const int n = st.columnCount();
    for (int c = first; c < n; ++c) {
        int len = 255;
        rs.m_names.push_back(st.columnName(c));
        rs.m_kinds.push_back(kindOf(st.declType(c), &len));
        rs.m_textLengths.push_back(len);
    }
    sqlite3_stmt* h = st.handle();
    while (st.step()) {
        if (writable)
            rs.m_rowids.push_back(sqlite3_column_int64(h, 0));
        for (int c = first; c < n; ++c) {
            // Kept as SQLite gives it; a text column keeps a number as SQLite writes it as text.
            Recordset::Cell cell;
            const int type = sqlite3_column_type(h, c);
            const int kind = rs.m_kinds[c - first];
            if (type == SQLITE_NULL) {
            } else if (type == SQLITE_INTEGER && kind != KindText && kind != KindMemo) {
                cell.type = Recordset::Cell::Integer;
                cell.integer = sqlite3_column_int64(h, c);
            } else if (type == SQLITE_FLOAT && kind != KindText && kind != KindMemo) {
                cell.type = Recordset::Cell::Real;
                cell.real = sqlite3_column_double(h, c);
            } else {
                const char* text = reinterpret_cast<const char*>(sqlite3_column_text(h, c));
                rs.storeText(cell, text, sqlite3_column_bytes(h, c));
            }
            rs.m_cells.push_back(cell);
        }
        ++rs.m_rows;
    }
}

int SqliteEngine::exec(const QString& sql, const QVector<QVariant>& values)
{
    Statement st(m_db.get(), sql);
    for (int i = 0; i < values.size(); ++i)
        st.bind(i + 1, values[i]);
    while (st.step()) {
    }
    return sqlite3_changes(m_db.get());
}

qint64 SqliteEngine::insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values)
{
    exec(insertStatement(table, cols), values);
    return sqlite3_last_insert_rowid(m_db.get());
}

bool SqliteEngine::updateRow(const QString& table, qint64 rowid, qint64, const QStringList& cols,
                             const QVector<QVariant>& values)
{
    QStringList sets;
    for (const QString& c : cols)
        sets << c + QStringLiteral(" = ?");
    QVector<QVariant> all = values;
    all << QVariant::fromValue(rowid);
    // One program holds the file: the row read is the row written.
    exec(QStringLiteral("update %1 set %2 where rowid = ?").arg(table, sets.join(',')), all);
    return true;
}

qint32 SqliteEngine::newKey(const QString& table, const QString& column, qint32 fallback, int)
{
    Statement st(m_db.get(), "select max(" + column + ") from " + table);
    const bool some = st.step() && sqlite3_column_type(st.handle(), 0) != SQLITE_NULL;
    return (some ? qint32(sqlite3_column_int64(st.handle(), 0)) : fallback) + 1;
}

void SqliteEngine::begin()
{
    exec(QStringLiteral("begin immediate"), {});
}

void SqliteEngine::commit()
{
    exec(QStringLiteral("commit"), {});
}

void SqliteEngine::beginSnapshot()
{
    // A deferred transaction reads from its first statement on; that statement comes at once, so
    // that everything read later sees the file as it was now.
    exec(QStringLiteral("begin"), {});
    exec(QStringLiteral("select count(*) from sqlite_master"), {});
}

void SqliteEngine::rollback() noexcept
{
    sqlite3_exec(m_db.get(), "rollback", nullptr, nullptr, nullptr);
}

QStringList SqliteEngine::tableNames()
{
    Statement st(m_db.get(),
                 QStringLiteral("select name from sqlite_master where type = 'table' and name not like "
                                "'sqlite%' order by name"));
    QStringList names;
    while (st.step())
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.handle(), 0)))
                     .toUpper();
    return names;
}

qint64 SqliteEngine::changeCount()
{
    return sqlite3_total_changes64(m_db.get());
}

} // namespace tlm
