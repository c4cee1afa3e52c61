#pragma once

#include "data/Engine.h"

#include <QHash>
#include <QPointer>
#include <memory>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;
class QSocketNotifier;

namespace tlm {

// A database on a PostgreSQL server (libpq), shared by several programs. Every row carries a version
// that grows with each change, so that a window never writes over what another program changed;
// keys are handed out by the server; the programs hear of each other's changes (LISTEN/NOTIFY).
class PgEngine : public Engine
{
public:
    // An empty database gets the program's tables, with the sample catalogue unless withSample is
    // false (a copy fills it).
    PgEngine(const QString& uri, bool readOnly, bool withSample = true);
    ~PgEngine() override;

    bool isServer() const override { return true; }
    bool isReadOnly() const override { return m_readOnly; }
    bool isNewer() const override { return m_newer; }

    void fetch(const QString& sql, Recordset& rs, int columnsAt, const QString& table) override;
    int exec(const QString& sql, const QVector<QVariant>& values) override;
    qint64 insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values) override;
    bool updateRow(const QString& table, qint64 key, qint64 version, const QStringList& cols,
                   const QVector<QVariant>& values) override;
    qint32 newKey(const QString& table, const QString& column, qint32 fallback, int count) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    qint64 changeCount() override;
    QStringList tableNames() override;

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
    QString translate(const QString& sql);
    void requireConnection();
    [[noreturn]] void raiseFailure(const PGresult* r);
    void loadColumns();
    QString keyColumn(const QString& table);
    void listen();
    void takeNotifications();

    PGconn* m_conn = nullptr;
    bool m_readOnly = false;
    bool m_newer = false;
    bool m_inTransaction = false;
    qint64 m_changes = 0;
    QHash<quint64, Column> m_columns; // by table oid and column number
    QHash<QString, QString> m_keys;   // table to its key column
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tlm
