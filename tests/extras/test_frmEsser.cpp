// "Esser…": the bands, the appetite days, heads and portions per day, "Portionen übernehmen…".
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "extras/frmEsser.h"
#include "extras/frmGruppen.h"
#include "extras/frmPortionen.h"
#include "kitchen/TakePortions.h"
#include "kitchen/Undo.h"
#include "plan/PlanTransfer.h"
#include "plan/frmMain.h"
#include "support/Modal.h"
#include "support/SampleCamps.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

using namespace tlm;
using tlmtest::Modal;

namespace {
QStringList rowsOf(const QTableWidget* grid)
{
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        texts << cells.join('|');
    }
    return texts;
}
} // namespace

TEST_F(EaterTest, TheWindowShowsHeadsAndPortionsPerDayAndTakesThemIntoThePlan)
{
    frmMain w;
    w.fncReq(3);
    EXPECT_EQ(w.lbEsser->text(), QStringLiteral("Di 21.07.: 34 Esser, 34,1 Portionen"));
    {
        Modal modal;
        modal.on<frmEsser>([](frmEsser& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Esser"));
            EXPECT_EQ(rowsOf(d.gdEsser), (QStringList{"Kinder 8–12|0,75|20||", "Betreuer|1,0|4||",
                                                      "Klasse 7b|1,2|10|21.07.2026|23.07.2026"}));
            EXPECT_EQ(rowsOf(d.gdAppetit), (QStringList{"Anreise|1,1|20.07.2026|21.07.2026"}));
            EXPECT_EQ(rowsOf(d.gdTage),
                      (QStringList{"Mo 20.07.|24|1,1|20,9", "Di 21.07.|34|1,1|34,1", "Mi 22.07.|34|1,0|31",
                                   "Do 23.07.|34|1,0|31", "Fr 24.07.|24|1,0|19"}));
            EXPECT_EQ(d.lbVeraltet->text(), QString());
            // A wrong cell is named and nothing is stored.
            d.gdEsser->item(2, 2)->setText(QStringLiteral("zehn"));
            d.sfSpeichern->click();
            // Typing shows the days at once: a class of 12 on Wednesday.
            d.gdEsser->item(2, 2)->setText(QStringLiteral("12"));
            EXPECT_EQ(rowsOf(d.gdTage).value(2), QStringLiteral("Mi 22.07.|36|1,0|33,4"));
            // "Portionen übernehmen…" stores the lists first.
            d.sfUebernehmen->click();
            EXPECT_EQ(d.fGeaendert, 7);
            EXPECT_EQ(d.lbVeraltet->text(), QString());
            d.sfSchliessen->click();
        });
        modal.box(QMessageBox::Ok);
        modal.on<frmPortionen>([](frmPortionen& d) {
            EXPECT_EQ(d.dpVon->date(), QDate(2026, 7, 20));
            EXPECT_EQ(d.dpBis->date(), QDate(2026, 7, 24));
            for (int i = 0; i < d.lsTagzeiten->count(); ++i)
                d.lsTagzeiten->item(i)->setCheckState(Qt::Unchecked);
            d.sfOK->click(); // no time of day
            EXPECT_TRUE(d.isVisible());
            for (int i = 0; i < d.lsTagzeiten->count(); ++i)
                d.lsTagzeiten->item(i)->setCheckState(Qt::Checked);
            d.sfOK->click();
        });
        modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
        w.mnuEsser->trigger();
        EXPECT_EQ(modal.boxTexts(),
                  (QStringList{"Esser, Zeile 3: Bitte eine ganze Zahl von 0 bis 32767 eingeben.",
                               "Bitte mindestens eine Tagzeit wählen.", "7 Einträge geändert."}));
        EXPECT_EQ(modal.unexpected(), 0);
    }
    EXPECT_EQ(scalar("select ANZAHL from ESSER where ESSER = 'Klasse 7b'").toInt(), 12);
    // Tuesday: (15 + 4 + 14,4) × 1,1 = 36,74 -> 37, the vegetarians 4, the rest 33.
    EXPECT_EQ(persons(), (QStringList{"1|21", "2|21", "3|33", "4|4", "5|34", "6|34", "7|19"}));
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 3);
    EXPECT_EQ(w.lbEsser->text(), QStringLiteral("Di 21.07.: 36 Esser, 36,74 Portionen"));
    EXPECT_TRUE(w.statusBar()->isVisibleTo(&w));

    // A band changed later marks its days until the portions are taken again.
    Modal again;
    again.on<frmEsser>([](frmEsser& d) {
        d.gdEsser->item(2, 4)->setText(QStringLiteral("22.07.2026"));
        d.sfSpeichern->click();
        EXPECT_EQ(d.lbVeraltet->text(), QStringLiteral("Portionen veraltet: 23.07."));
        d.sfSchliessen->click();
    });
    w.mnuEsser->trigger();
    EXPECT_EQ(again.unexpected(), 0);
    EXPECT_EQ(w.lbEsser->text(),
              QStringLiteral("Di 21.07.: 36 Esser, 36,74 Portionen · Portionen veraltet: 23.07."));
    EXPECT_EQ(persons().value(5), QStringLiteral("6|34"));
}

TEST_F(EaterTest, AGroupNamesItsBandInTheGroupsWindow)
{
    Modal modal;
    modal.on<frmGruppen>([this](frmGruppen& d) {
        EXPECT_EQ(d.ddEsser->value(), QString::number(kinder));
        EXPECT_EQ(d.ddEsser->itemText(0), QStringLiteral("(keine)"));
        d.ddEsser->setValue(QStringLiteral("0"));
        d.sfSpeichern->click();
        d.sfSchliessen->click();
    });
    fncDlgGruppen();
    EXPECT_EQ(modal.unexpected(), 0);
    EXPECT_EQ(scalar("select count(*) from GRUPPENESSER").toInt(), 0);
    // Without its band the group eats adult portions: 4 × 1,1 = 4,4 -> 5.
    EXPECT_EQ(takePortions(QDate(2026, 7, 21), QDate(2026, 7, 21), allTimes()).changed, 2);
    EXPECT_EQ(persons().mid(2, 2), (QStringList{"3|30", "4|5"}));
}

TEST_F(EaterTest, ALoadedPlanCountsAsNotTakenFromTheEaters)
{
    frmMain w;
    w.fncReq(0);
    const QString path = dir() + "/lager.tlm";
    exportPlan(path); // the persons typed by hand
    Modal modal;
    // Before any run there is nothing to say, as before the load.
    modal.file(path);
    w.mnuLoad->trigger();
    EXPECT_EQ(scalar("select count(*) from PORTIONENSTAND").toInt(), 0);
    EXPECT_EQ(w.lbEsser->text(), QStringLiteral("Mo 20.07.: 24 Esser, 20,9 Portionen"));

    // After a run the file's persons replace the portions: no day of the loaded plan counts as taken.
    EXPECT_EQ(takePortions(QDate(2026, 7, 20), QDate(2026, 7, 24), allTimes()).changed, 7);
    EXPECT_EQ(stalePortionDays(eaterList()), QString());
    modal.file(path);
    w.mnuLoad->trigger();
    EXPECT_EQ(modal.unexpected(), 0);
    EXPECT_EQ(persons(), (QStringList{"1|10", "2|10", "3|10", "4|2", "5|10", "6|10", "7|10"}));
    EXPECT_EQ(rows("select TAG, STAND from PORTIONENSTAND order by TAG"),
              (QStringList{"20.07.2026|", "21.07.2026|", "22.07.2026|", "23.07.2026|", "24.07.2026|"}));
    EXPECT_EQ(w.lbEsser->text(),
              QStringLiteral("Mo 20.07.: 24 Esser, 20,9 Portionen · Portionen veraltet: 20.07.–24.07."));
    EXPECT_EQ(lastUndo(), std::nullopt);

    // Taken again the days are in order; without eaters no day is out of date.
    EXPECT_EQ(takePortions(QDate(2026, 7, 20), QDate(2026, 7, 24), allTimes()).changed, 7);
    EXPECT_EQ(stalePortionDays(eaterList()), QString());
    modal.file(path);
    w.mnuLoad->trigger();
    saveEaterList({});
    w.fncReq(0);
    EXPECT_EQ(w.lbEsser->text(), QString());
    EXPECT_EQ(scalar("select count(*) from PORTIONENSTAND").toInt(), 5);
    EXPECT_EQ(modal.unexpected(), 0);
}
