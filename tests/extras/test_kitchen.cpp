#include "app/DatabaseLock.h"
// In the kitchen: recipe cards for the persons planned, deleting several entries, undo across a restart.
#include "app/DataGrid.h"
#include "data/Database.h"
#include "data/Globals.h"
#include "extras/CampPlanning.h"
#include "extras/RecipeCards.h"
#include "extras/Undo.h"
#include "extras/frmDatenbank.h"
#include "extras/frmZeitraum.h"
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
using tlmtest::vp;

namespace {
constexpr double kHalf = ReportWriter::kPageHeight / 2;

// The rows of the document from first (inclusive) to last (exclusive).
QVector<ReportRow> rowsOf(int first, int last)
{
    return vp().rows().mid(first, last - first);
}
} // namespace

class RecipeCardTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(
            "insert into GERICHTE values (301, 2, 'Spaghetti Bolognese', 'Wasser salzen.\nSpaghetti garen.'),"
            " (302, 5, 'Pudding', 'Rühren.'), (303, 2, 'Brot', 'Schneiden.')");
        exec("insert into ZUTATEN values (401, 'Spaghetti', 500, 'g', 1, 0, 0),"
             " (402, 'Rinderhackfleisch', 500, 'g', 5, 0, 0), (403, 'Salz', 1000, 'g', 1, 0, -1),"
             " (404, 'Eier', 10, 'Stück', 2, -1, 0), (405, 'Sahne', 200, 'ml', 1, -1, 0),"
             " (406, 'Mehl', 1000, 'Gramm', 1, 0, 0), (407, 'Milch', 1000, 'ml', 1, -1, 0)");
        exec("insert into REZEPTE values (1, 301, 401, 400, 0), (2, 301, 402, 300, 0), (3, 301, 403, 10, 0),"
             " (4, 301, 404, 2, 0), (5, 301, 405, 100, 0), (6, 301, 406, 400, 0), (7, 301, 407, 97, 0),"
             " (8, 302, 407, 500, 0)");
    }
};

TEST_F(RecipeCardTest, CardsGiveTheQuantitiesForThePersonsPlannedTwoToAPageInPlanOrder)
{
    exec("insert into SPEISEPLAN values"
         " (1, '2026-07-28', 2, 2, 301, 41, 0),"  // second card
         " (2, '2026-07-28', 2, 3, 301, 41, 0),"  // the same dish at the same meal once more: its own card
         " (3, '2026-07-28', 2, 2, 303, 41, 0),"  // no recipe lines: no card
         " (4, '2026-07-28', 3, 5, 302, 41, -1)," // left out of the print-outs
         " (5, '2026-07-27', 3, 5, 302, 1, 0),"   // first card
         " (6, '2026-07-29', 2, 2, 301, 8, 0),"   // fourth card, on the second page
         " (7, '2026-07-30', 2, 2, 301, 8, 0)");  // after the span
    // The window proposes the plan's span and refuses one that ends before it begins.
    Modal modal;
    modal.on<frmZeitraum>([](frmZeitraum& d) {
        EXPECT_EQ(d.dpVon->date(), QDate(2026, 7, 27));
        EXPECT_EQ(d.dpBis->date(), QDate(2026, 7, 30));
        d.dpBis->setDate(QDate(2026, 7, 26));
        d.sfDrucken->click();
        EXPECT_TRUE(d.isVisible());
        d.dpBis->setDate(QDate(2026, 7, 29));
        d.sfDrucken->click();
    });
    modal.box(QMessageBox::Ok);
    const std::optional<PlanSpan> span = fncDlgZeitraum("frmRezeptkarten", "Rezeptkarten");
    ASSERT_TRUE(span);
    EXPECT_EQ(modal.boxTexts(), QStringList{"Das Datum bei „Bis:“ liegt vor dem bei „Von:“."});
    fncDruckRezeptkarten(span->first, span->last);
    ASSERT_TRUE(vp().isComplete());
    const QStringList spaghetti41{"Spaghetti Bolognese", "Dienstag 28.07.2026|Mittagessen|41 Personen",
                                  "20,5 Stück|Eier|",    "4100 Gramm|Mehl|",
                                  "994 ml|Milch|",       "3,08 kg|Rinderhackfleisch|",
                                  "1,03 L|Sahne|",       "103 g|Salz|(Vorrat)",
                                  "4,1 kg|Spaghetti|",   "Zubereitung:|Wasser salzen.",
                                  "|Spaghetti garen."};
    QStringList expected{"Pudding", "Montag 27.07.2026|Abendessen|1 Person", "125 ml|Milch|",
                         "Zubereitung:|Rühren."};
    expected << spaghetti41 << spaghetti41;
    expected << "Spaghetti Bolognese"
             << "Mittwoch 29.07.2026|Mittagessen|8 Personen"
             << "4 Stück|Eier|"
             << "800 Gramm|Mehl|"
             << "194 ml|Milch|"
             << "600 g|Rinderhackfleisch|"
             << "200 ml|Sahne|"
             << "20 g|Salz|(Vorrat)"
             << "800 g|Spaghetti|"
             << "Zubereitung:|Wasser salzen."
             << "|Spaghetti garen.";
    EXPECT_EQ(vp().rowTexts(), expected);
    EXPECT_EQ(vp().documentTitle(), QStringLiteral("Rezeptkarten"));

    // Two cards a sheet, the first in the upper half, the second below the cut; the third on the next.
    ASSERT_EQ(vp().pageCount(), 2);
    const int cards[] = {0, 4, 15, 26, 37};
    for (int c = 0; c < 4; ++c) {
        const QVector<ReportRow> card = rowsOf(cards[c], cards[c + 1]);
        const bool upper = c % 2 == 0;
        for (const ReportRow& r : card) {
            EXPECT_EQ(r.page, c / 2) << c;
            if (upper)
                EXPECT_LT(r.top + r.height, kHalf) << c;
            else
                EXPECT_GT(r.top, kHalf) << c;
        }
    }
    const QString pdf = dir() + "/karten.pdf";
    ASSERT_TRUE(const_cast<ReportPrinter&>(vp()).savePdf(pdf));
    const QString first = tlmtest::pdfPageText(pdf, 1);
    for (const char* text : {"Pudding", "1 Person", "3,08 kg", "Spaghetti Bolognese", "103 g", "(Vorrat)"})
        EXPECT_TRUE(first.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(tlmtest::pdfPageText(pdf, 2).contains("Mittwoch 29.07.2026"));
    int cuts = 0;
    for (const ReportItem& i : static_cast<const ReportWriter&>(vp()).pages()[0].items)
        cuts += i.kind == ReportItem::Cut && i.rect.top() == kHalf;
    EXPECT_EQ(cuts, 1);
    EXPECT_EQ(quantityFor(QVariant(), 41, "g"), QString());
}

TEST_F(RecipeCardTest, ACardLongerThanHalfAPageTakesAPageOfItsOwnAndIsNeverSplit)
{
    QStringList steps;
    for (int i = 1; i <= 40; ++i)
        steps
            << QStringLiteral("Schritt %1: rühren, abschmecken und weiter rühren, bis alles gar ist.").arg(i);
    exec("update GERICHTE set ZUBEREITUNG = '" + steps.join('\n') + "' where GERNR = 302");
    // Short, long, short, short: the long card gets the second sheet, the two after it the third.
    exec("insert into SPEISEPLAN values (1, '2026-07-27', 2, 2, 301, 4, 0), (2, '2026-07-27', 3, 5, 302, 4, "
         "0),"
         " (3, '2026-07-28', 2, 2, 301, 4, 0), (4, '2026-07-29', 2, 2, 301, 4, 0)");
    fncDruckRezeptkarten(QDate(2026, 7, 1), QDate(2026, 7, 31));
    ASSERT_TRUE(vp().isComplete());
    const QVector<ReportRow>& rows = vp().rows();
    const QStringList texts = vp().rowTexts();
    const int longFirst = int(texts.indexOf("Pudding"));
    const int longLast = int(texts.indexOf("|" + steps.last()));
    ASSERT_GT(longFirst, 0);
    ASSERT_GT(longLast, longFirst);
    EXPECT_EQ(rows[longFirst - 1].page, 0);
    for (int r = longFirst; r <= longLast; ++r)
        EXPECT_EQ(rows[r].page, 1) << r;
    EXPECT_GT(rows[longLast].top + rows[longLast].height, kHalf); // it does not fit half a page
    EXPECT_EQ(rows[longLast + 1].page, 2);
    EXPECT_EQ(rows.back().page, 2);
    EXPECT_GT(rows.back().top, kHalf);
    EXPECT_EQ(vp().pageCount(), 3);
    const QString pdf = dir() + "/karten.pdf";
    ASSERT_TRUE(const_cast<ReportPrinter&>(vp()).savePdf(pdf));
    EXPECT_EQ(tlmtest::pdfPages(pdf), 3);
    // The printed sheets: the long card whole on the second, two cards on the third.
    const QString second = tlmtest::pdfPageText(pdf, 2);
    EXPECT_TRUE(second.contains("Schritt 1:") && second.contains("Schritt 40:")) << second.toStdString();
    EXPECT_FALSE(tlmtest::pdfPageText(pdf, 1).contains("Schritt"));
    EXPECT_EQ(tlmtest::pdfPageText(pdf, 3).count("Spaghetti Bolognese"), 2);
}

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
