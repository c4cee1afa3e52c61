// Reports on a server while colleagues change the plan.
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/Globals.h"
#include "kitchen/Undo.h"
#include "reports/ReportPrinter.h"
#include "reports/ShoppingList.h"
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
    EXPECT_EQ(onFile.size(), 18);
    EXPECT_EQ(onServer, onFile);
}
