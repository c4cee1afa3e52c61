#include "support/PgServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrl>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tlmtest {

namespace {

const char* const kAccount = "tlm-pg-test";

QString binary(const char* name)
{
    const QString dir = qEnvironmentVariable("TLM_PG_BINDIR", QStringLiteral("/usr/lib/postgresql/15/bin"));
    return dir + '/' + QLatin1String(name);
}

// Who runs the cluster: initdb and postgres refuse root, so root hands them to an ordinary account.
struct Account
{
    bool switchUser = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

struct Result
{
    bool ok = false;
    QString output;
};

Result run(const QString& program, const QStringList& args, const QString& workDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& key : env.keys())
        if (key.startsWith(QLatin1String("PG")))
            env.remove(key);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("HOME"), workDir);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForStarted(-1))
        return {false, program + QStringLiteral(": ") + p.errorString()};
    p.waitForFinished(-1);
    const QString out = QString::fromLocal8Bit(p.readAll());
    return {p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, out};
}

QStringList asAccount(const Account& a, const QString& program, const QStringList& args)
{
    if (!a.switchUser)
        return QStringList{program} + args;
    return QStringList{QStringLiteral("/usr/bin/setpriv"),
                       QStringLiteral("--reuid=%1").arg(a.uid),
                       QStringLiteral("--regid=%1").arg(a.gid),
                       QStringLiteral("--clear-groups"),
                       QStringLiteral("--"),
                       program} +
           args;
}

Result runAs(const Account& a, const QString& program, const QStringList& args, const QString& workDir)
{
    QStringList cmd = asAccount(a, program, args);
    const QString first = cmd.takeFirst();
    return run(first, cmd, workDir);
}

Account ordinaryAccount()
{
    if (geteuid() != 0)
        return {};
    // Two useradds at once may both pass their check and the second rewrite the first's entry, so
    // test processes (and scripts/pg-server) take turns.
    const int lock = open("/run/lock/tlm-pg-test.lock", O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (lock < 0 || flock(lock, LOCK_EX) != 0)
        throw PgServerError("PostgreSQL test server: cannot lock /run/lock/tlm-pg-test.lock");
    const passwd* pw = getpwnam(kAccount);
    QString made;
    if (!pw) {
        made = run(QStringLiteral("useradd"),
                   {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                    QStringLiteral("--home-dir"), QStringLiteral("/nonexistent"), QStringLiteral("--shell"),
                    QStringLiteral("/usr/sbin/nologin"), QLatin1String(kAccount)},
                   QStringLiteral("/"))
                   .output;
        pw = getpwnam(kAccount);
    }
    close(lock);
    if (!pw)
        throw PgServerError("PostgreSQL test server: no account " + std::string(kAccount) +
                            " to run it as (root may not): " + made.toStdString());
    return {true, pw->pw_uid, pw->pw_gid};
}

QString randomPassword()
{
    static const char alphabet[] = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString s;
    for (int i = 0; i < 24; ++i)
        s += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(int(sizeof alphabet) - 1)]);
    return s;
}

// A port nobody listens on just now; postgres may still lose it to another process before it binds.
int freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(fd);
    return port;
}

QString tail(const QString& text, int lines)
{
    QStringList all = text.split('\n');
    while (!all.isEmpty() && all.last().isEmpty())
        all.removeLast();
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join('\n');
}

QString shellQuoted(const QString& s)
{
    QString q = s;
    q.replace('\'', QLatin1String("'\\''"));
    return '\'' + q + '\'';
}

std::string quotedIdentifier(PGconn* conn, const QString& name)
{
    const QByteArray utf8 = name.toUtf8();
    char* quoted = PQescapeIdentifier(conn, utf8.constData(), utf8.size());
    if (!quoted)
        throw PgServerError(std::string("PostgreSQL: ") + PQerrorMessage(conn));
    std::string out(quoted);
    PQfreemem(quoted);
    return out;
}

using PgResult = std::unique_ptr<PGresult, void (*)(PGresult*)>;

PgResult query(PGconn* conn, const QString& sql)
{
    PgResult r(PQexec(conn, sql.toUtf8().constData()), PQclear);
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        throw PgServerError("PostgreSQL: " + sql.toStdString() + ": " + PQerrorMessage(conn));
    return r;
}

} // namespace

// A process outside the test's process tree that stops the server and removes its folder as soon as
// the test process is gone - however it went - or when told to at a normal end. It waits for the
// end of a pipe whose only writer is the test process; a second pipe tells the test it is done.
class PgWatchdog
{
public:
    explicit PgWatchdog(const QString& script)
    {
        const std::string cmd = script.toStdString();
        const char* argv[] = {"/bin/sh", "-c", cmd.c_str(), nullptr};
        const char* envp[] = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", "LC_ALL=C", nullptr};
        int stop[2];
        int done[2];
        if (pipe2(stop, O_CLOEXEC) != 0)
            throw PgServerError("PostgreSQL test server: no pipe for its watchdog");
        if (pipe2(done, O_CLOEXEC) != 0) {
            close(stop[0]);
            close(stop[1]);
            throw PgServerError("PostgreSQL test server: no pipe for its watchdog");
        }
        const pid_t child = fork();
        if (child == 0) {
            // Only async-signal-safe calls from here: the test process has threads.
            setsid();
            const pid_t watchdog = fork();
            if (watchdog != 0)
                _exit(watchdog < 0 ? 1 : 0);
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            if (chdir("/") != 0)
                _exit(1);
            fcntl(done[1], F_SETFD, 0); // kept open through exec until the stop has run
            const int low = std::min(stop[0], done[1]);
            const int high = std::max(stop[0], done[1]);
            close_range(3, low - 1, 0);
            close_range(low + 1, high - 1, 0);
            close_range(high + 1, ~0U, 0);
            waitForEnd(stop[0]);
            close(stop[0]);
            execve(argv[0], const_cast<char**>(argv), const_cast<char**>(envp));
            _exit(127);
        }
        close(stop[0]);
        close(done[1]);
        if (child < 0) {
            close(stop[1]);
            close(done[0]);
            throw PgServerError("PostgreSQL test server: cannot start its watchdog");
        }
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            close(stop[1]);
            close(done[0]);
            throw PgServerError("PostgreSQL test server: cannot start its watchdog");
        }
        m_stop = stop[1];
        m_done = done[0];
    }

    ~PgWatchdog()
    {
        close(m_stop);
        waitForEnd(m_done);
        close(m_done);
    }

private:
    // Blocks until every writer of the pipe has closed it.
    static void waitForEnd(int fd)
    {
        char c;
        for (;;) {
            const ssize_t n = read(fd, &c, 1);
            if (n == 0 || (n < 0 && errno != EINTR))
                return;
        }
    }

    int m_stop = -1;
    int m_done = -1;
};

PgServer& PgServer::shared()
{
    static std::unique_ptr<PgServer> server;
    static std::string failure;
    if (!server) {
        if (!failure.empty())
            throw PgServerError(failure);
        try {
            server.reset(new PgServer);
        } catch (const PgServerError& e) {
            failure = e.what();
            throw;
        }
    }
    return *server;
}

PgServer::PgServer()
{
    const Account account = ordinaryAccount();
    // As root the account must reach the folder, and root's TMPDIR may lie under /root.
    const QString base = account.switchUser ? QStringLiteral("/tmp") : QDir::tempPath();
    m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/tlm-pg-XXXXXX"));
    if (!m_dir->isValid())
        throw PgServerError("PostgreSQL test server: no temporary folder in " + base.toStdString());
    const QString data = m_dir->filePath(QStringLiteral("data"));
    const QStringList stop =
        asAccount(account, binary("pg_ctl"),
                  {QStringLiteral("stop"), QStringLiteral("-D"), data, QStringLiteral("-s")});
    QStringList fast, immediate;
    for (const QString& s : stop)
        fast << shellQuoted(s);
    immediate = fast;
    fast << QStringLiteral("-m fast -w -t 30");
    immediate << QStringLiteral("-m immediate -w -t 30");
    m_watchdog = std::make_unique<PgWatchdog>(
        QStringLiteral("{ %1 || %2; } >/dev/null 2>&1; rm -rf -- %3")
            .arg(fast.join(' '), immediate.join(' '), shellQuoted(m_dir->path())));
    if (account.switchUser &&
        chown(QFile::encodeName(m_dir->path()).constData(), account.uid, account.gid) != 0)
        throw PgServerError("PostgreSQL test server: cannot hand " + m_dir->path().toStdString() + " to " +
                            kAccount);
    m_password = randomPassword();

    // initdb reads the superuser's password from a file, never from its command line.
    const QString pwFile = m_dir->filePath(QStringLiteral("pwfile"));
    {
        QFile f(pwFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(m_password.toUtf8() + '\n') < 0)
            throw PgServerError("PostgreSQL test server: cannot write " + pwFile.toStdString());
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    if (account.switchUser && chown(QFile::encodeName(pwFile).constData(), account.uid, account.gid) != 0)
        throw PgServerError("PostgreSQL test server: cannot hand the password file to " +
                            std::string(kAccount));
    const Result init =
        runAs(account, binary("initdb"),
              {QStringLiteral("-D"), data, QStringLiteral("-U"), user(), QStringLiteral("--pwfile=") + pwFile,
               QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
               QStringLiteral("--auth=scram-sha-256"), QStringLiteral("--no-sync")},
              m_dir->path());
    QFile::remove(pwFile);
    if (!init.ok)
        throw PgServerError("PostgreSQL test server: initdb failed:\n" + tail(init.output, 30).toStdString());

    QFile conf(data + QStringLiteral("/postgresql.conf"));
    if (!conf.open(QIODevice::Append))
        throw PgServerError("PostgreSQL test server: cannot extend " + conf.fileName().toStdString());
    conf.write(QStringLiteral("\n# test server\n"
                              "listen_addresses = '127.0.0.1'\n"
                              "unix_socket_directories = '%1'\n"
                              "fsync = off\n"
                              "synchronous_commit = off\n"
                              "full_page_writes = off\n"
                              "shared_buffers = 16MB\n"
                              "max_connections = 40\n")
                   .arg(m_dir->path())
                   .toUtf8());
    conf.close();

    // The port is only reserved once postgres binds it; another process may win it meanwhile.
    const QString log = m_dir->filePath(QStringLiteral("log"));
    QString why;
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int port = freePort();
        if (port == 0)
            throw PgServerError("PostgreSQL test server: no free port on 127.0.0.1");
        const qint64 logStart = QFileInfo(log).size();
        const Result started =
            runAs(account, binary("pg_ctl"),
                  {QStringLiteral("start"), QStringLiteral("-D"), data, QStringLiteral("-l"), log,
                   QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-s"),
                   QStringLiteral("-o"), QStringLiteral("-p %1").arg(port)},
                  m_dir->path());
        if (started.ok) {
            m_port = port;
            qputenv("PGPASSWORD", m_password.toUtf8());
            return;
        }
        QFile f(log);
        f.open(QIODevice::ReadOnly);
        f.seek(logStart);
        why = started.output + QString::fromUtf8(f.readAll());
        if (!why.contains(QLatin1String("Address already in use")))
            break;
    }
    throw PgServerError("PostgreSQL test server: pg_ctl start failed:\n" + tail(why, 30).toStdString());
}

PgServer::~PgServer() = default;

QString PgServer::uri(const QString& db) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3")
        .arg(user())
        .arg(m_port)
        .arg(QString::fromUtf8(QUrl::toPercentEncoding(db)));
}

QString PgServer::databaseName(const QString& uri)
{
    QString rest = uri.section('/', -1);
    rest = rest.section('?', 0, 0);
    return QUrl::fromPercentEncoding(rest.toUtf8());
}

PGconn* PgServer::adminConnection() const
{
    const QByteArray port = QByteArray::number(m_port);
    const QByteArray userName = user().toUtf8();
    const QByteArray password = m_password.toUtf8();
    const char* keys[] = {"host", "port", "user", "password", "dbname", "client_encoding", nullptr};
    const char* values[] = {
        "127.0.0.1", port.constData(), userName.constData(), password.constData(), "postgres",
        "UTF8",      nullptr};
    PGconn* conn = PQconnectdbParams(keys, values, 0);
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string why = PQerrorMessage(conn);
        PQfinish(conn);
        throw PgServerError("PostgreSQL test server: " + why + "\n" + logTail().toStdString());
    }
    return conn;
}

QString PgServer::newDatabase()
{
    const PgConnection conn(adminConnection(), PQfinish);
    const QString name = QStringLiteral("tlm_test_%1").arg(++m_databases);
    query(
        conn.get(),
        QStringLiteral("create database %1").arg(QString::fromStdString(quotedIdentifier(conn.get(), name))));
    return uri(name);
}

void PgServer::dropDatabase(const QString& name)
{
    const PgConnection conn(adminConnection(), PQfinish);
    query(conn.get(), QStringLiteral("drop database if exists %1 with (force)")
                          .arg(QString::fromStdString(quotedIdentifier(conn.get(), name))));
}

QString PgServer::logTail(int lines) const
{
    QFile f(m_dir->filePath(QStringLiteral("log")));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("(no server log)");
    return tail(QString::fromUtf8(f.readAll()), lines);
}

QString PgServer::folder() const
{
    return m_dir->path();
}

qint64 PgServer::pid() const
{
    QFile f(m_dir->filePath(QStringLiteral("data/postmaster.pid")));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readLine().trimmed().toLongLong();
}

PgPasswordOverride::PgPasswordOverride(const QString& password)
{
    if (qEnvironmentVariableIsSet("PGPASSWORD"))
        m_password = qgetenv("PGPASSWORD");
    if (qEnvironmentVariableIsSet("PGPASSFILE"))
        m_passFile = qgetenv("PGPASSFILE");
    if (password.isNull()) {
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", "/nonexistent/pgpass");
    } else {
        qputenv("PGPASSWORD", password.toUtf8());
    }
}

PgPasswordOverride::~PgPasswordOverride()
{
    if (m_password)
        qputenv("PGPASSWORD", *m_password);
    else
        qunsetenv("PGPASSWORD");
    if (m_passFile)
        qputenv("PGPASSFILE", *m_passFile);
    else
        qunsetenv("PGPASSFILE");
}

PgConnection pgConnect(const QString& uri)
{
    return PgConnection(PQconnectdb(uri.toUtf8().constData()), PQfinish);
}

QStringList pgRows(PGconn* conn, const QString& sql)
{
    const PgResult r = query(conn, sql);
    QStringList out;
    for (int row = 0; row < PQntuples(r.get()); ++row) {
        QStringList cells;
        for (int col = 0; col < PQnfields(r.get()); ++col)
            cells << QString::fromUtf8(PQgetvalue(r.get(), row, col));
        out << cells.join('|');
    }
    return out;
}

QString pgScalar(PGconn* conn, const QString& sql)
{
    const PgResult r = query(conn, sql);
    if (PQntuples(r.get()) == 0 || PQnfields(r.get()) == 0 || PQgetisnull(r.get(), 0, 0))
        return {};
    return QString::fromUtf8(PQgetvalue(r.get(), 0, 0));
}

void pgExec(PGconn* conn, const QString& sql)
{
    query(conn, sql);
}

} // namespace tlmtest
