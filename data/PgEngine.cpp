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
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <libpq-fe.h>
#include <poll.h>
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

// work_mem: a year's plan (thirty thousand entries) sorts in memory rather than on the server's disk.
const char* const kSession = "-c datestyle=ISO,YMD -c extra_float_digits=1 -c client_min_messages=warning"
                             " -c standard_conforming_strings=on -c work_mem=16MB";
const char* const kReadOnly = " -c default_transaction_read_only=on";
const char* const kSetReadOnly = "set default_transaction_read_only = on; ";
const QString kBeginSnapshot = QStringLiteral("begin isolation level repeatable read, read only");

// The login's rights on the program's tables (see checkRights).
const QString kRights = QStringLiteral(
    "select count(*), coalesce(bool_and(has_table_privilege(c.oid, 'select')), true),"
    " coalesce(bool_and(has_table_privilege(c.oid, 'insert') and has_table_privilege(c.oid, 'update') and"
    " has_table_privilege(c.oid, 'delete')), true) from pg_class c"
    " where c.relnamespace = current_schema()::regnamespace and c.relkind = 'r'");
const QString kColumns =
    QStringLiteral("select c.oid, a.attnum, coalesce(t2.typname, t.typname), t.typname, a.atttypmod"
                   " from pg_attribute a join pg_class c on c.oid = a.attrelid"
                   " join pg_type t on t.oid = a.atttypid left join pg_type t2 on t2.oid = t.typbasetype"
                   " and t.typname not in ('yesno', 'currency', 'memo')"
                   " where c.relnamespace = current_schema()::regnamespace and a.attnum > 0"
                   " and not a.attisdropped and c.relkind in ('r', 'v')");
const QString kListen = QStringLiteral("listen tlm");
const QString kTables = QStringLiteral("select tablename from pg_tables where schemaname = current_schema()"
                                       " and tablename not in ('tlm_schema', 'tlm_keys') order by tablename");

// Work that makes or drops tables: the tables known are known no longer.
bool changesTables(const QString& sql)
{
    static const QRegularExpression ddl(QStringLiteral("\\b(create|drop|alter)\\s+(temporary\\s+)?table\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return ddl.match(sql).hasMatch();
}

// The session's settings go with the connection itself, so that neither connecting nor connecting
// again asks for them; options the address or PGOPTIONS gives come first.
QByteArray sessionOptions(const QByteArray& uri, bool readOnly)
{
    QByteArray own = qgetenv("PGOPTIONS");
    char* error = nullptr;
    if (PQconninfoOption* options = PQconninfoParse(uri.constData(), &error)) {
        for (PQconninfoOption* o = options; o->keyword; ++o)
            if (qstrcmp(o->keyword, "options") == 0 && o->val && *o->val)
                own = o->val;
        PQconninfoFree(options);
    }
    PQfreemem(error);
    QByteArray s = own.isEmpty() ? QByteArray() : own + ' ';
    s += kSession;
    if (readOnly)
        s += kReadOnly;
    return s;
}

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

// Values as libpq takes them: their texts (null for NULL) and their types.
struct Bound
{
    std::vector<Parameter> params;
    std::vector<const char*> texts;
    std::vector<Oid> types;
    explicit Bound(const QVector<QVariant>& values)
    {
        params.reserve(values.size());
        for (const QVariant& v : values)
            params.push_back(parameterOf(v));
        for (const Parameter& p : params) {
            texts.push_back(p.null ? nullptr : p.text.constData());
            types.push_back(p.type);
        }
    }
    Bound(const Bound&) = delete; // the texts point into the parameters
    Bound& operator=(const Bound&) = delete;
    int count() const { return int(params.size()); }
};

bool succeeded(const PGresult* r)
{
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
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

PgEngine::PgEngine(const QString& uri, bool readOnly, bool forCopy)
    : m_readOnly(readOnly), m_readOnlyAsked(readOnly)
{
    const QUrl url(uri);
    if (!url.password().isEmpty() || uri.contains(QLatin1String("password=")))
        throw Error(SQLITE_AUTH, QStringLiteral("Das Passwort gehört nicht in die Adresse der Datenbank; das "
                                                "Programm liest es aus ~/.pgpass oder PGPASSWORD."));
    const QByteArray dbname = uri.toUtf8();
    const QByteArray options = sessionOptions(dbname, readOnly);
    const char* keys[] = {"dbname",          "connect_timeout", "application_name",
                          "client_encoding", "options",         nullptr};
    const char* values[] = {dbname.constData(),  "10",   "Fennor Tellomat", "UTF8",
                            options.constData(), nullptr};
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
        // What connecting asks, asked in one round trip; each question takes its answer from here.
        QStringList opening =
            QStringList{kRights} + schemaQuestions() + QStringList{kColumns, kTables, kListen};
        std::vector<Result> answers = pipeline(opening, {}, true);
        for (size_t i = 0; i < answers.size(); ++i)
            m_early.emplace_back(opening[int(i)], std::move(answers[i]));
        checkRights(uri);
        preparePgDatabase(*this, m_readOnly, forCopy, &m_newer);
        if (m_newer)
            m_readOnly = true;
        loadColumns();
        listen(m_readOnly && !m_readOnlyAsked ? QString::fromLatin1(kSetReadOnly) : QString());
        if (!m_tableNames)
            tableNames(); // from the opening's answer, unless the tables were made since
        m_early.clear();
    } catch (...) {
        m_early.clear();
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
    const Result r = run(kRights, {});
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
    m_endUnread = false;     // the old connection's answer goes with it
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        return false;
    return reconnected();
}

void PgEngine::startReset()
{
    m_endUnread = false;
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
        // Back after a break: listening again (the session's settings come with the connection).
        listen(m_readOnly && !m_readOnlyAsked ? QString::fromLatin1(kSetReadOnly) : QString());
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
    if (m_inTransaction)
        return;
    // The end of the last snapshot still on its way: its answer tells as well as a question would.
    if (m_endUnread && PQconsumeInput(m_conn) && PQisBusy(m_conn) && takeEndAnswer())
        return;
    // One round trip: a socket the server closed is not known as closed before it is used.
    run(QStringLiteral("select 1"), {});
}

void PgEngine::requireConnection()
{
    takeEndAnswer();
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

PgEngine::Result PgEngine::earlyAnswer(const QString& sql)
{
    Result r = early(sql);
    if (r && !succeeded(r.get()))
        raiseFailure(r.get());
    return r;
}

PgEngine::Result PgEngine::early(const QString& sql)
{
    for (auto it = m_early.begin(); it != m_early.end(); ++it)
        if (it->first == sql) {
            Result r = std::move(it->second);
            m_early.erase(it);
            return r;
        }
    return {};
}

void PgEngine::forgetTables(const QString& sql)
{
    if (!changesTables(sql))
        return;
    m_tableNames.reset();
    early(kTables); // the opening's answer is out of date too
}

PgEngine::Result PgEngine::run(const QString& sql, const QVector<QVariant>& values)
{
    forgetTables(sql);
    if (values.isEmpty())
        if (Result r = earlyAnswer(sql))
            return r;
    if (m_beginPending)
        return std::move(pipeline({sql}, {values}, false).front());
    requireConnection();
    const QByteArray statement = translate(sql).toUtf8();
    const Bound bound(values);
    auto send = [&] {
        return Result(PQexecParams(m_conn, statement.constData(), bound.count(), bound.types.data(),
                                   bound.texts.data(), nullptr, nullptr, 0));
    };
    Result r = send();
    // A server that went away and came back is only noticed by the next statement: a read outside a
    // transaction is simply asked again on a new connection (a write is not: it may have arrived).
    static const QRegularExpression read(QStringLiteral("^\\s*select\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (!succeeded(r.get()) && PQstatus(m_conn) != CONNECTION_OK && !m_inTransaction &&
        read.match(sql).hasMatch()) {
        requireConnection();
        r = send();
    }
    if (!succeeded(r.get()))
        raiseFailure(r.get());
    return r;
}

std::vector<PgEngine::Result> PgEngine::pipeline(const QStringList& sql,
                                                 const QVector<QVector<QVariant>>& values, bool apart)
{
    // The end of the last snapshot, still unanswered, stays ahead of these in the same pipeline.
    bool endFirst = m_endUnread && PQstatus(m_conn) == CONNECTION_OK;
    m_endUnread = false;
    if (!endFirst)
        requireConnection();
    const bool begin = m_beginPending;
    m_beginPending = false;
    std::vector<QByteArray> texts;
    std::deque<Bound> bound; // stays where it is made: its texts point into it
    if (begin) {
        texts.push_back(kBeginSnapshot.toUtf8());
        bound.emplace_back(QVector<QVariant>());
    }
    for (int i = 0; i < sql.size(); ++i) {
        texts.push_back(translate(sql[i]).toUtf8());
        bound.emplace_back(values.value(i));
    }
    // Sends them all, then takes the answers.
    auto once = [&] {
        bool sent = (endFirst || PQenterPipelineMode(m_conn) == 1) && PQsetnonblocking(m_conn, 1) == 0;
        for (size_t i = 0; sent && i < texts.size(); ++i) {
            sent = PQsendQueryParams(m_conn, texts[i].constData(), bound[i].count(), bound[i].types.data(),
                                     bound[i].texts.data(), nullptr, nullptr, 0) == 1 &&
                   (!apart || PQpipelineSync(m_conn) == 1);
        }
        if (sent && !apart)
            sent = PQpipelineSync(m_conn) == 1;
        // Everything out before the first answer is read: the server answers while the rest is still on
        // its way, and with both sides writing neither may wait for the other.
        while (sent) {
            const int f = PQflush(m_conn);
            if (f == 0)
                break;
            pollfd p{PQsocket(m_conn), POLLIN | POLLOUT, 0};
            if (f < 0 || (poll(&p, 1, -1) < 0 && errno != EINTR) ||
                ((p.revents & POLLIN) && !PQconsumeInput(m_conn)))
                sent = false;
        }
        PQsetnonblocking(m_conn, 0);
        // Each statement gives one result and then none; each end (sync) gives one of its own.
        std::vector<Result> results;
        const size_t ends = apart ? texts.size() : 1;
        int nones = 0;                                               // two in a row: nothing more is coming
        const size_t first = std::exchange(endFirst, false) ? 1 : 0; // the end's sync
        for (size_t seen = 0; sent && seen < ends + first;) {
            Result r(PQgetResult(m_conn));
            if (!r) {
                if (PQstatus(m_conn) != CONNECTION_OK || ++nones > 1)
                    break;
                continue;
            }
            nones = 0;
            if (PQresultStatus(r.get()) == PGRES_PIPELINE_SYNC)
                ++seen;
            else if (seen >= first)
                results.push_back(std::move(r));
        }
        PQexitPipelineMode(m_conn);
        return results;
    };
    std::vector<Result> results = once();
    // A server that went away and came back is only noticed now: reads outside a transaction are
    // simply asked again on a new connection, as a single one is.
    if (results.size() != texts.size() && PQstatus(m_conn) != CONNECTION_OK && !m_inTransaction) {
        requireConnection();
        results = once();
    }
    if (results.size() != texts.size()) {
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw Error(SQLITE_IOERR, kLost, engineText(PQerrorMessage(m_conn)));
        raiseFailure(nullptr);
    }
    if (!apart)
        for (const Result& r : results)
            if (!succeeded(r.get()))
                raiseFailure(r.get()); // the first failure; those after it were not run
    if (begin)
        results.erase(results.begin());
    return results;
}

void PgEngine::runScript(const QString& sql)
{
    runScriptResult(sql);
}

PgEngine::Result PgEngine::runScriptResult(const QString& sql)
{
    forgetTables(sql);
    if (Result r = earlyAnswer(sql))
        return r;
    requireConnection();
    const QString script = m_beginPending ? kBeginSnapshot + QStringLiteral("; ") + sql : sql;
    m_beginPending = false;
    Result r(PQexec(m_conn, script.toUtf8().constData()));
    if (!succeeded(r.get()))
        raiseFailure(r.get());
    return r;
}

void PgEngine::loadColumns()
{
    m_columns.clear();
    m_keys.clear();
    Result r = run(kColumns, {});
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
    fill(r.get(), rs, writable);
}

void PgEngine::fetchAll(const QStringList& sql, const QVector<QVector<QVariant>>& values,
                        std::vector<Recordset>& out)
{
    std::vector<Result> results = pipeline(sql, values, false);
    out.resize(results.size());
    for (size_t i = 0; i < results.size(); ++i)
        fill(results[i].get(), out[i], false);
}

void PgEngine::fill(PGresult* res, Recordset& rs, bool writable)
{
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
    // The begin goes with the first statement, which takes the snapshot: no round trip of its own.
    m_inTransaction = true;
    m_beginPending = true;
    m_snapshotState.clear();
}

QString PgEngine::snapshotState()
{
    // Equal snapshots see the same committed transactions, and so the same data.
    if (m_inTransaction && m_snapshotState.isEmpty())
        m_snapshotState = QString::fromUtf8(
            PQgetvalue(run(QStringLiteral("select pg_current_snapshot()::text"), {}).get(), 0, 0));
    return m_snapshotState;
}

void PgEngine::endSnapshot() noexcept
{
    // Nothing was written: the answer is taken when the connection is next used (or never, when the
    // program ends), so that the end costs no round trip of its own.
    if (m_beginPending || PQstatus(m_conn) != CONNECTION_OK || m_endUnread) {
        rollback();
        return;
    }
    m_inTransaction = false;
    // In pipeline mode: the next pipeline goes after it, without waiting for its answer either.
    if (PQenterPipelineMode(m_conn) == 1 &&
        PQsendQueryParams(m_conn, "rollback", 0, nullptr, nullptr, nullptr, nullptr, 0) == 1 &&
        PQpipelineSync(m_conn) == 1) {
        m_endUnread = true;
        return;
    }
    m_endUnread = true;
    takeEndAnswer();
    PQclear(PQexec(m_conn, "rollback"));
}

bool PgEngine::takeEndAnswer()
{
    if (!m_endUnread)
        return false;
    m_endUnread = false;
    bool ended = false;
    for (int nones = 0; nones < 2;) {
        Result r(PQgetResult(m_conn));
        if (!r) {
            if (PQstatus(m_conn) != CONNECTION_OK)
                break;
            ++nones;
            continue;
        }
        nones = 0;
        if (PQresultStatus(r.get()) == PGRES_PIPELINE_SYNC) {
            ended = true;
            break;
        }
    }
    PQexitPipelineMode(m_conn);
    return ended && PQstatus(m_conn) == CONNECTION_OK;
}

void PgEngine::rollback() noexcept
{
    takeEndAnswer();
    m_inTransaction = false;
    if (m_beginPending) { // nothing was asked: nothing to end
        m_beginPending = false;
        return;
    }
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
    // Tables come and go only by a program's schema work: known once, until this one does such work.
    // Another program's newer version adds tables this one does not read anyway.
    if (m_tableNames && m_early.empty())
        return *m_tableNames;
    m_tableNames.reset();
    const Result r = run(kTables, {});
    QStringList names;
    for (int i = 0; i < PQntuples(r.get()); ++i)
        names << QString::fromUtf8(PQgetvalue(r.get(), i, 0)).toUpper();
    m_tableNames = names;
    return names;
}

qint64 PgEngine::changeCount()
{
    takeNotifications();
    return m_changes;
}

} // namespace tlm
