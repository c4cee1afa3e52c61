#include "data/Connection.h"

#include "data/Error.h"
#include "data/JetSql.h"
#include "data/PgEngine.h"
#include "data/SqliteEngine.h"
#include "data/Statement.h"

#include <QRegularExpression>
#include <QUrl>
#include <sqlite3.h>

namespace tlm {

bool isServerLocation(const QString& location)
{
    return location.startsWith(QLatin1String("postgresql://")) ||
           location.startsWith(QLatin1String("postgres://"));
}

QString shownLocation(const QString& location)
{
    if (!isServerLocation(location))
        return location;
    QUrl url(location);
    url.setPassword(QString());
    return url.toString();
}

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::open(const QString& location, bool readOnly)
{
    if (m_engine)
        raise(ErrObjectOpen);
    if (isServerLocation(location))
        m_engine = std::make_unique<PgEngine>(location, readOnly);
    else
        m_engine = std::make_unique<SqliteEngine>(location, readOnly);
    m_path = location;
}

void Connection::openForCopy(const QString& location)
{
    if (m_engine)
        raise(ErrObjectOpen);
    if (isServerLocation(location))
        m_engine = std::make_unique<PgEngine>(location, false, true);
    else
        m_engine = std::make_unique<SqliteEngine>(location, false);
    m_path = location;
}

void Connection::close()
{
    engine();
    // Past every count told so far, without asking a server once more on the way out.
    m_closedChanges += m_seen + 1;
    m_seen = 0;
    m_engine.reset();
}

Engine& Connection::engine() const
{
    if (!m_engine)
        raise(ErrObjectClosed);
    return *m_engine;
}

bool Connection::hasTable(const QString& name) const
{
    return engine().tableNames().contains(name.toUpper());
}

bool Connection::isServer() const
{
    return m_engine && m_engine->isServer();
}

bool Connection::isReadOnly() const
{
    return m_engine && m_engine->isReadOnly();
}

bool Connection::isNewer() const
{
    return m_engine && m_engine->isNewer();
}

sqlite3* Connection::handle() const
{
    auto* file = dynamic_cast<SqliteEngine*>(m_engine.get());
    return file ? file->handle() : nullptr;
}

qint64 Connection::changeCount() const
{
    if (m_engine)
        m_seen = m_engine->changeCount();
    return m_closedChanges + m_seen;
}

bool Connection::isLost() const
{
    return m_engine && m_engine->isLost();
}

void Connection::requireReachable() const
{
    if (m_engine)
        m_engine->requireReachable();
}

void Connection::requireWritable() const
{
    if (engine().isReadOnly())
        throw Error(SQLITE_READONLY, sqliteDescription(SQLITE_READONLY, QString()));
}

RecordsetPtr Connection::run(const QString& sql, int columnsAt, const QString& table,
                             const QVector<QVariant>& values)
{
    Engine& e = engine();
    auto rs = std::make_shared<Recordset>();
    rs->m_conn = this;
    e.fetch(sql, *rs, columnsAt, table, values);
    rs->m_writable = columnsAt >= 0;
    rs->m_table = table;
    return rs;
}

RecordsetPtr Connection::execute(const QString& sql)
{
    return run(rewriteJetSql(sql), -1, {});
}

RecordsetPtr Connection::execute(const QString& sql, const QVector<QVariant>& values)
{
    return run(rewriteJetSql(sql), -1, {}, values);
}

RecordsetPtr Connection::openWritable(const QString& sql)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*select\\s+(.*?)\\s+from\\s+([A-Za-z_][A-Za-z0-9_]*)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QString jet = rewriteJetSql(sql);
    const QRegularExpressionMatch m = re.match(jet);
    if (!m.hasMatch())
        raise(ErrNotSupported, sql);
    return run(jet, int(m.capturedStart(1)), m.captured(2));
}

int Connection::exec(const QString& sql, const QVector<QVariant>& values)
{
    return engine().exec(sql, values);
}

qint32 Connection::newKey(const QString& table, const QString& column, qint32 fallback, int count)
{
    return engine().newKey(table, column, fallback, count);
}

qint64 Connection::insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values)
{
    return engine().insertRow(table, cols, values);
}

void Connection::updateRow(const QString& table, qint64 key, qint64 version, const QStringList& cols,
                           const QVector<QVariant>& values)
{
    if (!engine().updateRow(table, key, version, cols, values))
        raise(ErrChangedElsewhere);
}

ReadSnapshot::ReadSnapshot(Connection& c) : m_conn(c)
{
    if (m_conn.m_snapshots == 0)
        m_conn.engine().beginSnapshot();
    m_outermost = m_conn.m_snapshots == 0;
    ++m_conn.m_snapshots;
}

ReadSnapshot::~ReadSnapshot()
{
    --m_conn.m_snapshots;
    // Nothing was written: ending it either way is the same.
    if (m_outermost && m_conn.isOpen())
        m_conn.engine().rollback();
}

QString ReadSnapshot::state() const
{
    return m_conn.engine().snapshotState();
}

Transaction::Transaction(Connection& c) : m_conn(c)
{
    m_conn.engine().begin();
}

Transaction::~Transaction()
{
    if (!m_done && m_conn.isOpen())
        m_conn.engine().rollback();
}

void Transaction::commit()
{
    m_conn.engine().commit();
    m_done = true;
}

} // namespace tlm
