// One program per database: a second start, a lock left by a crash, a holder that does not answer,
// a holder busy for a while, the database through a link, and two starts at once that must keep
// every backup generation.
#include "app/InstanceGuard.h"
#include "data/Backup.h"
#include "data/Globals.h"
#include "support/Fixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTest>
#include <QThread>
#include <latch>
#include <thread>
#include <unistd.h>

using namespace tlm;

class InstanceTest : public tlmtest::SampleDbTest
{
protected:
    void SetUp() override
    {
        SampleDbTest::SetUp();
        gConnection.close(); // the programs under test open it
    }
    void start(QProcess& p, const char* mode)
    {
        p.start(QStringLiteral(TLM_START_CHILD), {dir(), QString::fromLatin1(mode)});
        ASSERT_TRUE(p.waitForStarted(60000));
    }
    // Waits, handling this process's events, until the child has ended; its output.
    QByteArray finish(QProcess& p)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 120000));
        return p.readAllStandardOutput();
    }
    QStringList files() const { return QDir(dir()).entryList(QDir::Files, QDir::Name); }
    void oldGenerations();
    void expectOneNewGeneration(int round);
};

TEST_F(InstanceTest, ASecondStartBringsTheFirstForwardAndChangesNothing)
{
    const QByteArray db = tlmtest::readBytes(dbPath());
    InstanceGuard first(dbPath());
    ASSERT_EQ(first.acquire(), InstanceGuard::First);
    int raised = 0;
    QObject::connect(&first, &InstanceGuard::raiseRequested, [&] { ++raised; });
    EXPECT_EQ(files(), (QStringList{"tlm.mdb", "tlm.mdb.lock"}));

    QProcess second;
    start(second, "quit");
    const QByteArray out = finish(second);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(out, QByteArray()) << out.constData(); // no window, no message
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(tlmtest::readBytes(dbPath()), db);
    EXPECT_EQ(files(), (QStringList{"tlm.mdb", "tlm.mdb.lock"})); // no backup, no log
}

// A double click on a plan file while the program runs: the running program comes forward and is
// the one that offers the file; the second start changes nothing.
TEST_F(InstanceTest, APlanFileGivenToASecondStartIsOfferedByTheFirst)
{
    const QByteArray db = tlmtest::readBytes(dbPath());
    InstanceGuard first(dbPath());
    ASSERT_EQ(first.acquire(), InstanceGuard::First);
    int raised = 0;
    QStringList offered;
    QObject::connect(&first, &InstanceGuard::raiseRequested, [&] { ++raised; });
    QObject::connect(&first, &InstanceGuard::planFileRequested, [&](const QString& p) { offered << p; });
    const QString plan = QDir(dir()).filePath(QStringLiteral("Zelt lager „ü“%0A.tlm"));
    QProcess second;
    second.start(QStringLiteral(TLM_START_CHILD), {dir(), QStringLiteral("quit"), plan});
    ASSERT_TRUE(second.waitForStarted(60000));
    const QByteArray out = finish(second);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(out, QByteArray()) << out.constData();
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(offered, QStringList{plan});
    EXPECT_EQ(tlmtest::readBytes(dbPath()), db);
}

TEST_F(InstanceTest, ALockLeftByAKilledProgramDoesNotBlockTheNextStart)
{
    QProcess killed;
    start(killed, "stay");
    ASSERT_TRUE(QTest::qWaitFor([&] { return killed.canReadLine(); }, 120000));
    EXPECT_EQ(killed.readLine(), QByteArray("ready\n"));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(60000));
    ASSERT_TRUE(QFile::exists(dbPath() + ".lock")); // left behind

    QProcess next;
    start(next, "quit");
    EXPECT_EQ(finish(next), QByteArray("ready\n"));
    EXPECT_EQ(next.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(dbPath() + ".lock")); // released at the end
}

TEST_F(InstanceTest, AHolderThatDoesNotAnswerOrRunsElsewhereIsNamed)
{
    const QByteArray db = tlmtest::readBytes(dbPath());
    {
        QLockFile silent(dbPath() + ".lock"); // held here, with nobody listening
        ASSERT_TRUE(silent.tryLock(0));
        QProcess second;
        start(second, "quit");
        const QByteArray out = finish(second);
        EXPECT_EQ(second.exitCode(), 1);
        const QString since = QFileInfo(dbPath() + ".lock").lastModified().toString("dd.MM.yyyy HH:mm");
        EXPECT_EQ(QString::fromUtf8(out), "box: Das Programm läuft bereits mit dieser Datenbank (Rechner " +
                                              QSysInfo::machineHostName() + ", seit " + since + ").\n");
    }
    {
        QFile lock(dbPath() + ".lock"); // a program on another machine of a shared folder
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write("4242\ntlm\nkuechen-pc\nandere-maschine\nanderer-start\n");
    }
    QProcess second;
    start(second, "quit");
    const QByteArray out = finish(second);
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(out.contains("(Rechner kuechen-pc, seit ")) << out.constData();
    EXPECT_EQ(tlmtest::readBytes(dbPath()), db);
    EXPECT_EQ(files(), (QStringList{"tlm.mdb", "tlm.mdb.lock"}));
}

TEST_F(InstanceTest, ALinkToTheDatabaseFindsTheProgramThatHoldsItAndABusyOneIsWaitedFor)
{
    const QByteArray db = tlmtest::readBytes(dbPath());
    InstanceGuard first(dbPath());
    ASSERT_EQ(first.acquire(), InstanceGuard::First);
    int raised = 0;
    QObject::connect(&first, &InstanceGuard::raiseRequested, [&] { ++raised; });
    const QString symlinked = QDir(dir()).filePath("symlink"), hardLinked = QDir(dir()).filePath("hardlink");
    QDir().mkpath(symlinked);
    QDir().mkpath(hardLinked);
    ASSERT_TRUE(QFile::link(dbPath(), symlinked + "/tlm.mdb"));
    ASSERT_EQ(::link(QFile::encodeName(dbPath()).constData(),
                     QFile::encodeName(hardLinked + "/tlm.mdb").constData()),
              0);
    for (const QString& folder : {symlinked, hardLinked}) {
        QProcess second;
        second.start(QStringLiteral(TLM_START_CHILD), {folder, QStringLiteral("quit")});
        ASSERT_TRUE(second.waitForStarted(60000));
        const QByteArray out = finish(second);
        EXPECT_EQ(second.exitCode(), 0) << folder.toStdString();
        EXPECT_EQ(out, QByteArray()) << out.constData(); // no window of its own, no message
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"tlm.mdb"}); // no lock, no backup
    }
    EXPECT_EQ(raised, 2);

    // The holder is busy (a backup of a large file) when the second start asks: it waits for the answer.
    QProcess second;
    start(second, "quit");
    auto* server = first.findChild<QLocalServer*>();
    ASSERT_TRUE(server);
    bool timedOut = true; // the guard takes the connection at once, so the result says nothing
    server->waitForNewConnection(60000, &timedOut);
    ASSERT_FALSE(timedOut); // the second start has asked
    QThread::msleep(2000);  // the backup, longer than a second
    const QByteArray out = finish(second);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(out, QByteArray()) << out.constData();
    EXPECT_EQ(raised, 3);
    EXPECT_EQ(tlmtest::readBytes(dbPath()), db);
    EXPECT_EQ(files(), (QStringList{"tlm.mdb", "tlm.mdb.lock"}));
}

// Five generations from the days before, each telling which it is.
void InstanceTest::oldGenerations()
{
    for (int n = 1; n <= 5; ++n) {
        const QString bak = backupPath(dbPath(), n);
        QFile::remove(bak);
        QFile f(bak);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Sicherung " + QByteArray::number(n));
        f.flush();
        f.setFileTime(QDateTime::currentDateTime().addDays(-n), QFileDevice::FileModificationTime);
    }
}

// One new copy today; the four newest of the days before moved down one place each.
void InstanceTest::expectOneNewGeneration(int round)
{
    Connection today;
    today.open(backupPath(dbPath(), 1));
    EXPECT_EQ(today.execute("select count(*) from SPEISEPLAN")->value(0, 0).toInt(), 17) << round;
    today.close();
    for (int n = 2; n <= 5; ++n)
        EXPECT_EQ(tlmtest::readBytes(backupPath(dbPath(), n)), "Sicherung " + QByteArray::number(n - 1))
            << "round " << round << ", copy " << n;
    EXPECT_FALSE(QFile::exists(backupPath(dbPath(), 6)));
    EXPECT_TRUE(QDir(dir()).entryList({"*.tmp*", "*.lock"}).isEmpty()) << round;
}

TEST_F(InstanceTest, TwoStartsAtOnceKeepEveryBackupGeneration)
{
    for (int round = 0; round < 20; ++round) {
        oldGenerations();
        QProcess a, b;
        start(a, "quit");
        start(b, "quit");
        finish(a);
        finish(b);
        expectOneNewGeneration(round);
    }
    // The backup step on its own, run twice at the same moment without the guard.
    for (int round = 0; round < 20; ++round) {
        oldGenerations();
        std::latch go(2);
        auto step = [&] {
            Connection c;
            c.open(dbPath());
            go.arrive_and_wait();
            backupDatabase(c.handle(), dbPath());
            c.close();
        };
        std::thread one(step), two(step);
        one.join();
        two.join();
        expectOneNewGeneration(round);
    }
}
