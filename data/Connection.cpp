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
    forgetReads();
    m_lists.clear();
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
    if (m_snapshots == 0)
        return engine().tableNames().contains(name.toUpper());
    if (!m_tables)
        m_tables = engine().tableNames();
    return m_tables->contains(name.toUpper());
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

namespace {
// A read is kept for the snapshot when it is no larger than this, and all of them together too: a
// large result is a report's own and read once.
constexpr qint64 kLargestKeptRead = 8 << 20;
constexpr qint64 kKeptReads = 48 << 20;

QString readKey(const QString& sql, const QVector<QVariant>& values)
{
    QString key = sql;
    for (const QVariant& v : values)
        key += QChar(0x1f) + QString::number(v.typeId()) + QChar(':') + v.toString();
    return key;
}
} // namespace

RecordsetPtr Connection::cachedRead(const QString& key)
{
    const auto it = m_reads.constFind(key);
    if (it != m_reads.cend())
        return std::make_shared<Recordset>(**it);
    return m_readsOnce.take(key);
}

void Connection::keepRead(const QString& key, const Recordset& rs, bool ahead)
{
    const qint64 size = qint64(rs.m_cells.size() * sizeof(Recordset::Cell)) + rs.m_bytes.size();
    if (size > kLargestKeptRead || m_readBytes + size > kKeptReads) {
        if (ahead)
            m_readsOnce.insert(key, std::make_shared<Recordset>(rs));
        return;
    }
    m_readBytes += size;
    m_reads.insert(key, std::make_shared<const Recordset>(rs));
}

void Connection::forgetReads()
{
    m_reads.clear();
    m_readsOnce.clear();
    m_readBytes = 0;
    m_tables.reset();
}

RecordsetPtr Connection::run(const QString& sql, int columnsAt, const QString& table,
                             const QVector<QVariant>& values)
{
    Engine& e = engine();
    const bool keep = columnsAt < 0 && m_snapshots > 0;
    const QString key = keep ? readKey(sql, values) : QString();
    auto rs = std::make_shared<Recordset>();
    rs->m_conn = this;
    if (m_rehearsed) {
        if (!keep)
            raise(ErrNotSupported, sql); // a writable one is not asked ahead
        if (m_reads.contains(key))
            return cachedRead(key);
        if (!m_readsOnce.contains(key)) // that one is its work's, not the rehearsal's
            m_rehearsed->push_back({sql, values});
        return rs;
    }
    if (keep)
        if (RecordsetPtr kept = cachedRead(key))
            return kept;
    ++m_asked;
    if (keep && !m_named.contains(key))
        ++m_notAhead;
    e.fetch(sql, *rs, columnsAt, table, values);
    rs->m_writable = columnsAt >= 0;
    rs->m_table = table;
    if (keep)
        keepRead(key, *rs);
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

void Connection::readAhead(const QVector<Read>& reads, const QVector<std::function<void()>>& rehearsals,
                           int rounds)
{
    if (m_snapshots == 0 || m_rehearsed)
        return;
    QVector<Read> all;
    for (const Read& r : reads)
        all << Read{rewriteJetSql(r.sql), r.values};
    for (int round = 0; round < rounds; ++round) {
        m_rehearsed = &all;
        for (const std::function<void()>& rehearsal : rehearsals) {
            try {
                rehearsal();
            } catch (...) {
                // An answer without rows may end it early: what it asked so far is asked ahead.
            }
        }
        m_rehearsed = nullptr;
        if (!askAhead(all))
            return;
        all.clear();
    }
}

bool Connection::askAhead(const QVector<Read>& reads)
{
    QStringList sql, keys;
    QVector<QVector<QVariant>> values;
    const bool together = engine().answersTogether();
    for (const Read& r : reads) {
        const QString key = readKey(r.sql, r.values);
        m_named.insert(key);
        if (!together)
            continue;
        if (m_reads.contains(key) || m_readsOnce.contains(key) || keys.contains(key))
            continue;
        sql << r.sql;
        keys << key;
        values << r.values;
    }
    if (sql.isEmpty())
        return false;
    std::vector<Recordset> rows;
    m_asked += sql.size();
    engine().fetchAll(sql, values, rows);
    for (int i = 0; i < keys.size(); ++i) {
        rows[size_t(i)].m_conn = this;
        keepRead(keys[i], rows[size_t(i)], true);
    }
    return true;
}

RecordsetPtr Connection::executeKept(const QString& sql)
{
    const qint64 changes = changeCount();
    const auto it = m_lists.constFind(sql);
    if (it != m_lists.cend() && it->changes == changes)
        return std::make_shared<Recordset>(*it->rows);
    RecordsetPtr rs = execute(sql);
    m_lists.insert(sql, {changes, std::make_shared<const Recordset>(*rs)});
    return rs;
}

bool Connection::keepLists(const QStringList& sql)
{
    const qint64 changes = changeCount();
    QStringList asked, rewritten;
    for (const QString& s : sql) {
        const auto it = m_lists.constFind(s);
        if (it == m_lists.cend() || it->changes != changes) {
            asked << s;
            rewritten << rewriteJetSql(s);
        }
    }
    if (asked.isEmpty())
        return false;
    std::vector<Recordset> rows;
    m_asked += asked.size();
    engine().fetchAll(rewritten, QVector<QVector<QVariant>>(rewritten.size()), rows);
    for (int i = 0; i < asked.size(); ++i) {
        rows[size_t(i)].m_conn = this;
        m_lists.insert(asked[i], {changes, std::make_shared<const Recordset>(rows[size_t(i)])});
    }
    return true;
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

void Connection::refuseInRehearsal() const
{
    if (m_rehearsed)
        raise(ErrNotSupported, QStringLiteral("Schreiben beim Vorauslesen"));
}

int Connection::exec(const QString& sql, const QVector<QVariant>& values)
{
    refuseInRehearsal();
    forgetReads();
    return engine().exec(sql, values);
}

qint32 Connection::newKey(const QString& table, const QString& column, qint32 fallback, int count)
{
    refuseInRehearsal();
    forgetReads();
    return engine().newKey(table, column, fallback, count);
}

qint64 Connection::insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values)
{
    refuseInRehearsal();
    forgetReads();
    return engine().insertRow(table, cols, values);
}

void Connection::updateRow(const QString& table, qint64 key, qint64 version, const QStringList& cols,
                           const QVector<QVariant>& values)
{
    refuseInRehearsal();
    forgetReads();
    if (!engine().updateRow(table, key, version, cols, values))
        raise(ErrChangedElsewhere);
}

ReadSnapshot::ReadSnapshot(Connection& c) : m_conn(c)
{
    m_outermost = m_conn.m_snapshots == 0;
    // Within a transaction its own state is the one read; its end is its owner's.
    m_began = m_outermost && m_conn.m_transactions == 0;
    if (m_began)
        m_conn.engine().beginSnapshot();
    ++m_conn.m_snapshots;
}

ReadSnapshot::~ReadSnapshot()
{
    --m_conn.m_snapshots;
    if (m_outermost) {
        m_conn.forgetReads();
        m_conn.m_named.clear();
    }
    // Nothing was written: ending it either way is the same.
    if (m_began && m_conn.isOpen())
        m_conn.engine().endSnapshot();
}

QString ReadSnapshot::state() const
{
    return m_conn.engine().snapshotState();
}

Transaction::Transaction(Connection& c) : m_conn(c)
{
    m_conn.engine().begin();
    ++m_conn.m_transactions;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --m_conn.m_transactions;
    if (m_conn.isOpen())
        m_conn.engine().rollback();
}

void Transaction::commit()
{
    m_conn.engine().commit();
    --m_conn.m_transactions;
    m_done = true;
}

} // namespace tlm
