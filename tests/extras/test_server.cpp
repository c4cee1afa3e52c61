// Several workstations on one PostgreSQL server: these run only on the server (pg:ServerTest.*).
#include "app/DataGrid.h"
#include "app/MessageBox.h"
#include "data/Connection.h"
#include "data/Convert.h"
#include "data/DatabaseCopy.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "data/Statement.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmGerichtList.h"
#include "extras/Batch.h"
#include "extras/CampPlanning.h"
#include "extras/Undo.h"
#include "extras/frmDatenbank.h"
#include "ingredients/frmZutatDet.h"
#include "ingredients/frmZutatList.h"
#include "plan/EntryDelete.h"
#include "plan/frmMain.h"
#include "reports/ReportPrinter.h"
#include "reports/ShoppingList.h"
#include "reports/frmDlgDruck.h"
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
#include <QStatusBar>
#include <QTest>
#include <QUuid>
#include <sqlite3.h>

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

TEST_F(ServerTest, ASearchTextIsABoundValueEvenWhereBackslashesEscape)
{
    // The database's owner may turn the standard strings off; the program keeps them on for itself.
    const QString db = tlmtest::PgServer::databaseName(location());
    other.exec("alter database " + db + " set standard_conforming_strings = off");
    gConnection.close();
    gConnection.open(location());
    const QString injection = QStringLiteral("\\' or 1=1 --");
    frmZutatList ingredients;
    ingredients.Form_Load();
    ASSERT_GT(ingredients.gd1->model()->rowCount(), 1);
    ingredients.txSuch->setText(injection);
    EXPECT_EQ(ingredients.gd1->model()->rowCount(), 0);
    ingredients.txSuch->setText(QStringLiteral("Äpf"));
    EXPECT_EQ(ingredients.gd1->model()->rowCount(), 1);
    frmGerichtList dishes;
    dishes.Form_Load();
    ASSERT_GT(dishes.gd1->model()->rowCount(), 1);
    dishes.txSuch->setText(injection);
    EXPECT_EQ(dishes.gd1->model()->rowCount(), 0);
    EXPECT_EQ(textOf(gConnection.execute(QStringLiteral("show standard_conforming_strings"))->value(0, 0)),
              QStringLiteral("on"));
}

TEST_F(ServerTest, AReadingRoleWorksAsOnAReadOnlyFileAndARoleWithoutRightsIsRefused)
{
    const QString db = tlmtest::PgServer::databaseName(location());
    const QString reader = db + "_leser", nobody = db + "_niemand", cook = db + "_koch";
    for (const QString& role : {reader, nobody, cook})
        other.exec("create role " + role + " login password 'geheim'");
    other.exec("grant select on all tables in schema public to " + reader);
    other.exec("grant select, insert, update, delete on all tables in schema public to " + cook);
    auto as = [&](const QString& role) { return QString(location()).replace("//tlm@", "//" + role + "@"); };
    tlmtest::PgPasswordOverride password(QStringLiteral("geheim"));
    {
        Connection c;
        c.open(as(reader));
        EXPECT_TRUE(c.isReadOnly());
        EXPECT_EQ(textOf(c.execute(QStringLiteral("select count(*) from SPEISEPLAN"))->value(0, 0)),
                  otherScalar("select count(*) from SPEISEPLAN"));
        try {
            c.exec(QStringLiteral("delete from SPEISEPLAN"));
            ADD_FAILURE() << "a reading role deleted the plan";
        } catch (const Error& e) {
            EXPECT_EQ(e.description, sqliteDescription(SQLITE_READONLY, QString()));
        }
    }
    try {
        Connection c;
        c.open(as(nobody));
        ADD_FAILURE() << "a role without rights was let in";
    } catch (const Error& e) {
        EXPECT_EQ(
            e.description,
            QStringLiteral("Keine Berechtigung: Der Benutzer '%1' darf die Datenbank auf dem Server nicht "
                           "lesen (%2). Die Rechte vergibt, wer den Server verwaltet.")
                .arg(nobody, as(nobody)));
    }
    {
        // A cook may change the plan; a right taken away meanwhile is told in German.
        Connection c;
        c.open(as(cook));
        EXPECT_FALSE(c.isReadOnly());
        EXPECT_EQ(c.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = 7 where KEY = 101")), 1);
        other.exec("revoke update on SPEISEPLAN from " + cook);
        try {
            c.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = 8 where KEY = 101"));
            ADD_FAILURE() << "the update went through";
        } catch (const Error& e) {
            EXPECT_EQ(e.description,
                      QStringLiteral("Keine Berechtigung: Der Datenbankserver erlaubt dem Benutzer "
                                     "'%1' diesen Zugriff nicht (Tabelle SPEISEPLAN).")
                          .arg(cook));
        }
    }
    EXPECT_EQ(otherScalar("select PERSONEN from SPEISEPLAN where KEY = 101"), QStringLiteral("7"));
}

TEST_F(ServerTest, AnIdleProgramNoticesALostConnectionAndFollowsAgainByItself)
{
    frmMain w;
    w.show();
    w.fncReq(0);
    QStringList status;
    QObject::connect(w.statusBar(), &QStatusBar::messageChanged, [&](const QString& m) { status << m; });
    w.statusBar()->hide();
    QCoreApplication::processEvents(); // what earlier tests left queued is done with
    const int before = w.gd1->model()->rowCount();
    const QString pid = textOf(gConnection.execute(QStringLiteral("select pg_backend_pid()"))->value(0, 0));
    other.execute("select pg_terminate_backend(" + pid + ")");
    QTRY_COMPARE_WITH_TIMEOUT(otherScalar("select count(*) from pg_stat_activity where pid = " + pid),
                              QStringLiteral("0"), 10000);
    // A colleague's entry, made while the program is away, is shown without anyone touching it.
    other.exec(QStringLiteral("insert into SPEISEPLAN (KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK)"
                              " values (501, '2026-07-19', 1, 2, 101, 9, 0)"));
    QTRY_COMPARE_WITH_TIMEOUT(w.gd1->model()->rowCount(), before + 1, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(w.statusBar()->isHidden(), 10000);
    EXPECT_EQ(status.value(0), QStringLiteral("Keine Verbindung zum Server – neuer Versuch in 1 s"))
        << status.join("|").toStdString();
    EXPECT_EQ(w.statusBar()->currentMessage(), QString());
    // It listens again: the next change comes as before.
    other.exec(QStringLiteral("delete from SPEISEPLAN where KEY = 501"));
    QTRY_COMPARE_WITH_TIMEOUT(w.gd1->model()->rowCount(), before, 5000);
}

TEST_F(ServerTest, ADoubleClickWhileTheServerIsAwayGivesOneMessageAndNoEditor)
{
    tlmtest::PgServer& server = tlmtest::PgServer::shared();
    const QString db = tlmtest::PgServer::databaseName(location());
    const tlmtest::PgConnection admin = tlmtest::pgConnect(server.uri(QStringLiteral("postgres")));
    frmMain w;
    w.show();
    w.fncReq(0);
    ASSERT_GT(w.gd1->model()->rowCount(), 0);
    QCoreApplication::processEvents(); // what earlier tests left queued is done with
    tlmtest::pgExec(admin.get(), "alter database " + db + " with allow_connections false");
    const QString pid = textOf(gConnection.execute(QStringLiteral("select pg_backend_pid()"))->value(0, 0));
    other.execute("select pg_terminate_backend(" + pid + ")");
    QTRY_COMPARE_WITH_TIMEOUT(otherScalar("select count(*) from pg_stat_activity where pid = " + pid),
                              QStringLiteral("0"), 10000);
    Modal modal;
    modal.box(QMessageBox::Ok);
    emit w.gd1->dblClick();
    tlmtest::pgExec(admin.get(), "alter database " + db + " with allow_connections true");
    ASSERT_EQ(modal.boxTexts().size(), 1) << modal.boxTexts().join('\n').toStdString();
    EXPECT_TRUE(modal.boxTexts()[0].contains(
        QStringLiteral("Die Verbindung zum Datenbankserver ist unterbrochen; es wurde nichts geändert.")))
        << modal.boxTexts()[0].toStdString();
    EXPECT_EQ(modal.unexpected(), 0); // no editor
}

TEST_F(ServerTest, APdfRunReadsOneStateWhileAColleagueChangesThePlan)
{
    gConnection.close();
    auto csvOfARun = [&](const QString& folder, std::function<void(const QString&)> between) {
        QDir().mkpath(folder);
        setBetweenReports(std::move(between));
        BatchRun run;
        run.pdfFolder = folder;
        run.csvFile = folder + "/einkauf.csv";
        EXPECT_EQ(runBatch(run), 0);
        setBetweenReports({});
        setBoxesToErrorOutput(false);
        gConnection.close();
        return tlmtest::readBytes(run.csvFile);
    };
    const QByteArray before = csvOfARun(dir() + "/vorher", {});
    int held = 0;
    const QByteArray during = csvOfARun(dir() + "/waehrend", [&](const QString&) {
        if (held++ == 0) // after the first report: a colleague doubles every meal
            other.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = PERSONEN * 2"));
    });
    EXPECT_GT(held, 1);
    EXPECT_EQ(during, before);
    const QByteArray after = csvOfARun(dir() + "/nachher", {});
    EXPECT_NE(after, before); // the change is one the list shows
    gConnection.open(location());
}

// A report in the window reads week by week in turns. A colleague's change committed between two turns
// starts it again even when its notice has not come (here it never comes): the report shows one state.
TEST_F(ServerTest, AReportInTheWindowShowsOneStateWhenAChangeIsCommittedBetweenItsTurns)
{
    exec("insert into SPEISEPLAN (KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK)"
         " select 5000 + g, date '2026-09-01' + g, 2, 2, D.GERNR, 10, 0 from generate_series(1, 120) g,"
         " (select min(R.GERNR) as GERNR from REZEPTE R join ZUTATEN Z on Z.ZUTNR = R.ZUTNR"
         " where Z.FRISCH = -1 and Z.NOKAUF = 0) D");
    fncDruckEinkauf(3); // the first pages are written at once, the rest in turns
    ReportPrinter& printer = *frmDlgDruck::shared()->vp;
    ASSERT_TRUE(printer.writing());
    // Without triggers: no notice of the change reaches this program.
    other.exec(QStringLiteral("set session_replication_role = replica"));
    other.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = 30 where KEY > 5000"));
    ASSERT_TRUE(printer.finish());
    const QStringList shown = printer.rowTexts();
    fncDruckEinkauf(3);
    ASSERT_TRUE(printer.finish());
    EXPECT_EQ(shown, printer.rowTexts());
    EXPECT_GT(shown.size(), 200);
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
    {
        // A password file others can read is passed over by libpq: that is the reason given.
        const QString passFile = dir() + "/pgpass";
        tlmtest::writeBytes(passFile, ("127.0.0.1:*:*:tlm:" + server.password() + "\n").toUtf8());
        QFile::setPermissions(passFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        tlmtest::PgPasswordOverride none{QString()};
        qputenv("PGPASSFILE", QFile::encodeName(passFile));
        EXPECT_EQ(refusal(location()),
                  QStringLiteral("Der Datenbankserver verlangt ein Passwort (%1); die Datei '%2' wird nicht "
                                 "gelesen, weil andere sie lesen können (chmod 600 %2).")
                      .arg(location(), passFile));
    }
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
    // A copy that fails half-way (a name longer than the server's column) leaves no tables behind.
    c.open(file);
    c.exec(QStringLiteral("update ZUTATEN set ZUTAT = ? where ZUTNR = 101"), {QString(300, 'x')});
    c.close();
    const QString interrupted = tlmtest::PgServer::shared().newDatabase();
    EXPECT_FALSE(refusal(file, interrupted).isEmpty());
    const tlmtest::PgConnection check = tlmtest::pgConnect(interrupted);
    EXPECT_EQ(tlmtest::pgScalar(check.get(),
                                "select count(*) from pg_class where relnamespace = 'public'::regnamespace"),
              QStringLiteral("0"));
}
} // namespace
