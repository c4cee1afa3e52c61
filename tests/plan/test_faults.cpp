// What the user's files and disk may do to the program: bad database files at start-up, backups, an import
// hit by a failing write.
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "app/FrmAbout.h"
#include "data/Backup.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "dishes/frmGerichtList.h"
#include "plan/PlanFile.h"
#include "plan/PlanTransfer.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <unistd.h>

using namespace tlm;
using tlmtest::Modal;

namespace {
QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}
} // namespace

class StartUpFaultTest : public tlmtest::SampleDbTest
{
protected:
    void SetUp() override
    {
        SampleDbTest::SetUp();
        gConnection.close();
    }
    // Starts the program on the directory as it is; returns the texts of the boxes it showed.
    QStringList start(frmMain& w, bool expectAbout)
    {
        Modal modal;
        if (expectAbout)
            modal.on<FrmAbout>([](FrmAbout& a) { a.unload(); });
        modal.answerEveryBox(QMessageBox::Ok);
        w.Form_Load();
        EXPECT_EQ(modal.unexpected(), 0);
        return modal.boxTexts();
    }
};

TEST_F(StartUpFaultTest, BadDatabaseFilesGiveOneReportAndAreLeftAsTheyWere)
{
    const QByteArray good = tlmtest::readBytes(dbPath());
    struct Case
    {
        const char* name;
        QByteArray content;
        const char* says;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "ist leer"},
        {"text", QByteArray("Einkaufszettel: Milch, Brot\r\n").repeated(100), "keine lesbare Datenbank"},
        {"truncated", good.left(good.size() / 2), "tlm.mdb"},
        {"zeroed header", QByteArray(100, '\0') + good.mid(100), "tlm.mdb"},
    };
    for (const Case& c : cases) {
        tlmtest::writeBytes(dbPath(), c.content);
        const QStringList before = filesIn(dir());
        frmMain w;
        const QStringList boxes = start(w, false);
        ASSERT_EQ(boxes.size(), 1) << c.name;
        EXPECT_TRUE(boxes[0].contains("Modul: frmMain/Form_Load,")) << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].contains(QString::fromLatin1(c.says))) << c.name << boxes[0].toStdString();
        EXPECT_EQ(tlmtest::readBytes(dbPath()), c.content) << c.name;
        EXPECT_FALSE(gConnection.isOpen());
        // Usable: the next actions report and carry on; no backup of a bad file is made.
        Modal modal;
        modal.answerEveryBox(QMessageBox::Ok);
        w.fncReq(0);
        w.mnuDruckELA->trigger();
        EXPECT_EQ(modal.boxTexts().size(), 2);
        EXPECT_EQ(filesIn(dir()),
                  QStringList(before)
                      << (before.contains("tlm_err.txt") ? QStringList() : QStringList{"tlm_err.txt"}));
        EXPECT_EQ(tlmtest::readBytes(dbPath()), c.content);
        QFile::remove(QDir(dir()).filePath("tlm_err.txt"));
    }
    tlmtest::writeBytes(dbPath(), good);
}

TEST_F(StartUpFaultTest, ALockedDatabaseIsReportedNotWaitedForEver)
{
    {
        frmMain first; // makes today's backup
        EXPECT_TRUE(start(first, true).isEmpty());
        gConnection.close();
    }
    ASSERT_FALSE(newestGoodBackup(dbPath()).isEmpty());
    Connection other;
    other.open(dbPath());
    other.exec("begin exclusive");
    other.exec("delete from SPEISEPLAN"); // uncommitted
    frmMain w;
    const QStringList boxes = start(w, false);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains("gesperrt")) << boxes[0].toStdString();
    EXPECT_FALSE(boxes[0].contains("Sicherung")) << boxes[0].toStdString(); // a locked file is not damaged
    other.exec("rollback");
    other.close();
    frmMain again;
    EXPECT_TRUE(start(again, true).isEmpty());
    EXPECT_EQ(again.gd1->model()->rowCount(), 17);
}

TEST_F(StartUpFaultTest, AReadOnlyDatabaseCanBeViewedPrintedAndExportedAndEveryWriteSaysSo)
{
    const QByteArray good = tlmtest::readBytes(dbPath());
    if (!tlmtest::makeReadOnly(dbPath()))
        GTEST_SKIP() << "this system cannot make a file read-only for this user";
    frmMain w;
    QStringList boxes = start(w, true);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains("schreibgeschützt") && boxes[0].contains("angesehen und gedruckt"))
        << boxes[0].toStdString();
    EXPECT_EQ(w.gd1->model()->rowCount(), 17);
    w.mnuDruckELA->trigger();
    ASSERT_TRUE(frmDlgDruck::shared());
    EXPECT_TRUE(frmDlgDruck::shared()->vp->isComplete());
    EXPECT_GT(frmDlgDruck::shared()->vp->rowTexts().size(), 10);
    delete frmDlgDruck::shared();
    const QString exported = QDir(dir()).filePath("plan.tlm");
    exportPlan(exported);
    EXPECT_EQ(splitPlanText(tlmtest::readBytes(exported)).size(), 17);

    Modal modal;
    modal.box(QMessageBox::Yes).box(QMessageBox::Ok); // removing an entry
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        d.ddGericht->setValue("101");
        d.sfOK->click(); // says so, and the window stays open
        EXPECT_TRUE(d.isVisible());
        d.sfAbbrechen->click();
    });
    modal.box(QMessageBox::Ok);
    w.sfDel->click();
    w.sfAdd->click();
    modal.file(exported).box(QMessageBox::Ok);
    w.mnuLoad->trigger();
    ASSERT_EQ(modal.boxes().size(), 4u);
    EXPECT_TRUE(modal.boxes()[1].text.contains("Modul: frmMain/fncDel,8/Die Datenbank ist schreibgeschützt"));
    EXPECT_TRUE(modal.boxes()[2].text.contains("Modul: frmDlgSpeiseplan/fncSave,8/"));
    EXPECT_TRUE(modal.boxes()[3].text.contains("Modul: frmMain/fncLoad,8/"));
    EXPECT_EQ(modal.unexpected(), 0);
    EXPECT_EQ(w.gd1->model()->rowCount(), 17);
    gConnection.close();
    tlmtest::restoreWritable(dbPath());
    EXPECT_EQ(tlmtest::readBytes(dbPath()), good);
    for (const QString& f : filesIn(dir()))
        EXPECT_FALSE(f.contains(".bak") || f.contains("vor-import")) << f.toStdString(); // no copy attempted
}

TEST_F(StartUpFaultTest, AReadOnlyFolderWithoutDatabaseGivesOneNestedReport)
{
    // A read-only directory: the log cannot be written; one nested report, and no loop.
    QFile::remove(dbPath());
    if (!tlmtest::makeReadOnly(dir()))
        GTEST_SKIP() << "this system cannot make a folder read-only for this user";
    frmMain w2;
    const QStringList boxes = start(w2, false);
    tlmtest::restoreWritable(dir());
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0].contains("Modul: frmMain/Form_Load,3024/"));
    EXPECT_TRUE(boxes[1].contains("Modul: tlm/fncErr,75/"));
    EXPECT_FALSE(QFile::exists(dbPath()));
    EXPECT_FALSE(QFile::exists(QDir(dir()).filePath("tlm_err.txt")));
}

TEST_F(StartUpFaultTest, ADailyBackupRotatesFiveCopiesAndNamesTheGoodOneWhenNeeded)
{
    frmMain w;
    EXPECT_TRUE(start(w, true).isEmpty());
    const QString bak1 = backupPath(dbPath(), 1);
    ASSERT_TRUE(QFile::exists(bak1));
    {
        Connection copy;
        copy.open(bak1);
        EXPECT_EQ(copy.execute("select count(*) from SPEISEPLAN")->value(0, 0).toInt(), 17);
        copy.close();
    }
    EXPECT_TRUE(QDir(dir()).entryList({"*.tmp*"}).isEmpty()); // no temporary copy left behind
    // A second start the same day makes no new copy.
    gConnection.close();
    gConnection.open(location());
    gConnection.exec("delete from SPEISEPLAN"); // the plan deleted by mistake
    gConnection.close();
    frmMain w2;
    EXPECT_TRUE(start(w2, true).isEmpty());
    EXPECT_FALSE(QFile::exists(backupPath(dbPath(), 2)));
    // Yesterday's copy: the next start keeps it as bak2 and makes today's.
    auto startNextDay = [&] {
        QFile f(bak1);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        f.close();
        gConnection.close();
        frmMain again;
        EXPECT_TRUE(start(again, true).isEmpty());
    };
    auto plannedIn = [&](int n) {
        Connection copy;
        copy.open(backupPath(dbPath(), n));
        const int count = copy.execute("select count(*) from SPEISEPLAN")->value(0, 0).toInt();
        copy.close();
        return count;
    };
    startNextDay();
    EXPECT_EQ(plannedIn(2), 17); // yesterday's copy: one file to copy back
    EXPECT_EQ(plannedIn(1), 0);
    for (int day = 0; day < 3; ++day)
        startNextDay();
    for (int n = 1; n <= 5; ++n)
        EXPECT_TRUE(QFile::exists(backupPath(dbPath(), n))) << n;
    EXPECT_EQ(plannedIn(5), 17);
    startNextDay();
    EXPECT_EQ(plannedIn(5), 0); // the oldest copy gives way
    EXPECT_FALSE(QFile::exists(backupPath(dbPath(), 6)));
    // A damaged database is not written to, and the message names the newest good copy.
    gConnection.close();
    QByteArray damaged = tlmtest::readBytes(dbPath());
    damaged.replace(0, 16, "kaputt kaputt!!!");
    tlmtest::writeBytes(dbPath(), damaged);
    const QByteArray bak1Before = tlmtest::readBytes(bak1);
    frmMain broken;
    const QStringList boxes = start(broken, false);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains("Die neueste gute Sicherung ist '" + bak1 + "' vom "))
        << boxes[0].toStdString();
    EXPECT_EQ(tlmtest::readBytes(dbPath()), damaged);
    EXPECT_EQ(tlmtest::readBytes(bak1), bak1Before);
}

class IoFaultTest : public tlmtest::SampleDbTest
{
protected:
    QString planDigest()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN order by KEY")
            .join(';');
    }
    // Closes the faulty connection and checks the file with the ordinary one.
    QString reopenAndCheck()
    {
        if (gConnection.isOpen())
            gConnection.close();
        gConnection.open(location());
        EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        return planDigest();
    }
};

TEST_F(IoFaultTest, AnImportHitByAFailingWriteLeavesTheOldPlanOrTheNew)
{
    const QString file = QDir(dir()).filePath("neu.tlm");
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QStringLiteral("%1.08.2026|2|x|2|y|%2|z|%3|Falsch|")
                     .arg(1 + i % 28, 2, 10, QChar('0'))
                     .arg(101 + i % 19)
                     .arg(10 + i);
    tlmtest::writeBytes(file, joinPlanLines(lines));
    const QString oldPlan = planDigest();
    importPlan(file);
    const QString newPlan = planDigest();
    ASSERT_NE(oldPlan, newPlan);
    const QByteArray pristine = [&] {
        gConnection.close();
        return tlmtest::readBytes(dbPath());
    }();
    int failures = 0;
    for (int n = 1; n < 200; ++n) {
        tlmtest::writeBytes(dbPath(), pristine);
        QFile::remove(dbPath() + "-journal");
        {
            tlmtest::FaultVfs vfs;
            gConnection.open(location());
            vfs.failAt(n);
            try {
                importPlan(file);
            } catch (const Error&) {
            }
            const bool failed = vfs.failed();
            gConnection.close();
            if (!failed)
                break;
            ++failures;
        }
        const QString state = reopenAndCheck();
        EXPECT_TRUE(state == oldPlan || state == newPlan) << "write " << n;
        gConnection.close();
    }
    EXPECT_GT(failures, 3);
    gConnection.open(location());
}
