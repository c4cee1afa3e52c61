#pragma once

#include "data/Engine.h"

#include <QHash>
#include <QPointer>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;
class QSocketNotifier;
class QTimer;

namespace tlm {

// A database on a PostgreSQL server (libpq), shared by several programs. Every row carries a version
// that grows with each change, so that a window never writes over what another program changed;
// keys are handed out by the server; the programs hear of each other's changes (LISTEN/NOTIFY).
class PgEngine : public Engine
{
public:
    // An empty database gets the program's tables with the sample catalogue, unless it is opened for
    // a copy, which makes the tables together with its rows.
    PgEngine(const QString& uri, bool readOnly, bool forCopy = false);
    ~PgEngine() override;

    bool isServer() const override { return true; }
    bool isReadOnly() const override { return m_readOnly; }
    bool isNewer() const override { return m_newer; }

    void fetch(const QString& sql, Recordset& rs, int columnsAt, const QString& table,
               const QVector<QVariant>& values = {}) override;
    void fetchAll(const QStringList& sql, const QVector<QVector<QVariant>>& values,
                  std::vector<Recordset>& out) override;
    bool answersTogether() const override { return true; }
    int exec(const QString& sql, const QVector<QVariant>& values) override;
    qint64 insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values) override;
    bool updateRow(const QString& table, qint64 key, qint64 version, const QStringList& cols,
                   const QVector<QVariant>& values) override;
    qint32 newKey(const QString& table, const QString& column, qint32 fallback, int count) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    void beginSnapshot() override;
    void endSnapshot() noexcept override;
    QString snapshotState() override;
    qint64 changeCount() override;
    QStringList tableNames() override;
    void requireReachable() override;
    bool isLost() const override;

    // Runs a script of several statements (no bound values), as one piece of the caller's work.
    void runScript(const QString& sql);

private:
    struct Column
    {
        int kind = 0;
        int textLength = 255;
    };
    struct ResultDeleter
    {
        void operator()(PGresult* r) const;
    };
    using Result = std::unique_ptr<PGresult, ResultDeleter>;

    Result run(const QString& sql, const QVector<QVariant>& values);
    // Sends the statements (the program's dialect) without waiting in between and then takes their
    // answers: one round trip for them all. Apart, each has its own end and fails alone; together, the
    // first failure ends the rest. A snapshot begun and not yet asked goes first.
    std::vector<Result> pipeline(const QStringList& sql, const QVector<QVector<QVariant>>& values,
                                 bool apart);
    // The answer asked ahead while connecting, taken once; earlyAnswer raises it when it failed.
    Result early(const QString& sql);
    Result earlyAnswer(const QString& sql);
    // Forgets the tables known when sql makes or drops tables.
    void forgetTables(const QString& sql);
    void fill(PGresult* res, Recordset& rs, bool writable);
    // A script in one round trip; the result of its last statement.
    Result runScriptResult(const QString& sql);
    QString translate(const QString& sql);
    void requireConnection();
    // Takes the answer to a snapshot's end sent before, so that the connection is free.
    // True when it came, and so the server is reachable.
    bool takeEndAnswer();
    void checkRights(const QString& uri);
    // A lost connection is made again by itself, after a pause that grows with each failed try.
    bool reconnect();
    // After a connection made again: the session as before, listening, every window told.
    bool reconnected();
    // A try in the background that never holds the window: the new connection is polled.
    void startReset();
    void connectionLost();
    void waitForRetry();
    void tellRetry();
    static int reconnectPause(int attempt);
    [[noreturn]] void raiseFailure(const PGresult* r);
    void loadColumns();
    QString keyColumn(const QString& table);
    // Listens for other programs' changes; first the session's own statements, in the same round trip.
    void listen(const QString& before = QString());
    void takeNotifications();

    PGconn* m_conn = nullptr;
    bool m_readOnly = false;
    bool m_newer = false;
    bool m_readOnlyAsked = false; // set for the whole session when connecting
    bool m_inTransaction = false;
    bool m_beginPending = false; // a snapshot's begin goes with its first statement
    bool m_endUnread = false;    // a snapshot's end was sent, its answer not yet taken
    QString m_snapshotState;     // xmin:xmax:running transactions of the open snapshot, once asked
    std::optional<QStringList> m_tableNames;         // as asked last; forgotten by this program's own DDL
    std::vector<std::pair<QString, Result>> m_early; // answers asked together when connecting
    qint64 m_changes = 0;
    QHash<quint64, Column> m_columns; // by table oid and column number
    QHash<QString, QString> m_keys;   // table to its key column
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_retry = nullptr;     // ticks each second while the connection is lost
    QTimer* m_resetPoll = nullptr; // polls a try under way
    int m_attempt = 0;
    int m_secondsLeft = 0;
};

} // namespace tlm
