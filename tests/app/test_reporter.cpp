#include "app/ErrorReporter.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <unistd.h>

using namespace tlm;

class ReporterTest : public tlmtest::DbTest
{
};

TEST_F(ReporterTest, MessageAndLogLineOfAReport)
{
    tlmtest::Modal modal;
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    const QString before = QDateTime::currentDateTime().toString("yyyyMMdd-HH:mm");
    guard("frmMain/fncReq", [] { gConnection.execute("select * from VW_FEHLT"); });
    guard("frmMain/fncReq", [] { throw Error(11, QStringLiteral("Division durch Null\r\nzweite Zeile")); });
    ASSERT_EQ(modal.boxes().size(), 2u);
    EXPECT_EQ(modal.boxes()[0].title, QStringLiteral("Hinweis"));
    EXPECT_EQ(modal.boxes()[0].icon, int(QMessageBox::Information));
    EXPECT_EQ(modal.boxes()[0].text,
              QStringLiteral("Die angeforderte Funktion kann nicht ausgeführt werden:\n"
                             "Modul: frmMain/fncReq,1/Die Tabelle oder Abfrage 'VW_FEHLT' gibt es in der "
                             "Datenbank nicht."));
    const QString log = errorLog();
    const QStringList lines = log.split("\r\n");
    ASSERT_EQ(lines.size(), 4)
        << log.toStdString(); // two reports, the second spanning two lines, and the end
    static const QRegularExpression line(R"(^(\d{8}-\d\d:\d\d)/Modul=frmMain/fncReq/Name=/Desc=(.*)$)");
    const auto m1 = line.match(lines[0]), m2 = line.match(lines[1]);
    ASSERT_TRUE(m1.hasMatch()) << lines[0].toStdString();
    ASSERT_TRUE(m2.hasMatch()) << lines[1].toStdString();
    EXPECT_GE(m1.captured(1), before);
    // The engine's own words follow in the log line only.
    EXPECT_EQ(m1.captured(2), QStringLiteral("1/Die Tabelle oder Abfrage 'VW_FEHLT' gibt es in der Datenbank "
                                             "nicht. (%1)")
                                  .arg(tlmtest::onServer() ? QStringLiteral("relation \"vw_fehlt\" does not exist")
                                                           : QStringLiteral("no such table: VW_FEHLT")));
    EXPECT_EQ(m2.captured(2), QStringLiteral("11/Division durch Null"));
    EXPECT_EQ(lines[2], QStringLiteral("zweite Zeile"));
    EXPECT_EQ(lines[3], QString());
    // The log is Windows-1252: one byte for "ü".
    QFile f(QDir(dir()).filePath("tlm_err.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().contains("\xC3\xBC"));
}

TEST_F(ReporterTest, ExistingLogKeepsItsLinesAndNeutralResults)
{
    {
        QFile f(QDir(dir()).filePath("tlm_err.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("alte Zeile\r\n");
    }
    tlmtest::Modal modal;
    modal.box(QMessageBox::Ok);
    EXPECT_EQ(guardOr("tlm/x", 42, []() -> int { raise(ErrOverflow); }), 42);
    EXPECT_TRUE(errorLog().startsWith("alte Zeile\r\n"));
    EXPECT_TRUE(errorLog().contains("/Modul=tlm/x/Name=/Desc=6/Überlauf\r\n"));
    EXPECT_EQ(guardOr("tlm/x", 7, [] { return 3; }), 3);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(ReporterTest, UnwritableLogGivesOneNestedReportAndNoLoop)
{
    // A log path that is a directory cannot be opened, even by root.
    ASSERT_TRUE(QDir(dir()).mkdir("tlm_err.txt"));
    tlmtest::Modal modal;
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok).box(QMessageBox::Ok).box(QMessageBox::Ok);
    guard("frmMain/fncDel", [] { raise(ErrTypeMismatch); });
    guard("frmMain/fncDel", [] { raise(ErrTypeMismatch); });
    ASSERT_EQ(modal.boxes().size(), 4u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: frmMain/fncDel,13/Typen unverträglich"));
    EXPECT_TRUE(modal.boxes()[1].text.contains("Modul: tlm/fncErr,75/"));
    EXPECT_TRUE(modal.boxes()[2].text.contains("Modul: frmMain/fncDel,"));
    EXPECT_TRUE(modal.boxes()[3].text.contains("Modul: tlm/fncErr,"));
    EXPECT_EQ(modal.unexpected(), 0);
}

// An installed program: its folder cannot be written and holds no database. Each user's database is
// made from the installed template in the user's data folder, once, and the log goes beside it.
TEST(DataFolderTest, AnUnwritableProgramFolderGivesEachUserADatabaseFromTheTemplate)
{
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin"), share = root.filePath("usr/share/fennor-tellomat");
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(share));
    tlmtest::writeBytes(share + "/tlm.mdb", "template bytes");
    ASSERT_TRUE(tlmtest::makeReadOnly(bin));
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", root.filePath("home/.local/share").toUtf8());
    setApplicationDirectory(bin);
    const QString path = root.filePath("home/.local/share/fennor-tellomat/tlm.mdb");
    EXPECT_EQ(databasePath(), path);
    EXPECT_EQ(
        provideUserDatabase(path),
        QStringLiteral("Ihre Datenbank wurde aus der Vorlage des Programms neu angelegt: '%1'.").arg(path));
    EXPECT_EQ(tlmtest::readBytes(path), QByteArray("template bytes"));
    // A second start opens the same file and makes nothing.
    tlmtest::writeBytes(path, "the user's plan");
    EXPECT_EQ(provideUserDatabase(path), QString());
    EXPECT_EQ(tlmtest::readBytes(path), QByteArray("the user's plan"));
    {
        tlmtest::Modal modal;
        modal.box(QMessageBox::Ok);
        guard("frmMain/fncReq", [] { throw Error(11, QStringLiteral("Division durch Null")); });
    }
    EXPECT_TRUE(QFile::exists(root.filePath("home/.local/share/fennor-tellomat/tlm_err.txt")));
    EXPECT_FALSE(QFile::exists(bin + "/tlm_err.txt"));
    tlmtest::restoreWritable(bin);
    setApplicationDirectory({});
    qputenv("XDG_DATA_HOME", oldHome);
}
