#pragma once

#include "data/Recordset.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

struct sqlite3;

namespace tlm {

class Engine;

// The one database connection: a file (SQLite) or a PostgreSQL server, named by a libpq connection
// URI. Statements arrive in the Jet dialect and are rewritten for the engine.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing database file; a file that is missing, empty, not a database or damaged
    // raises an error and is never written to. A file that cannot be written opens read-only, and so
    // does every file when readOnly is asked for. A server location (isServerLocation) opens the
    // database there, making the program's tables in an empty one.
    void open(const QString& location, bool readOnly = false);
    // Opens a database to be filled by a copy: an empty server database stays empty, for the copy to
    // make the tables in the transaction that fills them (createPgSchema).
    void openForCopy(const QString& location);
    void close(); // error when not open
    bool isOpen() const { return m_engine != nullptr; }
    // A server that several programs share, not a file of this one.
    bool isServer() const;
    // Opened for reading only: the file or its folder cannot be written.
    bool isReadOnly() const;
    // Made by a later version of the program: opened for reading only, never changed.
    bool isNewer() const;
    // Raises the read-only error before work that would write, so that it starts nothing.
    void requireWritable() const;
    // Raises the error of a lost server connection before a window that reads is opened, so that
    // one message comes instead of one per read and an empty window (nothing for a file).
    void requireReachable() const;
    // The server is known to be out of reach: a window need not read again to learn so.
    bool isLost() const;
    QString path() const { return m_path; }

    RecordsetPtr execute(const QString& sql);
    // A select with values bound to its "?": the way a text the user typed reaches a statement.
    RecordsetPtr execute(const QString& sql, const QVector<QVariant>& values);
    // A select whose rows are kept until anything changes, here or (on a server) as another program
    // tells: the lists a window offers, asked again only when they may differ.
    RecordsetPtr executeKept(const QString& sql);
    // Asks the lists of executeKept not kept (or out of date) all together, before a window shows
    // them: one round trip to a server. False when none had to be asked.
    bool keepLists(const QStringList& sql);
    // A select asked ahead: the program's dialect, values bound to its "?".
    struct Read
    {
        QString sql;
        QVector<QVariant> values = {};
    };
    // Within a snapshot, asks these selects now, all together (one round trip to a server), and
    // keeps their rows for when the work asks them.
    // A file, which answers at once, is asked as the work asks: the selects are only named.
    // Along go the selects the rehearsals ask: each runs with every select not kept yet answered by
    // no rows (they must only read, and what one raises ends only that one). Outside a snapshot
    // nothing would be kept: it does nothing.
    // With more rounds, the rehearsals run again on what was asked, for the selects that depend on it.
    void readAhead(const QVector<Read>& reads, const QVector<std::function<void()>>& rehearsals = {},
                   int rounds = 1);
    // A writable recordset on "select cols from TABLE where ..."
    RecordsetPtr openWritable(const QString& sql);

    // Statements of the program itself (transactions, the tools' changes) in SQLite's dialect,
    // values bound; the number of rows changed.
    int exec(const QString& sql, const QVector<QVariant>& values = {});
    // A new key for a row of table: one above the highest (fallback when there is none); on a
    // server reserved, so that no other program gets it (count keys on from it, for a block).
    qint32 newKey(const QString& table, const QString& column, qint32 fallback, int count = 1);

    // The file's SQLite handle (null on a server), for the copies kept of a file.
    sqlite3* handle() const;
    // Rows changed, here or (on a server) by other programs; a reader learns so that data moved.
    // Closing counts as a change: what is read after another database opened is other data, even
    // where that one has changed as many rows as the first.
    qint64 changeCount() const;

    bool hasTable(const QString& name) const;
    // Selects asked of the database so far, those answered from what is kept not counted.
    qint64 readsAsked() const { return m_asked; }
    // Selects asked within a snapshot that no read-ahead of it had named.
    qint64 readsNotAhead() const { return m_notAhead; }

    Engine& engine() const;

private:
    friend class Recordset;
    friend class Transaction;
    friend class ReadSnapshot;
    qint64 insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values);
    void updateRow(const QString& table, qint64 key, qint64 version, const QStringList& cols,
                   const QVector<QVariant>& values);
    RecordsetPtr run(const QString& sql, int columnsAt, const QString& table,
                     const QVector<QVariant>& values = {});

    // Within a snapshot the same select gives the same rows: it is asked once (a round trip to a
    // server each time otherwise). Any write forgets them.
    RecordsetPtr cachedRead(const QString& key);
    // Ahead: a read too large to keep for the whole snapshot is kept for its one use.
    void keepRead(const QString& key, const Recordset& rs, bool ahead = false);
    void forgetReads();
    void refuseInRehearsal() const;
    // Asks the reads (engine dialect) not kept yet together and keeps them; false when none was.
    bool askAhead(const QVector<Read>& reads);

    std::unique_ptr<Engine> m_engine;
    QString m_path;
    QHash<QString, std::shared_ptr<const Recordset>> m_reads;
    QHash<QString, std::shared_ptr<Recordset>> m_readsOnce; // asked ahead, handed out once
    struct KeptList
    {
        qint64 changes;
        std::shared_ptr<const Recordset> rows;
    };
    QHash<QString, KeptList> m_lists;
    qint64 m_readBytes = 0;
    mutable std::optional<QStringList> m_tables; // the tables, within a snapshot
    qint64 m_closedChanges = 0;                  // above every count told before the last close
    mutable qint64 m_seen = 0;                   // the open engine's count as last told
    int m_snapshots = 0;                         // ReadSnapshots open
    int m_transactions = 0;                      // Transactions open
    qint64 m_asked = 0;                          // selects asked of the engine
    qint64 m_notAhead = 0;                       // of them, within a snapshot and not named ahead
    QSet<QString> m_named;                       // the selects named ahead in this snapshot
    QVector<Read>* m_rehearsed = nullptr;        // a rehearsal's selects (engine dialect), while it runs
};

// A libpq connection URI ("postgresql://…" or "postgres://…") rather than a file name.
bool isServerLocation(const QString& location);
// A location as it may be shown and logged: a file as given, a server address without a password.
QString shownLocation(const QString& location);

// Everything read in its scope sees one state of the data: a change another program commits meanwhile
// is not seen. Only for reading; a snapshot within a snapshot is the outer one.
class ReadSnapshot
{
public:
    explicit ReadSnapshot(Connection& c);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
    // Which committed state it sees: two snapshots of the same text see the same data (empty on a file,
    // which one program alone changes).
    QString state() const;
    // Not within another snapshot: the one whose state may differ from the last one's.
    bool outermost() const { return m_outermost; }

private:
    Connection& m_conn;
    bool m_outermost = false;
    bool m_began = false; // the engine's snapshot, ended here
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
