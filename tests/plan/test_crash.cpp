// An import killed at random moments: the database stays intact and holds the old plan or the new.
#include "data/Connection.h"
#include "data/Globals.h"
#include "plan/PlanFile.h"
#include "support/Fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

using namespace tlm;

class CrashTest : public tlmtest::SampleDbTest
{
protected:
    QString digest(Connection& c)
    {
        RecordsetPtr rs = c.execute("select count(*), sum(KEY * PERSONEN), max(TAG) from SPEISEPLAN");
        return QStringLiteral("%1/%2/%3")
            .arg(rs->value(0, 0).toString(), rs->value(0, 1).toString(), rs->value(0, 2).toString());
    }
};

TEST_F(CrashTest, KilledImportsLeaveTheOldPlanOrTheNew)
{
    const QString child = QStringLiteral(TLM_IMPORT_CHILD);
    ASSERT_TRUE(QFile::exists(child)) << child.toStdString();
    const QString file = QDir(dir()).filePath("gross.tlm");
    QStringList lines;
    for (int i = 0; i < 20000; ++i)
        lines << QStringLiteral("%1.%2.2027|%3|x|2|y|%4|z|%5|Falsch|")
                     .arg(1 + i % 28, 2, 10, QChar('0'))
                     .arg(1 + (i / 28) % 12, 2, 10, QChar('0'))
                     .arg(1 + i % 4)
                     .arg(101 + i % 19)
                     .arg(5 + i % 40);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(joinPlanLines(lines));
    }
    const QString oldPlan = digest(gConnection);
    gConnection.close();
    QFile pristineFile(dbPath());
    ASSERT_TRUE(pristineFile.open(QIODevice::ReadOnly));
    const QByteArray pristine = pristineFile.readAll();
    pristineFile.close();

    auto restore = [&] {
        QFile::remove(dbPath() + "-journal");
        QFile f(dbPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(pristine);
    };
    // One whole run tells how long an import takes and what the new plan is.
    QElapsedTimer t;
    t.start();
    ASSERT_EQ(QProcess::execute(child, {dbPath(), file}), 0);
    const qint64 whole = qMax<qint64>(t.elapsed(), 20);
    QString newPlan;
    {
        Connection c;
        c.open(dbPath());
        newPlan = digest(c);
        c.close();
    }
    ASSERT_NE(oldPlan, newPlan);

    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < 50; ++round) {
        restore();
        QProcess p;
        p.start(child, {dbPath(), file});
        ASSERT_TRUE(p.waitForStarted());
        ASSERT_TRUE(p.waitForReadyRead(60000)); // the child has opened the database
        // The kill moments spread evenly over one import's time, the first ones at its very start.
        QThread::msleep(round * (whole + 10) / 50);
        p.kill(); // SIGKILL
        p.waitForFinished();
        Connection c;
        c.open(dbPath()); // rolls a hot journal back
        RecordsetPtr check = c.execute("PRAGMA integrity_check");
        EXPECT_EQ(check->value(0, 0).toString(), QStringLiteral("ok")) << "round " << round;
        const QString state = digest(c);
        c.close();
        EXPECT_TRUE(state == oldPlan || state == newPlan) << "round " << round << ": " << state.toStdString();
        (state == oldPlan ? sawOld : sawNew)++;
    }
    EXPECT_GT(sawOld, 0); // the kills did land inside imports
    restore();
    gConnection.open(location());
}
