// "Vorrat…" and the rest taken over as stock.
#include "app/DataGrid.h"
#include "data/Database.h"
#include "data/Globals.h"
#include "extras/frmEinkaufsplan.h"
#include "extras/frmVorrat.h"
#include "kitchen/StockCarry.h"
#include "reports/CostReport.h"
#include "reports/Einkaufsplan.h"
#include "reports/Restbestand.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

TEST_F(StockTest, AlsVorratUebernehmenAsksFirstAndReplacesTheStock)
{
    auto takeOver = [&](int answer) {
        Modal modal;
        modal.on<frmEinkaufsplan>([](frmEinkaufsplan& d) {
            d.cbHaltbaresZuerst->setChecked(false);
            d.lsEinkaufstage->item(1)->setCheckState(Qt::Checked);
            d.lsEinkaufstage->item(2)->setCheckState(Qt::Checked);
            d.sfVorratUebernehmen->click();
            d.sfAbbrechen->click();
        });
        modal.box(answer);
        if (answer == QMessageBox::Yes)
            modal.box(QMessageBox::Ok);
        EXPECT_FALSE(fncDlgEinkaufsplan());
        EXPECT_TRUE(modal.allUsed());
        return modal.boxTexts();
    };
    // "Restbestand" prints the report of the runs chosen instead of the Einkaufsplan.
    {
        Modal report;
        report.on<frmEinkaufsplan>([](frmEinkaufsplan& d) { d.sfRestbestand->click(); });
        EXPECT_FALSE(fncDlgEinkaufsplan());
    }
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Restbestand"));
    EXPECT_EQ(vp().rowTexts().value(2), QStringLiteral("Öl|0,4 l|1,20 €").replace(" l", " l"));

    const QStringList before = rows("select * from VORRAT order by ZUTNR");
    {
        // Enter on the question keeps the stock: No is its default.
        Modal modal;
        modal.on<frmEinkaufsplan>([](frmEinkaufsplan& d) {
            d.sfVorratUebernehmen->click();
            d.sfAbbrechen->click();
        });
        modal.then(tlmtest::enterOnQuestion());
        fncDlgEinkaufsplan();
        EXPECT_TRUE(modal.allUsed());
        EXPECT_EQ(rows("select * from VORRAT order by ZUTNR"), before);
    }
    EXPECT_EQ(takeOver(QMessageBox::No).value(0),
              QStringLiteral("Den Vorrat durch den Restbestand nach dem 03.07.2026 ersetzen (1 Zutat)?\nDer "
                             "bisherige Vorrat wird dabei überschrieben."));
    EXPECT_EQ(rows("select * from VORRAT order by ZUTNR"), before);
    EXPECT_EQ(takeOver(QMessageBox::Yes).value(1), QStringLiteral("Der Restbestand ist jetzt der Vorrat."));
    EXPECT_EQ(rows("select * from VORRAT order by ZUTNR"), QStringList{"1|0,4|03.07.2026"});

    // A database opened read-only prints the Restbestand (the window's choices not kept) and refuses
    // to take it over.
    gConnection.close();
    gConnection.open(location(), true);
    {
        Modal modal;
        modal.on<frmEinkaufsplan>([](frmEinkaufsplan& d) {
            d.txAlleNTage->setText("2");
            d.sfVorratUebernehmen->click();
            d.sfRestbestand->click();
        });
        modal.box(QMessageBox::Ok);
        EXPECT_FALSE(fncDlgEinkaufsplan());
        EXPECT_TRUE(modal.allUsed());
        ASSERT_EQ(modal.boxes().size(), 1u);
        EXPECT_TRUE(modal.boxes()[0].text.contains("schreibgeschützt"));
        EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Restbestand"));
        EXPECT_TRUE(vp().isComplete());
    }
    gConnection.close();
    gConnection.open(location());
    EXPECT_EQ(rows("select * from VORRAT order by ZUTNR"), QStringList{"1|0,4|03.07.2026"});

    // All or nothing: the old stock or the new one, never a part.
    exec("insert into VORRAT values (3, 0.2, '2026-06-30')");
    const QStringList old = rows("select * from VORRAT order by ZUTNR");
    gConnection.close();
    const QByteArray pristine = tlmtest::readBytes(dbPath());
    int failures = 0;
    for (int n = 1; n < 40; ++n) {
        tlmtest::writeBytes(dbPath(), pristine);
        const bool failed = tlmtest::runWithFailingWrite(dbPath(), n, [] {
            takeOverStock({{1, 0.5}, {2, 1.5}, {3, 2}}, QDate(2026, 7, 3));
        });
        gConnection.open(location());
        const QStringList state = rows("select * from VORRAT order by ZUTNR");
        EXPECT_TRUE(state == old ||
                    state == QStringList({"1|0,5|03.07.2026", "2|1,5|03.07.2026", "3|2|03.07.2026"}))
            << "write " << n;
        gConnection.close();
        if (!failed)
            break;
        ++failures;
    }
    EXPECT_GT(failures, 0);
    gConnection.open(location());
}

TEST_F(StockTest, TheVorratWindowShowsValuesFindsAndStoresAnEdit)
{
    Modal modal;
    modal.on<frmVorrat>([&](frmVorrat& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Vorrat"));
        auto grid = [&] {
            QStringList out;
            for (int r = 0; r < d.gd1->model()->rowCount(); ++r) {
                QStringList cells;
                for (int c = 1; c < d.gd1->model()->columnCount(); ++c)
                    cells << d.gd1->model()->index(r, c).data().toString();
                out << cells.join('|');
            }
            return out;
        };
        EXPECT_EQ(grid(), (QStringList{"Milch||l||", "Öl|1|l|30.06.2026|3,00\u00a0€",
                                       "Reis|0,2|kg|30.06.2026|0,40\u00a0€"}));
        EXPECT_EQ(d.lbGesamtwert->text(), QStringLiteral("Gesamtwert des Vorrats: 3,40\u00a0€"));
        d.txSuch->setText("mi");
        ASSERT_EQ(grid().size(), 1);
        EXPECT_EQ(d.lbEinheit->text(), QStringLiteral("l"));
        d.txMenge->setText("-1");
        d.sfSpeichern->click(); // refused with a warning
        d.txMenge->setText("2,5");
        d.dpGezaehlt->setDate(QDate(2026, 6, 29));
        d.sfSpeichern->click();
        EXPECT_EQ(grid(), QStringList{"Milch|2,5|l|29.06.2026|2,50\u00a0€"});
        EXPECT_EQ(d.lbGesamtwert->text(), QStringLiteral("Gesamtwert des Vorrats: 5,90\u00a0€"));
        d.txSuch->setText("re");
        d.txMenge->clear(); // nothing on hand any more
        d.sfSpeichern->click();
        // A typed amount is not lost to a search or another row: kept on Abbrechen, dropped on Nein,
        // saved on Ja.
        d.txMenge->setText("4");
        d.txSuch->setText("");
        EXPECT_EQ(d.txSuch->text(), "re");
        EXPECT_EQ(d.txMenge->text(), "4");
        d.txSuch->setText("");
        ASSERT_EQ(grid().size(), 3);
        d.txMenge->setText("9"); // Milch
        d.gd1->setCurrentIndex(d.gd1->model()->index(1, 1));
        QCoreApplication::processEvents(); // the question comes once the click is done
        EXPECT_EQ(d.lbEinheit->text(), QStringLiteral("l"));
        EXPECT_EQ(d.txMenge->text(), "1"); // Öl
        d.txMenge->setText("2");
        d.sfExit->click(); // Abbrechen: the window stays
        EXPECT_TRUE(d.isVisible());
        d.sfExit->click();
    });
    modal.box(QMessageBox::Ok).box(QMessageBox::Cancel).box(QMessageBox::No).box(QMessageBox::Yes);
    modal.box(QMessageBox::Cancel).box(QMessageBox::No);
    fncDlgVorrat();
    EXPECT_TRUE(modal.allUsed());
    EXPECT_EQ(
        modal.boxTexts(),
        (QStringList{"Bitte eine Menge ab 0 eingeben, zum Beispiel 2,5.", "Den Vorrat von „Reis“ speichern?",
                     "Den Vorrat von „Reis“ speichern?", "Den Vorrat von „Milch“ speichern?",
                     "Den Vorrat von „Öl“ speichern?", "Den Vorrat von „Öl“ speichern?"}));
    EXPECT_EQ(rows("select * from VORRAT order by ZUTNR"), (QStringList{"1|1|30.06.2026", "2|9|29.06.2026"}));

    // A database opened read-only is not changed: the user is told so.
    gConnection.close();
    gConnection.open(location(), true);
    modal.on<frmVorrat>([](frmVorrat& d) {
        d.txMenge->setText("7");
        d.sfSpeichern->click();
        d.sfExit->click();
    });
    modal.box(QMessageBox::Ok);
    fncDlgVorrat();
    ASSERT_EQ(modal.boxes().size(), 7u); // nothing asked on closing: nothing could be saved
    EXPECT_TRUE(modal.boxes()[6].text.contains("schreibgeschützt")) << modal.boxes()[6].text.toStdString();
    EXPECT_EQ(rows("select * from VORRAT order by ZUTNR"), (QStringList{"1|1|30.06.2026", "2|9|29.06.2026"}));
}

// Basic stock is never bought but it is eaten: what the plan eats comes off the stock (never below
// 0), a stock too small is named once in the Einkaufsplan, and basic stock without a stock entry says
// nothing. The rest and the cost report's "Wert der Reste" are then one number, and the window keeps
// the runs they are reckoned with.
TEST_F(StockTest, TheBasicStockThePlanEatsComesOffTheRestAndOneNumberForTheRestEverywhere)
{
    exec("insert into ZUTATEN values (4, 'Zucker', 1, 'kg', 1, 0, -1), (5, 'Salz', 1, 'kg', 0.5, 0, -1),"
         " (6, 'Pfeffer', 100, 'g', 2, 0, -1)");
    // A day's dish for 4 eats 0,5 kg sugar, 10 g salt and 1 g pepper.
    exec("insert into REZEPTE values (4, 101, 4, 0.5, 0), (5, 101, 5, 0.01, 0), (6, 101, 6, 1, 0)");
    exec("insert into VORRAT values (4, 1, '2026-06-30'), (5, 0.1, '2026-06-30')");

    fncDruckRestbestand(plan);
    EXPECT_EQ(vp().rowTexts().mid(2),
              (QStringList{"Öl|0,4 l|1,20\u00a0€", "Salz|0,07 kg|0,04\u00a0€", "Gesamtwert: 1,24\u00a0€"}));
    fncDruckEinkaufsplan(plan);
    EXPECT_EQ(vp().rowTexts().mid(vp().rowTexts().size() - 2),
              (QStringList{"Gesamtsumme: 5,00\u00a0€", "Vorrat reicht nicht: Zucker, es fehlen 0,5 kg"}));

    // Einkauf planen keeps its runs: opened again after printing, it shows and uses them.
    Modal modal;
    modal.on<frmEinkaufsplan>([](frmEinkaufsplan& d) {
        d.cbHaltbaresZuerst->setChecked(false);
        d.lsEinkaufstage->item(1)->setCheckState(Qt::Checked);
        d.lsEinkaufstage->item(2)->setCheckState(Qt::Checked);
        d.sfDrucken->click();
    });
    ASSERT_TRUE(fncDlgEinkaufsplan());
    QString restTotal;
    modal.on<frmEinkaufsplan>([&](frmEinkaufsplan& d) {
        EXPECT_FALSE(d.cbHaltbaresZuerst->isChecked());
        EXPECT_EQ(d.lsEinkaufstage->count(), 3);
        for (int i = 0; i < d.lsEinkaufstage->count(); ++i)
            EXPECT_EQ(d.lsEinkaufstage->item(i)->checkState(), Qt::Checked) << i;
        EXPECT_EQ(d.lbEinkaeufe->text(), QStringLiteral("3 Einkäufe: Mi 01.07., Do 02.07., Fr 03.07."));
        d.sfRestbestand->click();
    });
    EXPECT_FALSE(fncDlgEinkaufsplan());
    EXPECT_TRUE(modal.allUsed());
    EXPECT_EQ(vp().rowTexts().last(), QStringLiteral("Gesamtwert: 1,24\u00a0€"));
    fncDruckKosten(plan.von, plan.bis, std::nullopt);
    EXPECT_EQ(vp().rowTexts().last(), QStringLiteral("Wert der Reste:|1,24\u00a0€"));

    // Taken over, the rest is the stock of the next camp, and the cost report still agrees with it.
    QHash<qint64, double> rest;
    carryStock(plan, storedStock(), &rest);
    takeOverStock(rest, plan.bis);
    EXPECT_EQ(rows("select ZUTNR, MENGE from VORRAT order by ZUTNR"), (QStringList{"1|0,4", "5|0,07"}));
    fncDruckRestbestand(plan);
    const QString total = vp().rowTexts().last();
    fncDruckKosten(plan.von, plan.bis, std::nullopt);
    EXPECT_EQ("Wert der Reste:|" + total.mid(QStringLiteral("Gesamtwert: ").size()), vp().rowTexts().last());
}

// The stock's search finds a name by any part of it, and a search that finds nothing leaves no
// amount to be typed over.
TEST_F(StockTest, TheVorratSearchFindsAnyPartOfANameAndNothingFoundTakesNoAmount)
{
    Modal modal;
    modal.on<frmVorrat>([&](frmVorrat& d) {
        d.txSuch->setText("eis");
        ASSERT_EQ(d.gd1->model()->rowCount(), 1);
        EXPECT_EQ(d.gd1->model()->index(0, 1).data().toString(), QStringLiteral("Reis"));
        EXPECT_EQ(d.txMenge->text(), QStringLiteral("0,2"));
        d.txSuch->setText("eis'x");
        EXPECT_EQ(d.gd1->model()->rowCount(), 0);
        EXPECT_FALSE(d.txMenge->isEnabled());
        EXPECT_EQ(d.txMenge->text(), QString());
        d.txSuch->setText("%l");
        EXPECT_EQ(d.gd1->model()->rowCount(), 2); // Milch, Öl
        d.sfExit->click();
    });
    fncDlgVorrat();
    EXPECT_TRUE(modal.allUsed());
}
