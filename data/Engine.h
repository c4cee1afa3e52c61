#pragma once

#include "data/Recordset.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <vector>

namespace tlm {

// What a database engine does for the one connection: the connection speaks the program's dialect
// (SQLite's, with Jet dates already rewritten), an engine runs it on its own database.
class Engine
{
protected:
    // "insert into TABLE (cols) values (?, ...)", or with no columns the table's defaults.
    static QString insertStatement(const QString& table, const QStringList& cols);

public:
    virtual ~Engine() = default;

    virtual bool isServer() const = 0;
    virtual bool isReadOnly() const = 0;
    virtual bool isNewer() const = 0;

    // Fills rs with every row of a select. A writable one (a select on one table, columnsAt the
    // position of its column list, else -1) also keeps each row's key and, where the engine keeps
    // them, its version. Values are bound to the statement's "?".
    virtual void fetch(const QString& sql, Recordset& rs, int columnsAt, const QString& table,
                       const QVector<QVariant>& values = {}) = 0;
    // Fills out[i] with the rows of select sql[i] (values[i] bound), all asked together: a server
    // answers them in one round trip. A file answers one after the other.
    virtual void fetchAll(const QStringList& sql, const QVector<QVector<QVariant>>& values,
                          std::vector<Recordset>& out);
    // Asking reads together saves waiting: on a server, not on a file.
    virtual bool answersTogether() const { return false; }
    // A statement with bound values; the number of rows changed.
    virtual int exec(const QString& sql, const QVector<QVariant>& values) = 0;
    // Adds a row and gives its key.
    virtual qint64 insertRow(const QString& table, const QStringList& cols,
                             const QVector<QVariant>& values) = 0;
    // Writes a row found by its key; false when the row is no longer there or no longer has the
    // version read (another program changed or deleted it).
    virtual bool updateRow(const QString& table, qint64 key, qint64 version, const QStringList& cols,
                           const QVector<QVariant>& values) = 0;
    // The first of count keys no other program gets: one above the highest used (fallback when
    // none), kept for this program where the engine serves several.
    virtual qint32 newKey(const QString& table, const QString& column, qint32 fallback, int count) = 0;

    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
    // A transaction that only reads and sees one state of the data throughout, however long it
    // lasts; ended by commit or rollback.
    virtual void beginSnapshot() = 0;
    // Ends the snapshot; where nothing waits on it, without waiting for the end to be confirmed.
    virtual void endSnapshot() noexcept { rollback(); }
    // Which committed state the open snapshot sees, as text: two snapshots with the same text see the
    // same data. Empty where nobody else can change the data between two snapshots (a file: one
    // program at a time).
    virtual QString snapshotState() { return {}; }

    // The program's tables, in upper case (the engine's own bookkeeping left out).
    virtual QStringList tableNames() = 0;

    // Raises the German error of a lost connection when the database cannot be reached, after one
    // more try to reach it.
    virtual void requireReachable() {}
    // The connection to a server is known to be lost (nothing for a file).
    virtual bool isLost() const { return false; }

    // Grows with every change this program or, on a server, another one made.
    virtual qint64 changeCount() = 0;
};

} // namespace tlm
