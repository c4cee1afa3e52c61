// The plan window beside colleagues on a server.
#include "app/DataGrid.h"
#include "data/Connection.h"
#include "data/Convert.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "dishes/frmGerichtDet.h"
#include "ingredients/frmZutatDet.h"
#include "plan/frmMain.h"
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
