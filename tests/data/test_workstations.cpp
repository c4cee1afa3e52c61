// Several workstations on one server: keys, roles, a lost connection, the German messages.
#include "data/Connection.h"
#include "data/Convert.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "data/Statement.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PgServer.h"
#include "support/Workstations.h"

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
    const QString second =
        textOf(gConnection.execute(QStringLiteral("select pg_backend_pid()"))->value(0, 0));
    EXPECT_NE(second, pid);
    // Lost while idle, noticed only by the next read: that read is asked again and answered.
    other.execute("select pg_terminate_backend(" + second + ")");
    QTRY_COMPARE_WITH_TIMEOUT(otherScalar("select count(*) from pg_stat_activity where pid = " + second),
                              QStringLiteral("0"), 10000);
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN").toString(), plan);
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
