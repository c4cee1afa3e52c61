#pragma once

#include "data/Recordset.h"
#include "data/SqliteHandle.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace tlm {

// The one database connection. Statements arrive in the Jet dialect and are rewritten for SQLite.
class Connection
{
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing database file; a file that is missing, empty, not a database or damaged
    // raises an error and is never written to. A file that cannot be written opens read-only, and so
    // does every file when readOnly is asked for.
    void open(const QString& path, bool readOnly = false);
    void close(); // error when not open
    bool isOpen() const { return m_db != nullptr; }
    // Opened for reading only: the file or its folder cannot be written.
    bool isReadOnly() const { return m_readOnly; }
    // Made by a later version of the program: opened for reading only, never changed.
    bool isNewer() const { return m_newer; }
    // Raises the read-only error before work that would write, so that it starts nothing.
    void requireWritable() const;
    QString path() const { return m_path; }

    RecordsetPtr execute(const QString& sql);
    // A writable recordset on "select cols from TABLE where ..."
    RecordsetPtr openWritable(const QString& sql);

    // Plain SQLite statements of the program itself (transactions, pragmas, the tools' changes),
    // values bound; the number of rows changed.
    int exec(const QString& sql, const QVector<QVariant>& values = {});

    sqlite3* handle() const { return m_db.get(); }
    // Rows changed through this connection since it opened; a reader learns so that data moved.
    qint64 changeCount() const;

private:
    friend class Recordset;
    qint64 insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values);
    void updateRow(const QString& table, qint64 rowid, const QStringList& cols,
                   const QVector<QVariant>& values);
    sqlite3* requireOpen() const;
    RecordsetPtr run(const QString& sql, bool writable, const QString& table);

    SqliteHandle m_db;
    QString m_path;
    bool m_readOnly = false;
    bool m_newer = false;
};

// Rolls back unless committed: work that changes several rows is all or nothing.
class Transaction
{
public:
    explicit Transaction(Connection& c);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_conn;
    bool m_done = false;
};

} // namespace tlm
