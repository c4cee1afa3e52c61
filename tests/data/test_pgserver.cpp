// The test PostgreSQL server: a real one of version 15 or later, reachable only with its password,
// fresh databases on demand, German order through ICU, and no server left running by a killed test.
#include "support/Fixture.h"
#include "support/PgServer.h"

#include <QFile>
#include <QProcess>
#include <gmock/gmock.h>

#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace tlmtest;
using ::testing::HasSubstr;

TEST(PgServer, FreshDatabasesAreDistinctEmptyAndDroppable)
{
    PgServer& server = PgServer::shared();
    const QString a = server.newDatabase();
    const QString b = server.newDatabase();
    EXPECT_NE(a, b);
    EXPECT_EQ(
        a,
        QStringLiteral("postgresql://tlm@127.0.0.1:%1/%2").arg(server.port()).arg(PgServer::databaseName(a)));
    EXPECT_FALSE(a.contains(server.password()));

    const PgConnection ca = pgConnect(a);
    ASSERT_EQ(PQstatus(ca.get()), CONNECTION_OK) << PQerrorMessage(ca.get());
    EXPECT_EQ(pgScalar(ca.get(), "select current_database()"), PgServer::databaseName(a));
    const QString userTables =
        "select count(*) from pg_class c join pg_namespace n on n.oid = c.relnamespace "
        "where n.nspname not in ('pg_catalog', 'information_schema', 'pg_toast')";
    EXPECT_EQ(pgScalar(ca.get(), userTables), "0");
    pgExec(ca.get(), "create table ZUTATEN (ZUTNR integer primary key, ZUTAT text)");
    pgExec(ca.get(), "insert into ZUTATEN values (1, 'Äpfel')");
    EXPECT_EQ(pgRows(ca.get(), "select * from ZUTATEN"), QStringList{"1|Äpfel"});

    const PgConnection cb = pgConnect(b);
    ASSERT_EQ(PQstatus(cb.get()), CONNECTION_OK) << PQerrorMessage(cb.get());
    EXPECT_EQ(pgScalar(cb.get(), "select current_database()"), PgServer::databaseName(b));
    EXPECT_EQ(pgScalar(cb.get(), userTables), "0");

    // Dropped even with a connection still open on it.
    server.dropDatabase(PgServer::databaseName(a));
    server.dropDatabase(PgServer::databaseName(a));
    const PgConnection gone = pgConnect(a);
    EXPECT_EQ(PQstatus(gone.get()), CONNECTION_BAD);
    EXPECT_THAT(PQerrorMessage(gone.get()), HasSubstr("does not exist"));
    EXPECT_EQ(pgScalar(cb.get(), "select count(*) from pg_database where datname like 'tlm_test_%'"), "1");
}

TEST(PgServer, OnlyTheRightPasswordOpensAServerOfVersion15)
{
    PgServer& server = PgServer::shared();
    const QString uri = server.uri("postgres");
    {
        const PgConnection c = pgConnect(uri);
        ASSERT_EQ(PQstatus(c.get()), CONNECTION_OK) << PQerrorMessage(c.get());
        EXPECT_GE(PQserverVersion(c.get()), 150000);
        EXPECT_EQ(pgScalar(c.get(), "select current_user"), "tlm");
        EXPECT_EQ(pgScalar(c.get(), "show server_encoding"), "UTF8");
        EXPECT_EQ(pgScalar(c.get(), "show fsync"), "off");
    }
    {
        const PgPasswordOverride wrong("falsch");
        const PgConnection c = pgConnect(uri);
        EXPECT_EQ(PQstatus(c.get()), CONNECTION_BAD);
        EXPECT_THAT(PQerrorMessage(c.get()), HasSubstr("password authentication failed"));
    }
    {
        const PgPasswordOverride none{QString()};
        EXPECT_FALSE(qEnvironmentVariableIsSet("PGPASSWORD"));
        const PgConnection c = pgConnect(uri);
        EXPECT_EQ(PQstatus(c.get()), CONNECTION_BAD);
        EXPECT_THAT(PQerrorMessage(c.get()), HasSubstr("no password supplied"));
    }
    EXPECT_EQ(qgetenv("PGPASSWORD"), server.password().toUtf8());
    const PgConnection again = pgConnect(uri);
    EXPECT_EQ(PQstatus(again.get()), CONNECTION_OK) << PQerrorMessage(again.get());

    const PgConnection missing = pgConnect(server.uri("gibt_es_nicht"));
    EXPECT_EQ(PQstatus(missing.get()), CONNECTION_BAD);
    EXPECT_THAT(PQerrorMessage(missing.get()), HasSubstr("database \"gibt_es_nicht\" does not exist"));
}

TEST(PgServer, SortsGermanWithTheIcuCollation)
{
    const PgConnection c = pgConnect(PgServer::shared().newDatabase());
    ASSERT_EQ(PQstatus(c.get()), CONNECTION_OK) << PQerrorMessage(c.get());
    pgExec(c.get(), "create collation if not exists \"de-DE-x-icu\" (provider = icu, locale = 'de-DE')");
    EXPECT_EQ(pgScalar(c.get(), "select 'Äpfel' < 'Birnen' collate \"de-DE-x-icu\""), "t");
    EXPECT_EQ(pgScalar(c.get(), "select 'Äpfel' < 'Birnen' collate \"C\""), "f");
    EXPECT_EQ(pgRows(c.get(),
                     "select x from (values ('Zucker'), ('Öl'), ('Birnen'), ('Äpfel'), ('apfel')) v(x) "
                     "order by x collate \"de-DE-x-icu\""),
              (QStringList{"apfel", "Äpfel", "Birnen", "Öl", "Zucker"}));
}

TEST(PgServer, AKilledTestProcessLeavesNoServerRunning)
{
    QProcess child;
    child.start(TLM_PG_CHILD, {});
    ASSERT_TRUE(child.waitForStarted(-1)) << child.errorString().toStdString();
    while (!child.canReadLine() && child.state() == QProcess::Running)
        child.waitForReadyRead(-1);
    const QList<QByteArray> line = child.readLine().trimmed().split(' ');
    ASSERT_EQ(line.size(), 2) << child.readAllStandardError().toStdString();
    const pid_t pid = line[0].toInt();
    const QString folder = QString::fromLocal8Bit(line[1]);
    ASSERT_GT(pid, 0);

    // The process is the child's postmaster, held so that a reused number cannot mislead.
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    ASSERT_GE(fd, 0);
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
    EXPECT_TRUE(cmdline.readAll().contains(QFile::encodeName(folder)));

    child.kill();
    child.waitForFinished(-1);
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 60000), 1) << "the server of a killed process still runs: " << folder.toStdString();
    close(fd);
}
