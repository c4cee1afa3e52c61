// Deleting several entries from the grid, and undo across a restart.
#include "app/DataGrid.h"
#include "data/Globals.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/Undo.h"
#include "plan/PlanTransfer.h"
#include "plan/frmMain.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;

class PlanGridTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
        exec("insert into SPEISEPLAN values (11, '2026-07-20', 1, 2, 102, 41, 0), (12, '2026-07-20', 2, 1, "
             "101, 41, "
             "-1), (13, '2026-07-20', 2, 2, 102, 41, 0), (14, '2026-07-21', 1, 2, 105, 40, 0),"
             " (15, '2026-07-21', 3, 2, 102, 39, 0)");
    }
    QStringList plan() { return rows("select * from SPEISEPLAN order by KEY"); }
    frmMain w;
};

TEST_F(PlanGridTest, SeveralEntriesGoAfterOneQuestionAndOneUndoBringsThemAllBack)
{
    const QStringList before = plan();
    exportPlan(dir() + "/vorher.tlm");
    w.show();
    w.fncReq(12);
    Modal modal;
    // One selected: the question as it always was.
    modal.box(QMessageBox::No);
    QTest::keyClick(w.gd1, Qt::Key_Delete);
    // Shift takes in the next two rows: three entries, named in plan order.
    QTest::keyClick(w.gd1, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(w.gd1, Qt::Key_Down, Qt::ShiftModifier);
    modal.box(QMessageBox::No);
    w.sfDel->click();
    EXPECT_EQ(plan(), before);
    modal.box(QMessageBox::Yes);
    QTest::keyClick(w.gd1, Qt::Key_Delete);
    ASSERT_EQ(modal.boxes().size(), 3u);
    EXPECT_EQ(modal.boxes()[0].text, QStringLiteral("Soll dieser Eintrag wirklich entfernt werden?"));
    EXPECT_EQ(modal.boxes()[1].text, QStringLiteral("3 Einträge löschen? Mo 20.07. Mittagessen: Gemüsesuppe, "
                                                    "Mo 20.07. Mittagessen: Nudeln, Di 21.07. Frühstück: "
                                                    "Kartoffelsuppe"));
    EXPECT_EQ(modal.boxes()[1].title, QStringLiteral("Ihre Wahl ..."));
    EXPECT_EQ(modal.boxes()[1].icon, int(QMessageBox::Question));
    EXPECT_EQ(rows("select KEY from SPEISEPLAN order by KEY"), (QStringList{"11", "15"}));
    EXPECT_EQ(lastUndo(), QStringLiteral("3 Einträge löschen"));

    // Strg+A takes all that is left.
    QTest::keyClick(w.gd1, Qt::Key_Home);
    QTest::keyClick(w.gd1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.gd1->selectedRows(), (QVector<int>{0, 1}));
    modal.box(QMessageBox::Yes);
    w.sfDel->click();
    EXPECT_EQ(
        modal.boxes().back().text,
        QStringLiteral("2 Einträge löschen? Mo 20.07. Frühstück: Nudeln, Di 21.07. Abendessen: Nudeln"));
    EXPECT_TRUE(plan().isEmpty());

    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    w.mnuUndo->trigger();
    w.mnuUndo->trigger();
    EXPECT_EQ(modal.boxes().back().text, QStringLiteral("3 Einträge wiederhergestellt."));
    EXPECT_EQ(plan(), before); // the same rows, keys included
    exportPlan(dir() + "/nachher.tlm");
    EXPECT_EQ(tlmtest::readBytes(dir() + "/nachher.tlm"), tlmtest::readBytes(dir() + "/vorher.tlm"));
    EXPECT_EQ(w.gd1->model()->rowCount(), 5);
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(PlanGridTest, MoreThanThreeAreCountedAndTheFirstThreeNamed)
{
    w.show();
    w.fncReq(0);
    Modal modal;
    modal.box(QMessageBox::No);
    QTest::keyClick(w.gd1, Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(w.gd1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      w.gd1->visualRect(w.gd1->model()->index(1, 4)).center());
    EXPECT_EQ(w.gd1->selectedRows(), (QVector<int>{0, 2, 3, 4})); // Ctrl+click leaves one out
    QTest::keyClick(w.gd1, Qt::Key_Delete);
    EXPECT_EQ(modal.boxTexts(), QStringList{"4 Einträge löschen? Mo 20.07. Frühstück: Nudeln, Mo 20.07. "
                                            "Mittagessen: Nudeln, Di 21.07. Frühstück: Kartoffelsuppe, …"});
    EXPECT_EQ(plan().size(), 5);
}

TEST_F(PlanGridTest, UndoWorksAfterTheDatabaseWasClosedAndOpenedAgain)
{
    const QStringList before = plan();
    changePersons(QDate(2026, 7, 20), QDate(2026, 7, 21), 0, 60);
    ASSERT_NE(plan(), before);
    gConnection.close();
    gConnection.open(location());
    EXPECT_EQ(lastUndo(), QStringLiteral("Personen ändern"));
    EXPECT_EQ(undoLast(), QStringLiteral("5 Einträge wiederhergestellt."));
    EXPECT_EQ(plan(), before);
    EXPECT_FALSE(lastUndo());
}
