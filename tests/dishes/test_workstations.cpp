// The dish editor and the lists beside colleagues on a server.
#include "app/DataGrid.h"
#include "app/frmDatenbank.h"
#include "data/Connection.h"
#include "data/Convert.h"
#include "data/Engine.h"
#include "data/Globals.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmGerichtList.h"
#include "ingredients/frmZutatDet.h"
#include "ingredients/frmZutatList.h"
#include "plan/frmMain.h"
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
