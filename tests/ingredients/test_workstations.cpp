// The ingredient editor beside colleagues on a server.
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "ingredients/frmZutatDet.h"
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
