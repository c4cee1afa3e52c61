// Several workstations on one PostgreSQL server: these run only on the server (pg:ServerTest.*).
#include "app/DataGrid.h"
#include "data/Connection.h"
#include "data/Convert.h"
#include "data/DatabaseCopy.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "dishes/frmGerichtDet.h"
#include "extras/CampPlanning.h"
#include "extras/Undo.h"
#include "extras/frmDatenbank.h"
#include "ingredients/frmZutatDet.h"
#include "plan/EntryDelete.h"
#include "plan/frmMain.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PgServer.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QUuid>

using namespace tlm;
using tlmtest::Modal;

namespace {
const QString kChanged = QStringLiteral(
    "Der Eintrag wurde inzwischen an einem anderen Arbeitsplatz geändert und wird neu geladen.");

class ServerTest : public tlmtest::SampleDbTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tlmtest::onServer()) << "runs on a server only (TLM_TEST_ENGINE=postgresql)";
        SampleDbTest::SetUp();
        other.open(location()); // a second workstation
    }
    void TearDown() override
    {
        if (other.isOpen())
            other.close();
        SampleDbTest::TearDown();
    }
    QString otherScalar(const QString& sql) { return textOf(other.execute(sql)->value(0, 0)); }

    Connection other;
};

TEST_F(ServerTest, AnEditOfARecordChangedElsewhereWritesNothingAndShowsTheCurrentOne)
{
    Modal modal;
    modal.on<frmZutatDet>([&](frmZutatDet& d) {
        EXPECT_EQ(d.txZUTAT->text(), QStringLiteral("Äpfel"));
        d.txZUTAT->setText(QStringLiteral("Äpfel, rot"));
        other.exec(
            QStringLiteral("update ZUTATEN set ZUTAT = 'Äpfel (Boskop)', PREIS = 4.5 where ZUTNR = 101"));
        d.sfOK->click();
        // Not written, not closed: the window shows what the other workstation stored.
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.txZUTAT->text(), QStringLiteral("Äpfel (Boskop)"));
        // Edited again on what is there now, it is written.
        d.txMENGE->setText(QStringLiteral("3"));
        d.sfOK->click();
    });
    modal.box(QMessageBox::Ok);
    fncDlgZutatDet(101);
    EXPECT_EQ(modal.boxTexts(), QStringList{kChanged});
    EXPECT_EQ(otherScalar("select ZUTAT || '|' || MENGE || '|' || PREIS from ZUTATEN where ZUTNR = 101"),
              QStringLiteral("Äpfel (Boskop)|3|4.5"));
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(ServerTest, ARecordDeletedUnderAnOpenEditorIsNotMadeAgain)
{
    Modal modal;
    modal.on<frmGerichtDet>([&](frmGerichtDet& d) {
        d.txGERICHT->setText(QStringLiteral("Neuer Name"));
        other.exec(QStringLiteral("delete from GERICHTE where GERNR = 101"));
        d.sfOK->click();
        EXPECT_FALSE(d.isVisible()); // nothing left to show
    });
    modal.box(QMessageBox::Ok);
    fncDlgGerichtDet(101);
    EXPECT_EQ(modal.boxTexts(), QStringList{kChanged});
    EXPECT_EQ(otherScalar("select count(*) from GERICHTE where GERNR = 101"), QStringLiteral("0"));
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(ServerTest, EachWorkstationTakesBackItsOwnStepsAndOnlyWhileTheirRowsAreAsItLeftThem)
{
    // Two programs, each with the workstation its own settings keep.
    auto workstation = [](const QString& id) {
        QSettings(QStringLiteral("TLM"), QStringLiteral("TLM")).setValue("Local/Arbeitsplatz", id);
    };
    const QString a = QUuid::createUuid().toString(QUuid::WithoutBraces),
                  b = QUuid::createUuid().toString(QUuid::WithoutBraces);
    workstation(a);
    const CopyResult copied = copyDays(QDate(2026, 7, 20), QDate(2026, 7, 20), QDate(2026, 7, 27));
    ASSERT_EQ(copied.count, 6);
    const QString copies = QStringLiteral("select count(*) from SPEISEPLAN where TAG = '2026-07-27'");

    workstation(b);
    EXPECT_FALSE(lastUndo()); // A's copy is not B's to take back
    deleteEntries({110});
    EXPECT_EQ(undoMenuText(), QStringLiteral("Rückgängig: Eintrag löschen"));
    EXPECT_EQ(undoLast(), QStringLiteral("1 Eintrag wiederhergestellt."));
    EXPECT_FALSE(lastUndo());
    EXPECT_EQ(undoLast(), QStringLiteral("Es gibt nichts rückgängig zu machen."));
    EXPECT_EQ(otherScalar(copies), QStringLiteral("6"));
    deleteEntries({111}); // B's step, newer than A's

    workstation(a);
    EXPECT_EQ(undoMenuText(), QStringLiteral("Rückgängig: Tage kopieren (an diesem Arbeitsplatz)"));
    // A colleague edits one of the copies: A's undo names it and changes nothing.
    other.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = 3 where KEY = %1").arg(copied.firstKey));
    EXPECT_EQ(undoLast(),
              QStringLiteral("Rückgängig nicht möglich: Mo 27.07. Frühstück wurde seither geändert."));
    EXPECT_EQ(otherScalar(copies), QStringLiteral("6"));
    other.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = 18 where KEY = %1").arg(copied.firstKey));
    EXPECT_EQ(undoLast(), QStringLiteral("6 Einträge entfernt."));
    EXPECT_EQ(otherScalar(copies), QStringLiteral("0"));
    EXPECT_EQ(otherScalar("select count(*) from SPEISEPLAN where KEY in (110, 111)"), QStringLiteral("1"));
}

TEST_F(ServerTest, KeysAreReservedSoThatNoTwoWorkstationsGetTheSame)
{
    const qint32 highest = scalar("select max(ZUTNR) from ZUTATEN").toInt();
    const qint32 mine = gConnection.newKey(QStringLiteral("ZUTATEN"), QStringLiteral("ZUTNR"), 100);
    const qint32 theirs = other.newKey(QStringLiteral("ZUTATEN"), QStringLiteral("ZUTNR"), 100);
    EXPECT_EQ(mine, highest + 1);
    EXPECT_EQ(theirs, highest + 2); // before mine is written
    // A block for copied days, and a row written by hand beyond every reservation.
    const qint32 block = other.newKey(QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"), 0, 5);
    EXPECT_EQ(gConnection.newKey(QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"), 0), block + 5);
    other.exec(QStringLiteral(
        "insert into SPEISEPLAN (KEY, TAG, GERNR, PERSONEN) values (900, '2026-07-25', 101, 4)"));
    EXPECT_EQ(gConnection.newKey(QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"), 0), 901);
}

TEST_F(ServerTest, ThePlanFollowsTheOthersAndKeepsItsCurrentEntry)
{
    frmMain w;
    w.show();
    w.fncReq(105);
    const int before = w.gd1->model()->rowCount();
    other.exec(QStringLiteral("insert into SPEISEPLAN (KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK)"
                              " values (500, '2026-07-19', 1, 2, 101, 9, 0)"));
    QTRY_COMPARE_WITH_TIMEOUT(w.gd1->model()->rowCount(), before + 1, 5000);
    EXPECT_EQ(w.gd1->columnValue(QStringLiteral("KEY")).toInt(), 105);
    other.exec(QStringLiteral("delete from SPEISEPLAN where KEY = 500"));
    QTRY_COMPARE_WITH_TIMEOUT(w.gd1->model()->rowCount(), before, 5000);
    EXPECT_EQ(w.gd1->columnValue(QStringLiteral("KEY")).toInt(), 105);
}

TEST_F(ServerTest, AConnectionLostMidWorkWritesNothingSaysSoAndComesBack)
{
    const QString pid = textOf(gConnection.execute(QStringLiteral("select pg_backend_pid()"))->value(0, 0));
    const QString plan = otherScalar("select count(*) from SPEISEPLAN");
    try {
        Transaction t(gConnection);
        gConnection.exec(QStringLiteral("delete from SPEISEPLAN"));
        other.execute("select pg_terminate_backend(" + pid + ")");
        t.commit();
        ADD_FAILURE() << "the commit went through";
    } catch (const Error& e) {
        EXPECT_TRUE(
            e.description.startsWith(QStringLiteral("Die Verbindung zum Datenbankserver ist unterbrochen; "
                                                    "es wurde nichts geändert.")))
            << e.description.toStdString();
    }
    EXPECT_EQ(otherScalar("select count(*) from SPEISEPLAN"), plan);
    // The next action finds the server again.
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN").toString(), plan);
    const QString second = textOf(gConnection.execute(QStringLiteral("select pg_backend_pid()"))->value(0, 0));
    EXPECT_NE(second, pid);
    // Lost while idle, noticed only by the next read: that read is asked again and answered.
    other.execute("select pg_terminate_backend(" + second + ")");
    QTRY_COMPARE_WITH_TIMEOUT(otherScalar("select count(*) from pg_stat_activity where pid = " + second),
                              QStringLiteral("0"), 10000);
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN").toString(), plan);
}

TEST_F(ServerTest, AWrongPasswordAMissingDatabaseAndAPasswordInTheAddressAreToldInGerman)
{
    tlmtest::PgServer& server = tlmtest::PgServer::shared();
    auto refusal = [](const QString& where) {
        Connection c;
        try {
            c.open(where);
        } catch (const Error& e) {
            return e.description;
        }
        return QString();
    };
    {
        tlmtest::PgPasswordOverride wrong(QStringLiteral("falsch"));
        EXPECT_TRUE(refusal(location()).contains(QStringLiteral("Benutzer oder Passwort ist falsch")))
            << refusal(location()).toStdString();
    }
    EXPECT_EQ(refusal(server.uri(QStringLiteral("gibt_es_nicht"))),
              QStringLiteral("Die Datenbank 'gibt_es_nicht' gibt es auf dem Server nicht (%1).")
                  .arg(server.uri(QStringLiteral("gibt_es_nicht"))));
    QString withPassword = location();
    withPassword.replace(QStringLiteral("tlm@"), QStringLiteral("tlm:") + server.password() + '@');
    const QString told = refusal(withPassword);
    EXPECT_TRUE(told.startsWith(QStringLiteral("Das Passwort gehört nicht in die Adresse")))
        << told.toStdString();
    EXPECT_FALSE(told.contains(server.password()));
}

TEST_F(ServerTest, EveryReportReadsTheSameOnTheFileAndOnTheServer)
{
    auto pdfs = [&](const QString& where, const QString& folder) {
        QDir().mkpath(folder);
        QProcess p;
        p.start(QStringLiteral(TLM_PROGRAM), {"--db", where, "--pdf", folder});
        EXPECT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        QStringList texts;
        for (const QString& f : QDir(folder).entryList({"*.pdf"}, QDir::Files, QDir::Name)) {
            QProcess t;
            t.start(QStringLiteral("pdftotext"), {"-layout", QDir(folder).filePath(f), "-"});
            EXPECT_TRUE(t.waitForFinished(60000));
            texts << f + '\n' + QString::fromUtf8(t.readAllStandardOutput());
        }
        return texts;
    };
    gConnection.close();
    const QStringList onFile = pdfs(dbPath(), dir() + "/datei");
    const QStringList onServer = pdfs(location(), dir() + "/server");
    EXPECT_EQ(onFile.size(), 11);
    EXPECT_EQ(onServer, onFile);
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
TEST_F(ServerTest, KopierenMovesAWholeDatabaseBothWaysAndRefusesATargetWithData)
{
    // Server to a new file and back to an empty server database: every row of every table arrives.
    exec("insert into VORRAT (ZUTNR, MENGE, GEZAEHLT) values (101, 1.5, '2026-07-01')");
    exec("insert into GRUPPEN (GRUPPENR, GRUPPE, PERSONEN) values (1, 'Glutenfrei', 3)");
    auto everything = [](Connection& c) {
        QStringList all;
        for (const QString& t : c.engine().tableNames()) {
            RecordsetPtr rs = c.execute("select * from " + t);
            for (int r = 0; r < rs->rowCount(); ++r) {
                QStringList cells{t};
                for (int col = 0; col < rs->columnCount(); ++col)
                    if (rs->columnName(col) != QLatin1String("TLM_VERSION"))
                        cells << textOf(rs->value(r, col));
                all << cells.join('|');
            }
        }
        all.sort();
        return all;
    };
    const QStringList original = everything(gConnection);
    const QString file = dir() + "/kopie.mdb";
    EXPECT_EQ(copyWholeDatabase(location(), file), original.size());
    const QString empty = tlmtest::PgServer::shared().newDatabase();
    EXPECT_EQ(copyWholeDatabase(file, empty), original.size());
    for (const QString& where : {file, empty}) {
        Connection c;
        c.open(where);
        EXPECT_EQ(everything(c), original) << where.toStdString();
    }
    // A target with data is refused and left as it was; so is a file that is there already.
    auto refusal = [](const QString& from, const QString& to) {
        try {
            copyWholeDatabase(from, to);
        } catch (const Error& e) {
            return e.description;
        }
        return QString();
    };
    EXPECT_EQ(
        refusal(file, empty),
        QStringLiteral("Das Ziel '%1' ist nicht leer; kopiert wird nur in eine leere Datenbank.").arg(empty));
    EXPECT_TRUE(
        refusal(location(), file).startsWith(QStringLiteral("Das Ziel '%1' gibt es schon").arg(file)));
    Connection c;
    c.open(empty);
    EXPECT_EQ(everything(c), original);
    c.close();
    tlmtest::PgServer::shared().dropDatabase(tlmtest::PgServer::databaseName(empty));
}
} // namespace
