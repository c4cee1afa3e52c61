#include "data/PgEngine.h"

#include "data/Connection.h"
#include "data/Error.h"
#include "data/PgDialect.h"
#include "data/PgSchema.h"
#include "data/RemoteChanges.h"
#include "data/Statement.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/stat.h>

namespace tlm {

namespace {
// Type oids of the values the program reads (pg_type.h).
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701, kDate = 1082,
              kNumeric = 1700;

const QString kLost = QStringLiteral("Die Verbindung zum Datenbankserver ist unterbrochen; es wurde nichts "
                                     "geändert. Das Programm verbindet sich wieder, sobald der Server "
                                     "erreichbar ist.");

const char* const kSession = "set datestyle = 'ISO, YMD'; set extra_float_digits = 1; "
                             "set client_min_messages = warning; set standard_conforming_strings = on";

// libpq's words on one line, to follow a German sentence.
QString engineText(const char* s)
{
    return QString::fromUtf8(s).simplified();
}

// The password file libpq reads, when others may read it: libpq then passes it over with only a
// warning on the error output.
QString passFileOpenToOthers()
{
    QString path = qEnvironmentVariable("PGPASSFILE");
    if (path.isEmpty())
        path = QDir::homePath() + QStringLiteral("/.pgpass");
    struct stat st;
    if (stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return (st.st_mode & (S_IRWXG | S_IRWXO)) ? path : QString();
}

// Why a connection failed, in the user's words; libpq's own words follow on the same line.
Error openFailure(PGconn* conn, const QString& uri)
{
    const QString text = engineText(PQerrorMessage(conn));
    const QString where = shownLocation(uri);
    static const QRegularExpression noDb(QStringLiteral("database \"([^\"]*)\" does not exist"));
    const QRegularExpressionMatch m = noDb.match(text);
    if (m.hasMatch())
        return Error(
            SQLITE_CANTOPEN,
            QStringLiteral("Die Datenbank '%1' gibt es auf dem Server nicht (%2).").arg(m.captured(1), where),
            text);
    if (text.contains(QLatin1String("password authentication failed")) ||
        text.contains(QLatin1String("authentication failed")))
        return Error(SQLITE_AUTH,
                     QStringLiteral("Der Datenbankserver hat die Anmeldung abgelehnt (%1): Benutzer oder "
                                    "Passwort ist falsch.")
                         .arg(where),
                     text);
    if (text.contains(QLatin1String("no password supplied"))) {
        const QString passFile = passFileOpenToOthers();
        if (!passFile.isEmpty())
            return Error(SQLITE_AUTH,
                         QStringLiteral("Der Datenbankserver verlangt ein Passwort (%1); die Datei '%2' wird "
                                        "nicht gelesen, weil andere sie lesen können (chmod 600 %2).")
                             .arg(where, passFile),
                         text);
        return Error(SQLITE_AUTH,
                     QStringLiteral("Der Datenbankserver verlangt ein Passwort (%1); das Programm liest es "
                                    "aus ~/.pgpass oder PGPASSWORD.")
                         .arg(where),
                     text);
    }
    if (text.contains(QLatin1String("permission denied")))
        return Error(SQLITE_AUTH,
                     QStringLiteral("Keine Berechtigung: Der Datenbankserver lässt diesen Benutzer nicht an "
                                    "die Datenbank (%1): %2")
                         .arg(where, text),
                     text);
    if (text.contains(QLatin1String("certificate")))
        return Error(SQLITE_CANTOPEN,
                     QStringLiteral("Das Zertifikat des Datenbankservers passt nicht zu seiner Adresse oder "
                                    "ist nicht vertrauenswürdig (%1): %2")
                         .arg(where, text),
                     text);
    return Error(SQLITE_CANTOPEN,
                 QStringLiteral("Der Datenbankserver ist nicht erreichbar (%1): %2").arg(where, text), text);
}

// A value as libpq sends it: as text, with the type the program means (0: the server decides).
struct Parameter
{
    QByteArray text;
    Oid type = 0;
    bool null = false;
};

Parameter parameterOf(const QVariant& v)
{
    Parameter p;
    if (!v.isValid() || v.isNull()) {
        p.null = true;
        return p;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
        p.text = v.toBool() ? "-1" : "0";
        p.type = kInt8;
        break;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        p.text = QByteArray::number(v.toLongLong());
        p.type = kInt8;
        break;
    case QMetaType::Double:
        p.text = QByteArray::number(v.toDouble(), 'g', 17);
        p.type = kFloat8;
        break;
    case QMetaType::QDate:
        p.text = v.toDate().toString(Qt::ISODate).toUtf8();
        p.type = kDate;
        break;
    default:
        p.text = v.toString().toUtf8();
        break;
    }
    return p;
}

// The declared type as SQLite's files spell it, so that both engines read a column alike.
QString declaredAs(const QByteArray& type, int typmod)
{
    if (type == "yesno" || type == "currency" || type == "memo" || type == "date")
        return QString::fromLatin1(type);
    if (type == "int4" || type == "int8")
        return QStringLiteral("integer");
    if (type == "int2")
        return QStringLiteral("smallint");
    if (type == "float8" || type == "float4" || type == "numeric")
        return QStringLiteral("double");
    if (type == "varchar" || type == "bpchar")
        return typmod > 4 ? QStringLiteral("text(%1)").arg(typmod - 4) : QStringLiteral("text");
    if (type == "text")
        return QStringLiteral("text");
    return {};
}
} // namespace

void PgEngine::ResultDeleter::operator()(PGresult* r) const
{
    PQclear(r);
}

PgEngine::PgEngine(const QString& uri, bool readOnly, bool forCopy) : m_readOnly(readOnly)
{
    const QUrl url(uri);
    if (!url.password().isEmpty() || uri.contains(QLatin1String("password=")))
        throw Error(SQLITE_AUTH, QStringLiteral("Das Passwort gehört nicht in die Adresse der Datenbank; das "
                                                "Programm liest es aus ~/.pgpass oder PGPASSWORD."));
    const QByteArray dbname = uri.toUtf8();
    const char* keys[] = {"dbname", "connect_timeout", "application_name", "client_encoding", nullptr};
    const char* values[] = {dbname.constData(), "10", "Fennor Tellomat", "UTF8", nullptr};
    m_conn = PQconnectdbParams(keys, values, 1);
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        const Error e = openFailure(m_conn, uri);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw e;
    }
    if (PQserverVersion(m_conn) < 150000) {
        const int v = PQserverVersion(m_conn);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw Error(SQLITE_CANTOPEN, QStringLiteral("Der Datenbankserver hat die Version %1.%2; das Programm "
                                                    "braucht PostgreSQL 15 oder neuer.")
                                         .arg(v / 10000)
                                         .arg(v % 10000));
    }
    try {
        checkRights(uri);
        preparePgDatabase(*this, m_readOnly, forCopy, &m_newer);
        if (m_newer)
            m_readOnly = true;
        loadColumns();
        listen(m_readOnly ? QStringLiteral("set default_transaction_read_only = on; ") : QString());
    } catch (...) {
        delete m_notifier;
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

PgEngine::~PgEngine()
{
    delete m_resetPoll;
    delete m_retry;
    delete m_notifier;
    PQfinish(m_conn);
}

void PgEngine::checkRights(const QString& uri)
{
    // The login's rights on the program's tables: none refuses it, reading alone is as a read-only
    // file. An empty database has no tables yet: making them needs the rights of its owner.
    // The session's settings go along in the same round trip.
    const Result r = runScriptResult(
        QString::fromLatin1(kSession) +
        QStringLiteral("; select count(*), coalesce(bool_and(has_table_privilege(c.oid, 'select')), true),"
                       " coalesce(bool_and(has_table_privilege(c.oid, 'insert') and"
                       " has_table_privilege(c.oid, 'update') and has_table_privilege(c.oid, 'delete')),"
                       " true) from pg_class c"
                       " where c.relnamespace = current_schema()::regnamespace and c.relkind = 'r'"));
    if (std::atoi(PQgetvalue(r.get(), 0, 0)) == 0)
        return;
    if (PQgetvalue(r.get(), 0, 1)[0] != 't')
        throw Error(SQLITE_AUTH,
                    QStringLiteral("Keine Berechtigung: Der Benutzer '%1' darf die Datenbank auf dem Server "
                                   "nicht lesen (%2). Die Rechte vergibt, wer den Server verwaltet.")
                        .arg(QString::fromUtf8(PQuser(m_conn)), shownLocation(uri)));
    if (PQgetvalue(r.get(), 0, 2)[0] != 't')
        m_readOnly = true;
}

bool PgEngine::reconnect()
{
    if (m_resetPoll)
        m_resetPoll->stop(); // this try replaces the one in the background
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        return false;
    return reconnected();
}

void PgEngine::startReset()
{
    if (!PQresetStart(m_conn)) {
        waitForRetry();
        return;
    }
    m_retry->stop();
    if (!m_resetPoll) {
        m_resetPoll = new QTimer;
        m_resetPoll->setInterval(20);
        QObject::connect(m_resetPoll, &QTimer::timeout, m_resetPoll, [this] {
            const PostgresPollingStatusType state = PQresetPoll(m_conn);
            if (state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED)
                return;
            m_resetPoll->stop();
            if (!m_retry) // made again meanwhile by work that needed it
                return;
            if (state == PGRES_POLLING_FAILED || !reconnected())
                waitForRetry();
        });
    }
    m_resetPoll->start();
}

bool PgEngine::reconnected()
{
    try {
        // Back after a break: the same session settings, and listening again.
        listen(QString::fromLatin1(kSession) + QStringLiteral("; ") +
               (m_readOnly ? QStringLiteral("set default_transaction_read_only = on; ") : QString()));
    } catch (const Error&) {
        return false;
    }
    const bool told = m_retry != nullptr;
    if (m_retry) {
        m_retry->stop();
        m_retry->deleteLater(); // this may be its own tick
        m_retry = nullptr;
    }
    // What changed meanwhile was not heard of: every window reads once more.
    ++m_changes;
    if (QCoreApplication::instance()) {
        if (told)
            emit remoteChanges().connectionState(QString());
        QMetaObject::invokeMethod(
            &remoteChanges(), [] { emit remoteChanges().changed(); }, Qt::QueuedConnection);
    }
    return true;
}

void PgEngine::connectionLost()
{
    if (m_notifier)
        m_notifier->setEnabled(false); // a closed socket stays readable
    if (m_retry || !QCoreApplication::instance())
        return;
    m_attempt = 0;
    m_retry = new QTimer;
    m_retry->setInterval(1000);
    QObject::connect(m_retry, &QTimer::timeout, m_retry, [this] {
        if (--m_secondsLeft > 0) {
            tellRetry();
            return;
        }
        // Within a transaction the work under way learns of the break itself; then the next try.
        if (m_inTransaction)
            waitForRetry();
        else
            startReset();
    });
    waitForRetry();
}

void PgEngine::waitForRetry()
{
    m_secondsLeft = reconnectPause(m_attempt++);
    tellRetry();
    m_retry->start();
}

void PgEngine::tellRetry()
{
    emit remoteChanges().connectionState(
        QStringLiteral("Keine Verbindung zum Server – neuer Versuch in %1 s").arg(m_secondsLeft));
}

int PgEngine::reconnectPause(int attempt)
{
    return qMin(30, 1 << qMin(attempt, 5));
}

bool PgEngine::isLost() const
{
    return PQstatus(m_conn) != CONNECTION_OK;
}

void PgEngine::requireReachable()
{
    // One round trip: a socket the server closed is not known as closed before it is used.
    if (!m_inTransaction)
        run(QStringLiteral("select 1"), {});
}

void PgEngine::requireConnection()
{
    if (PQstatus(m_conn) == CONNECTION_OK)
        return;
    if (m_inTransaction)
        throw Error(SQLITE_IOERR, kLost);
    if (!reconnect())
        throw Error(SQLITE_IOERR, kLost, engineText(PQerrorMessage(m_conn)));
}

void PgEngine::raiseFailure(const PGresult* r)
{
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw Error(SQLITE_IOERR, kLost, engineText(PQerrorMessage(m_conn)));
    const QByteArray state = r ? QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QByteArray();
    // The server's own words on one line, for the log.
    const QString text =
        engineText(r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : PQerrorMessage(m_conn))
            .replace('\n', ' ');
    const QString primary = text;
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
    const QString name = quoted.match(primary).captured(1).toUpper();
    if (state.startsWith("08"))
        throw Error(SQLITE_IOERR, kLost, text);
    if (state.startsWith("23"))
        throw Error(SQLITE_CONSTRAINT, sqliteDescription(SQLITE_CONSTRAINT, QString()), text);
    if (state == "42P01")
        throw Error(SQLITE_ERROR,
                    QStringLiteral("Die Tabelle oder Abfrage '%1' gibt es in der Datenbank nicht.").arg(name),
                    text);
    if (state == "42703")
        throw Error(SQLITE_ERROR, QStringLiteral("Das Feld '%1' gibt es in der Datenbank nicht.").arg(name),
                    text);
    if (state == "25006")
        throw Error(SQLITE_READONLY, sqliteDescription(SQLITE_READONLY, QString()), text);
    if (state == "40001" || state == "40P01" || state == "55P03")
        throw Error(SQLITE_BUSY, sqliteDescription(SQLITE_BUSY, QString()), text);
    if (state == "25P02")
        throw Error(SQLITE_ERROR,
                    QStringLiteral("Die Änderung wurde nach einem Fehler abgebrochen; es wurde nichts "
                                   "geändert."),
                    text);
    if (state == "42501") {
        // "permission denied for table speiseplan", "must be owner of table zutaten"
        static const QRegularExpression object(
            QStringLiteral("\\b(table|view|schema|sequence|function)\\s+(\\S+)$"));
        const QRegularExpressionMatch o = object.match(primary);
        const QString what =
            !o.hasMatch() ? QString()
            : o.captured(1) == QLatin1String("table") || o.captured(1) == QLatin1String("view")
                ? QStringLiteral(" (Tabelle %1)").arg(o.captured(2).toUpper())
                : QStringLiteral(" (%1 %2)").arg(o.captured(1), o.captured(2));
        throw Error(SQLITE_PERM,
                    QStringLiteral("Keine Berechtigung: Der Datenbankserver erlaubt dem Benutzer '%1' diesen "
                                   "Zugriff nicht%2.")
                        .arg(QString::fromUtf8(PQuser(m_conn)), what),
                    text);
    }
    if (state == "53100")
        throw Error(SQLITE_FULL, QStringLiteral("Der Datenträger des Datenbankservers ist voll."), text);
    if (state == "22001")
        raise(ErrFieldTooSmall);
    throw Error(SQLITE_ERROR, primary.isEmpty() ? text : primary, text);
}

QString PgEngine::translate(const QString& sql)
{
    // "insert or replace" replaces the row of the same key: the server's form names the key.
    static const QRegularExpression orReplace(
        QStringLiteral("^\\s*insert\\s+or\\s+replace\\s+into\\s+(\\w+)\\s*\\(([^)]*)\\)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = orReplace.match(sql);
    if (!m.hasMatch())
        return pgStatement(sql);
    const QString key = keyColumn(m.captured(1));
    QStringList sets;
    for (const QString& c : m.captured(2).split(',')) {
        const QString col = c.trimmed();
        if (col.compare(key, Qt::CaseInsensitive) != 0)
            sets << col + QStringLiteral(" = excluded.") + col;
    }
    QString in = sql;
    in.replace(m.capturedStart(), m.capturedLength(1) + (m.capturedStart(1) - m.capturedStart()),
               QStringLiteral("insert into ") + m.captured(1));
    return pgStatement(in, QStringLiteral(" on conflict (%1) do ").arg(key) +
                               (sets.isEmpty() ? QStringLiteral("nothing")
                                               : QStringLiteral("update set ") + sets.join(", ")));
}

PgEngine::Result PgEngine::run(const QString& sql, const QVector<QVariant>& values)
{
    requireConnection();
    const QByteArray statement = translate(sql).toUtf8();
    std::vector<Parameter> params;
    params.reserve(values.size());
    for (const QVariant& v : values)
        params.push_back(parameterOf(v));
    std::vector<const char*> texts;
    std::vector<Oid> types;
    for (const Parameter& p : params) {
        texts.push_back(p.null ? nullptr : p.text.constData());
        types.push_back(p.type);
    }
    auto send = [&] {
        return Result(PQexecParams(m_conn, statement.constData(), int(params.size()), types.data(),
                                   texts.data(), nullptr, nullptr, 0));
    };
    Result r = send();
    ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    // A server that went away and came back is only noticed by the next statement: a read outside a
    // transaction is simply asked again on a new connection (a write is not: it may have arrived).
    static const QRegularExpression read(QStringLiteral("^\\s*select\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && PQstatus(m_conn) != CONNECTION_OK &&
        !m_inTransaction && read.match(sql).hasMatch()) {
        requireConnection();
        r = send();
        status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    }
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        raiseFailure(r.get());
    return r;
}

void PgEngine::runScript(const QString& sql)
{
    runScriptResult(sql);
}

PgEngine::Result PgEngine::runScriptResult(const QString& sql)
{
    requireConnection();
    Result r(PQexec(m_conn, sql.toUtf8().constData()));
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        raiseFailure(r.get());
    return r;
}

void PgEngine::loadColumns()
{
    m_columns.clear();
    m_keys.clear();
    Result r = run(
        QStringLiteral("select c.oid, a.attnum, coalesce(t2.typname, t.typname), t.typname, a.atttypmod"
                       " from pg_attribute a join pg_class c on c.oid = a.attrelid"
                       " join pg_type t on t.oid = a.atttypid left join pg_type t2 on t2.oid = t.typbasetype"
                       " and t.typname not in ('yesno', 'currency', 'memo')"
                       " where c.relnamespace = current_schema()::regnamespace and a.attnum > 0"
                       " and not a.attisdropped and c.relkind in ('r', 'v')"),
        {});
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        const quint64 oid = std::strtoull(PQgetvalue(r.get(), i, 0), nullptr, 10);
        const int attnum = std::atoi(PQgetvalue(r.get(), i, 1));
        const QByteArray own = PQgetvalue(r.get(), i, 3);
        const QByteArray type = (own == "yesno" || own == "currency" || own == "memo")
                                    ? own
                                    : QByteArray(PQgetvalue(r.get(), i, 2));
        Column col;
        col.kind = kindOf(declaredAs(type, std::atoi(PQgetvalue(r.get(), i, 4))), &col.textLength);
        m_columns.insert((oid << 16) | quint64(attnum), col);
    }
}

QString PgEngine::keyColumn(const QString& table)
{
    const QString t = table.toUpper();
    auto it = m_keys.constFind(t);
    if (it != m_keys.constEnd())
        return *it;
    Result r =
        run(QStringLiteral("select a.attname from pg_index i join pg_attribute a on a.attrelid = i.indrelid"
                           " and a.attnum = i.indkey[0] where i.indisprimary and i.indnkeyatts = 1"
                           " and i.indrelid = to_regclass(?)"),
            {t.toLower()});
    if (PQntuples(r.get()) != 1)
        raise(ErrNotSupported, table);
    const QString key = QString::fromUtf8(PQgetvalue(r.get(), 0, 0)).toUpper();
    m_keys.insert(t, key);
    return key;
}

void PgEngine::fetch(const QString& sql, Recordset& rs, int columnsAt, const QString& table,
                     const QVector<QVariant>& values)
{
    const bool writable = columnsAt >= 0;
    const Result r = run(
        writable ? QString(sql).insert(columnsAt, keyColumn(table) + QStringLiteral(", TLM_VERSION, ")) : sql,
        values);
    PGresult* res = r.get();
    const int first = writable ? 2 : 0;
    const int n = PQnfields(res);
    std::vector<Oid> types;
    bool reloaded = false;
    for (int c = first; c < n; ++c) {
        rs.m_names.push_back(QString::fromUtf8(PQfname(res, c)).toUpper());
        types.push_back(PQftype(res, c));
        Column col;
        const quint64 table = PQftable(res, c);
        if (table != 0) {
            const quint64 id = (table << 16) | quint64(PQftablecol(res, c));
            if (!m_columns.contains(id) && !reloaded) {
                loadColumns(); // a table made since the program connected
                reloaded = true;
            }
            col = m_columns.value(id);
        }
        rs.m_kinds.push_back(col.kind);
        rs.m_textLengths.push_back(col.textLength);
    }
    const int rows = PQntuples(res);
    rs.m_cells.reserve(size_t(rows) * size_t(n - first));
    for (int i = 0; i < rows; ++i) {
        if (writable) {
            rs.m_rowids.push_back(std::strtoll(PQgetvalue(res, i, 0), nullptr, 10));
            rs.m_versions.push_back(std::strtoll(PQgetvalue(res, i, 1), nullptr, 10));
        }
        for (int c = first; c < n; ++c) {
            Recordset::Cell cell;
            if (!PQgetisnull(res, i, c)) {
                const char* v = PQgetvalue(res, i, c);
                const int kind = rs.m_kinds[c - first];
                const Oid type = types[c - first];
                if (kind == KindText || kind == KindMemo) {
                    cell.type = Recordset::Cell::Text;
                } else if (type == kInt2 || type == kInt4 || type == kInt8) {
                    cell.type = Recordset::Cell::Integer;
                    cell.integer = std::strtoll(v, nullptr, 10);
                } else if (type == kFloat8 || type == kFloat4 || type == kNumeric) {
                    cell.type = Recordset::Cell::Real;
                    cell.real = std::strtod(v, nullptr);
                } else if (type == kBool) {
                    cell.type = Recordset::Cell::Integer;
                    cell.integer = v[0] == 't' ? 1 : 0;
                } else {
                    cell.type = Recordset::Cell::Text;
                }
                if (cell.type == Recordset::Cell::Text)
                    rs.storeText(cell, v, PQgetlength(res, i, c));
            }
            rs.m_cells.push_back(cell);
        }
        ++rs.m_rows;
    }
}

int PgEngine::exec(const QString& sql, const QVector<QVariant>& values)
{
    const Result r = run(sql, values);
    const int changed = std::atoi(PQcmdTuples(r.get()));
    m_changes += changed;
    return changed;
}

qint64 PgEngine::insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values)
{
    const QString key = keyColumn(table);
    const Result r = run(insertStatement(table, cols) + QStringLiteral(" returning ") + key, values);
    ++m_changes;
    return std::strtoll(PQgetvalue(r.get(), 0, 0), nullptr, 10);
}

bool PgEngine::updateRow(const QString& table, qint64 key, qint64 version, const QStringList& cols,
                         const QVector<QVariant>& values)
{
    QStringList sets;
    for (const QString& c : cols)
        sets << c + QStringLiteral(" = ?");
    QVector<QVariant> all = values;
    all << QVariant::fromValue(key) << QVariant::fromValue(version);
    // Written only as it was read: another program's change or delete meanwhile leaves no row here.
    return exec(QStringLiteral("update %1 set %2 where %3 = ? and TLM_VERSION = ?")
                    .arg(table, sets.join(','), keyColumn(table)),
                all) == 1;
}

qint32 PgEngine::newKey(const QString& table, const QString& column, qint32 fallback, int count)
{
    // The server's row of the table is locked by the first program that takes a key, so that the
    // next gets the one after it, even before the first one's row is written.
    const Result r =
        run(QStringLiteral("insert into TLM_KEYS (TABELLE, LETZTER) select ?, coalesce(max(%1), ?) + ?"
                           " from %2 on conflict (TABELLE) do update set LETZTER ="
                           " greatest(TLM_KEYS.LETZTER, excluded.LETZTER - ?) + ? returning LETZTER")
                .arg(column, table),
            {table.toUpper(), fallback, count, count, count});
    return qint32(std::strtoll(PQgetvalue(r.get(), 0, 0), nullptr, 10)) - count + 1;
}

void PgEngine::begin()
{
    run(QStringLiteral("begin"), {});
    m_inTransaction = true;
}

void PgEngine::commit()
{
    run(QStringLiteral("commit"), {});
    m_inTransaction = false;
}

void PgEngine::beginSnapshot()
{
    // The snapshot is taken by the first statement after the begin. Equal snapshots see the same
    // committed transactions, and so the same data.
    m_inTransaction = true;
    Result r;
    try {
        r = runScriptResult(QStringLiteral(
            "begin isolation level repeatable read, read only; select pg_current_snapshot()::text"));
    } catch (...) {
        rollback();
        throw;
    }
    m_snapshotState = QString::fromUtf8(PQgetvalue(r.get(), 0, 0));
}

void PgEngine::rollback() noexcept
{
    m_inTransaction = false;
    if (PQstatus(m_conn) == CONNECTION_OK)
        PQclear(PQexec(m_conn, "rollback"));
}

void PgEngine::listen(const QString& before)
{
    runScript(before + QStringLiteral("listen tlm"));
    delete m_notifier;
    m_notifier = nullptr;
    if (QCoreApplication::instance() && PQsocket(m_conn) >= 0) {
        m_notifier = new QSocketNotifier(PQsocket(m_conn), QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier,
                         [this] { takeNotifications(); });
    }
}

void PgEngine::takeNotifications()
{
    if (PQstatus(m_conn) != CONNECTION_OK || !PQconsumeInput(m_conn) || PQstatus(m_conn) != CONNECTION_OK) {
        connectionLost();
        return;
    }
    int others = 0;
    while (PGnotify* n = PQnotifies(m_conn)) {
        if (n->be_pid != PQbackendPID(m_conn))
            ++others;
        PQfreemem(n);
    }
    if (others == 0)
        return;
    m_changes += others;
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(
            &remoteChanges(), [] { emit remoteChanges().changed(); }, Qt::QueuedConnection);
}

QStringList PgEngine::tableNames()
{
    const Result r =
        run(QStringLiteral("select tablename from pg_tables where schemaname = current_schema()"
                           " and tablename not in ('tlm_schema', 'tlm_keys') order by tablename"),
            {});
    QStringList names;
    for (int i = 0; i < PQntuples(r.get()); ++i)
        names << QString::fromUtf8(PQgetvalue(r.get(), i, 0)).toUpper();
    return names;
}

qint64 PgEngine::changeCount()
{
    takeNotifications();
    return m_changes;
}

} // namespace tlm
