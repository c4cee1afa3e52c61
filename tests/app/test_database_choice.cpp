// "Datenbank wählen": a file, a server, the lock that goes with them.
#include "app/DatabaseLock.h"
#include "app/frmDatenbank.h"
#include "data/Connection.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PgServer.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"
#include "support/Workstations.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QUuid>
#include <sqlite3.h>

using namespace tlm;
using tlmtest::Modal;

// A kitchen's database on its own stick, named by hand in "Datenbank wählen".
class DatabaseChoiceTest : public tlmtest::DbTest
{
};

TEST_F(DatabaseChoiceTest, AFileNamedWithoutItsFolderIsKeptWithItForTheNextStart)
{
    ASSERT_EQ(createDatabase(QDir(dir()).filePath("sommer.mdb"), false), QString());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir()));
    Modal modal;
    modal.on<frmDatenbank>([](frmDatenbank& d) {
        d.rbDatei->setChecked(true);
        d.txDatei->setText(QStringLiteral("sommer.mdb"));
        d.sfOK->click();
    });
    const bool switched = fncDlgDatenbank();
    QDir::setCurrent(before); // the next start from the menu runs in another folder
    EXPECT_TRUE(switched);
    const QString chosen = QDir(dir()).filePath("sommer.mdb");
    EXPECT_EQ(gConnection.path(), chosen);
    EXPECT_EQ(QSettings(QStringLiteral("TLM"), QStringLiteral("TLM")).value("Local/Datenbank").toString(),
              chosen);
    EXPECT_TRUE(QFileInfo(databasePath()).isFile()) << databasePath().toStdString();
    EXPECT_TRUE(modal.allUsed());
    storeDatabaseChoice(QString());
}

// One program per database holds after a change of database too: the lock goes with the file worked
// on, and a file another program works on is not taken.
TEST_F(DatabaseChoiceTest, TheLockGoesWithTheChosenDatabaseAndAHeldOneIsNotTaken)
{
    DatabaseLock lock; // as the program's start takes it
    ASSERT_EQ(lock.lock(dbPath()), InstanceGuard::First);
    lock.keepLast();
    const QString winter = QDir(dir()).filePath("winter.mdb");
    ASSERT_EQ(createDatabase(winter, false), QString());
    {
        QFile held(winter + ".lock"); // a program on another computer of a shared folder
        ASSERT_TRUE(held.open(QIODevice::WriteOnly));
        held.write("4242\ntlm\nkuechen-pc\nandere-maschine\nanderer-start\n");
    }
    auto choose = [&] {
        Modal modal;
        modal.on<frmDatenbank>([&](frmDatenbank& d) {
            d.rbDatei->setChecked(true);
            d.txDatei->setText(winter);
            d.sfOK->click();
            if (d.isVisible())
                d.sfAbbrechen->click();
        });
        modal.answerEveryBox(QMessageBox::Ok);
        const bool switched = fncDlgDatenbank();
        return std::pair(switched, modal.boxTexts());
    };
    const auto [refused, said] = choose();
    EXPECT_FALSE(refused);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith("Das Programm läuft bereits mit dieser Datenbank (Rechner kuechen-pc"))
        << said[0].toStdString();
    EXPECT_EQ(gConnection.path(), dbPath());
    EXPECT_FALSE(QLockFile(dbPath() + ".lock").tryLock(0)); // still ours

    QFile::remove(winter + ".lock");
    EXPECT_TRUE(choose().first);
    EXPECT_EQ(gConnection.path(), winter);
    EXPECT_FALSE(QFile::exists(dbPath() + ".lock")); // let go
    EXPECT_FALSE(QLockFile(winter + ".lock").tryLock(0));
    storeDatabaseChoice(QString());
}

TEST_F(DatabaseChoiceTest, ADatabaseThatCanOnlyBeReadSaysSoWhenChosenAsAtTheStart)
{
    const QString stick = QDir(dir()).filePath("stick.mdb");
    ASSERT_EQ(createDatabase(stick, false), QString());
    ASSERT_TRUE(tlmtest::makeReadOnly(stick));
    Modal modal;
    modal.on<frmDatenbank>([&](frmDatenbank& d) {
        d.rbDatei->setChecked(true);
        d.txDatei->setText(stick);
        d.sfOK->click();
    });
    modal.box(QMessageBox::Ok);
    EXPECT_TRUE(fncDlgDatenbank());
    tlmtest::restoreWritable(stick);
    EXPECT_TRUE(gConnection.isReadOnly());
    EXPECT_EQ(modal.boxTexts(),
              QStringList{"Die Datenbank '" + stick +
                          "' ist schreibgeschützt. Speiseplan, Gerichte und Zutaten können angesehen und "
                          "gedruckt, aber nicht geändert werden."});
    EXPECT_TRUE(modal.allUsed());
    EXPECT_EQ(modal.unexpected(), 0);
    storeDatabaseChoice(QString());
}

TEST_F(ServerTest, TheDatabaseChosenInTheMenuIsOpenedInPlaceAndKeptForTheNextStart)
{
    Modal modal;
    modal.on<frmDatenbank>([&](frmDatenbank& d) {
        EXPECT_TRUE(d.rbServer->isChecked());
        EXPECT_EQ(d.txServer->text(), location());
        d.rbServer->setChecked(true);
        d.txServer->setText(QStringLiteral("server:5432/tlm")); // no address of a server
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.rbDatei->setChecked(true);
        d.txDatei->setText(dbPath());
        d.sfOK->click();
    });
    modal.box(QMessageBox::Ok);
    EXPECT_TRUE(fncDlgDatenbank());
    EXPECT_EQ(modal.boxTexts(),
              QStringList{
                  "Bitte die Adresse des Servers so eingeben: postgresql://benutzer@server:5432/datenbank"});
    EXPECT_FALSE(gConnection.isServer());
    EXPECT_EQ(gConnection.path(), dbPath());
    EXPECT_EQ(databasePath(), dbPath());
    EXPECT_EQ(QSettings(QStringLiteral("TLM"), QStringLiteral("TLM")).value("Local/Datenbank").toString(),
              dbPath());
    // And back to the server, where the plan another workstation changed is shown.
    other.exec(QStringLiteral("delete from SPEISEPLAN where KEY = 101"));
    modal.on<frmDatenbank>([&](frmDatenbank& d) {
        d.rbServer->setChecked(true);
        d.txServer->setText(location());
        d.sfOK->click();
    });
    EXPECT_TRUE(fncDlgDatenbank());
    EXPECT_TRUE(gConnection.isServer());
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN where KEY = 101").toInt(), 0);
    storeDatabaseChoice(QString());
    EXPECT_TRUE(modal.allUsed());
}
