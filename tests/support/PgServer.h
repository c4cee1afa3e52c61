#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <libpq-fe.h>

#include <memory>
#include <optional>
#include <stdexcept>

class QTemporaryDir;

namespace tlmtest {

// Why the test server could not start or a statement on it failed; the text ends with the tail of
// the server's log.
class PgServerError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class PgWatchdog;

// A real PostgreSQL 15 server of this test process alone: a cluster made by initdb (UTF8, locale C,
// ICU collations) in a temporary folder, superuser "tlm" with a random password (scram-sha-256),
// listening on 127.0.0.1 at a free port, fsync off. Run as an ordinary user (tlm-pg-test, made when
// missing) when the test runs as root. Started on first use; stopped and removed when the process
// ends, also when it is killed.
class PgServer
{
public:
    // The process's server; throws PgServerError when it cannot start (and again on every later
    // call), which fails the calling test with the reason and the server log's tail.
    static PgServer& shared();

    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // postgresql://tlm@127.0.0.1:PORT/db - without the password, which is in PGPASSWORD.
    QString uri(const QString& db) const;
    // A fresh empty database under a name not used before in this process (made from template1, so
    // it has the ICU collations such as "de-DE-x-icu"); its URI.
    QString newDatabase();
    // Drops it, closing any connection still open on it; no error when it does not exist.
    void dropDatabase(const QString& name);
    // The database a URI names (the part after the last '/', without options).
    static QString databaseName(const QString& uri);

    int port() const { return m_port; }
    QString user() const { return QStringLiteral("tlm"); }
    QString password() const { return m_password; }
    // The last lines of the server's log, for failure messages.
    QString logTail(int lines = 40) const;
    // The temporary folder holding the cluster (data/) and its log; and the postmaster's process id.
    QString folder() const;
    qint64 pid() const;

private:
    PgServer();
    // A superuser connection to the maintenance database, with the password given directly.
    PGconn* adminConnection() const;

    QString m_password;
    int m_port = 0;
    int m_databases = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PgWatchdog> m_watchdog; // after m_dir: stops the server before the folder goes
};

// Sets PGPASSWORD to another password for its scope, or with a null QString removes it (and points
// PGPASSFILE at nothing, so no ~/.pgpass helps out); the old values come back at its end. Start the
// server (PgServer::shared) before, or its password is lost when the old values come back.
class PgPasswordOverride
{
public:
    explicit PgPasswordOverride(const QString& password);
    ~PgPasswordOverride();
    PgPasswordOverride(const PgPasswordOverride&) = delete;
    PgPasswordOverride& operator=(const PgPasswordOverride&) = delete;

private:
    std::optional<QByteArray> m_password;
    std::optional<QByteArray> m_passFile;
};

// A libpq connection closed with its owner; check PQstatus before use.
using PgConnection = std::unique_ptr<PGconn, void (*)(PGconn*)>;
PgConnection pgConnect(const QString& uri);
// Every row of a query as its text values joined by "|" (NULL as ""); throws PgServerError with the
// server's message when the statement fails.
QStringList pgRows(PGconn* conn, const QString& sql);
// The first column of the first row; a null QString when there is no row or it is NULL.
QString pgScalar(PGconn* conn, const QString& sql);
// Runs statements that return no rows; throws PgServerError when one fails.
void pgExec(PGconn* conn, const QString& sql);

} // namespace tlmtest
