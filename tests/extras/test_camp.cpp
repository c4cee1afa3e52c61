// Planning a real camp: persons over a span, copying days, shopping runs.
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "extras/CampPlanning.h"
#include "extras/Holidays.h"
#include "extras/ShoppingPlan.h"
#include "extras/Undo.h"
#include "extras/frmEinkaufsplan.h"
#include "extras/frmPersonen.h"
#include "extras/frmTageKopieren.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/ReportCheck.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

class CampTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
        // Three days: breakfast and lunch on the 1st and 2nd, lunch on the 4th.
        exec("insert into SPEISEPLAN values (1, '2026-07-01', 1, 2, 101, 10, 0), (2, '2026-07-01', 2, 2, "
             "102, 12, 0),"
             " (3, '2026-07-02', 1, 2, 101, 10, -1), (4, '2026-07-02', 2, 1, 105, 12, 0),"
             " (7, '2026-07-04', 2, 2, 102, 14, 0)");
    }
    QStringList plan()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN order by KEY");
    }
};

TEST_F(CampTest, PersonsChangeOverASpanOfOneTimeOfDayOrAllAndTheRefusalsSaySo)
{
    frmMain w;
    w.fncReq(4);
    Modal modal;
    modal.on<frmPersonen>([](frmPersonen& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Personen ändern"));
        EXPECT_EQ(d.dpVon->date(), QDate(2026, 7, 1)); // the plan's first and last day
        EXPECT_EQ(d.dpBis->date(), QDate(2026, 7, 4));
        EXPECT_EQ(d.ddTagZeit->itemText(0), QStringLiteral("(alle)"));
        EXPECT_EQ(d.ddTagZeit->itemText(1), QStringLiteral("Frühstück"));
        EXPECT_EQ(d.txPersonen->text(), QStringLiteral("12")); // the current entry's persons
        for (const char* wrong : {"viele", "-1", "32768", "2,5"}) {
            d.txPersonen->setText(QString::fromLatin1(wrong));
            d.sfOK->click();
            EXPECT_TRUE(d.isVisible()) << wrong;
        }
        d.txPersonen->setText("20");
        d.dpBis->setDate(QDate(2026, 6, 30));
        d.sfOK->click();
        d.dpVon->setDate(QDate(2026, 7, 3)); // a span without entries
        d.dpBis->setDate(QDate(2026, 7, 3));
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.dpVon->setDate(QDate(2026, 7, 1));
        d.dpBis->setDate(QDate(2026, 7, 2));
        d.ddTagZeit->setValue("2");
        d.sfOK->click();
    });
    for (int i = 0; i < 7; ++i)
        modal.box(QMessageBox::Ok);
    w.mnuPersonen->trigger();
    const QStringList boxes = modal.boxTexts();
    ASSERT_EQ(boxes.size(), 7);
    const QString whole = QStringLiteral("Bitte eine ganze Zahl eingeben."),
                  range = QStringLiteral("Bitte eine ganze Zahl von 0 bis 32767 Personen eingeben.");
    EXPECT_EQ(boxes.mid(0, 4), (QStringList{whole, range, range, whole}));
    EXPECT_EQ(boxes[4], QStringLiteral("Das Datum bei „Bis:“ liegt vor dem bei „Von:“."));
    EXPECT_EQ(boxes[5], QStringLiteral("Im gewählten Zeitraum gibt es keinen Eintrag."));
    EXPECT_EQ(boxes[6], QStringLiteral("2 Einträge geändert."));
    EXPECT_EQ(rows("select KEY, PERSONEN from SPEISEPLAN order by KEY"),
              (QStringList{"1|10", "2|20", "3|10", "4|20", "7|14"}));
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 4); // the grid reloaded on the entry that was current
    EXPECT_EQ(w.gd1->columnValue("PERSONEN").toInt(), 20);
    // All times of day.
    EXPECT_EQ(changePersons(QDate(2026, 7, 1), QDate(2026, 7, 4), 0, 0), 5);
    EXPECT_EQ(scalar("select sum(PERSONEN) from SPEISEPLAN").toInt(), 0);
}

TEST_F(CampTest, DaysAreCopiedToTheSameDistanceWithNewKeysAndWhatIsThereStays)
{
    frmMain w;
    w.fncReq(3);
    Modal modal;
    modal.on<frmTageKopieren>([](frmTageKopieren& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Tage kopieren"));
        EXPECT_EQ(d.dpVon->date(), QDate(2026, 7, 2)); // the current entry's day
        EXPECT_EQ(d.dpBis->date(), QDate(2026, 7, 2));
        EXPECT_EQ(d.dpZiel->date(), QDate(2026, 7, 3));
        d.dpVon->setDate(QDate(2026, 7, 1));
        d.dpBis->setDate(QDate(2027, 7, 2)); // 366 days and one more
        d.sfOK->click();
        d.dpBis->setDate(QDate(2026, 6, 1));
        d.sfOK->click();
        d.dpVon->setDate(QDate(2026, 6, 1)); // nothing planned then
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.dpVon->setDate(QDate(2026, 7, 1));
        d.dpBis->setDate(QDate(2026, 7, 2));
        d.dpZiel->setDate(QDate(2026, 7, 4)); // the 4th already has a lunch
        d.sfOK->click();
    });
    for (int i = 0; i < 3; ++i)
        modal.box(QMessageBox::Ok);
    modal.box(QMessageBox::Yes).box(QMessageBox::Ok);
    w.mnuTageKopieren->trigger();
    EXPECT_EQ(modal.boxTexts(),
              (QStringList{"Es können höchstens 366 Tage auf einmal kopiert werden.",
                           "Das Datum bei „Bis:“ liegt vor dem bei „Von:“.",
                           "Im gewählten Zeitraum gibt es keinen Eintrag.",
                           "Auf den Zieltagen ist schon 1 Eintrag geplant. Trotzdem kopieren?",
                           "4 Einträge kopiert."}));
    EXPECT_EQ(plan().mid(5),
              (QStringList{"8|04.07.2026|1|2|101|10|Falsch", "9|04.07.2026|2|2|102|12|Falsch",
                           "10|05.07.2026|1|2|101|10|Wahr", "11|05.07.2026|2|1|105|12|Falsch"}));
    EXPECT_EQ(plan().value(4), QStringLiteral("7|04.07.2026|2|2|102|14|Falsch")); // stays
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 8);                              // the first copy is current
    // Backwards.
    EXPECT_EQ(copyDays(QDate(2026, 7, 4), QDate(2026, 7, 4), QDate(2026, 6, 30)).count, 3);
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN where TAG = '2026-06-30'").toInt(), 3);
}

// The entry window holds a plan key in 16 bits and opens no entry above 32767. On a file, copies that
// do not fit after the highest key take the lowest free ones.
TEST_F(CampTest, CopiedEntriesCanBeOpenedInTheEntryWindow)
{
    exec("update SPEISEPLAN set KEY = KEY + 32760"); // keys 32761..32764 and 32767: all within 16 bits
    const CopyResult copied = copyDays(QDate(2026, 7, 1), QDate(2026, 7, 2), QDate(2026, 7, 10));
    ASSERT_EQ(copied.count, 4);
    const qint32 last = copied.firstKey + copied.count - 1;
    EXPECT_LE(last, 32767) << "copyDays made key " << last;
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from SPEISEPLAN where KEY between %1 and %2")
                         .arg(copied.firstKey)
                         .arg(last))
                  .toInt(),
              4);

    Modal modal;
    modal.answerEveryBox(QMessageBox::Ok); // an overflow box would come instead of the window
    bool opened = false;
    modal.on<frmSpeiseplanDet>([&](frmSpeiseplanDet& d) {
        opened = true;
        d.sfAbbrechen->click();
    });
    fncDlgSpeiseplanDet(last, QDate(), 0, 0, 0); // Bearbeiten on the last copy
    EXPECT_TRUE(opened);
    for (const auto& b : modal.boxes())
        ADD_FAILURE() << "message: " << b.text.toStdString();
    // Taken back, the copies go and the entries that were there stay.
    EXPECT_EQ(undoLast(), QStringLiteral("4 Einträge entfernt."));
    EXPECT_EQ(rows("select KEY from SPEISEPLAN order by KEY"),
              (QStringList{"32761", "32762", "32763", "32764", "32767"}));
}

TEST_F(CampTest, ACopyThatWouldNeedAKeyAbove32767IsRefusedNamingTheRoomLeft)
{
    tlmtest::fillPlanKeys(8, 32765); // free: 5, 6, 32766 and 32767
    const QString before = plan().join(';');
    const QString refusal =
        QStringLiteral("Für 4 neue Einträge sind nicht genug Nummern frei (bis 32767): auf "
                       "einmal passen nur noch 2 Einträge; nichts geändert.");
    try {
        copyDays(QDate(2026, 7, 1), QDate(2026, 7, 2), QDate(2026, 7, 10));
        ADD_FAILURE() << "copied";
    } catch (const Error& e) {
        EXPECT_EQ(e.description, refusal);
    }
    EXPECT_EQ(plan().join(';'), before);
    EXPECT_FALSE(lastUndo());
    Modal modal;
    modal.on<frmTageKopieren>([](frmTageKopieren& d) {
        d.dpBis->setDate(QDate(2026, 7, 2));
        d.sfOK->click();
        d.reject();
    });
    modal.box(QMessageBox::Ok);
    EXPECT_EQ(fncDlgTageKopieren(QDate(2026, 7, 1)), 0);
    EXPECT_EQ(modal.boxTexts(), QStringList{refusal});
    // One entry still fits.
    EXPECT_EQ(copyDays(QDate(2026, 7, 4), QDate(2026, 7, 4), QDate(2026, 7, 10)).firstKey, 32766);
}

TEST_F(CampTest, EveryChangeOfTheToolsIsAllOrNothingWhenAWriteFails)
{
    const QString before = plan().join(';');
    gConnection.close();
    const QByteArray pristine = tlmtest::readBytes(dbPath());
    gConnection.open(location());
    changePersons(QDate(2026, 7, 1), QDate(2026, 7, 4), 0, 30);
    copyDays(QDate(2026, 7, 1), QDate(2026, 7, 4), QDate(2026, 8, 1));
    const QString after = plan().join(';');
    gConnection.close();
    int failures = 0;
    for (int n = 1; n < 60; ++n) {
        tlmtest::writeBytes(dbPath(), pristine);
        const bool failed = tlmtest::runWithFailingWrite(dbPath(), n, [] {
            changePersons(QDate(2026, 7, 1), QDate(2026, 7, 4), 0, 30);
            copyDays(QDate(2026, 7, 1), QDate(2026, 7, 4), QDate(2026, 8, 1));
        });
        gConnection.open(location());
        EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        const QString state = plan().join(';');
        // Each tool wrote all of its rows or none.
        const bool persons = state.contains("|30|"),
                   copies = state.contains("2026-08") || state.contains(".08.2026");
        EXPECT_TRUE(state == before || state == after || (persons && !copies)) << "write " << n;
        EXPECT_EQ(scalar("select count(*) from SPEISEPLAN where PERSONEN = 30").toInt() % 5, 0) << n;
        gConnection.close();
        if (!failed)
            break;
        ++failures;
    }
    EXPECT_GT(failures, 2);
    gConnection.open(location());
}

class ShoppingPlanTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // Milk (fresh) 1 L packs, flour (keeps) 1 kg packs, salt never bought.
        exec("insert into ZUTATEN values (101, 'Milch', 1, 'L', 1, -1, 0), (102, 'Mehl', 1, 'kg', 2, 0, 0),"
             " (103, 'Salz', 1, 'kg', 1, 0, -1)");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Pfannkuchen')");
        // For 4 persons: 1 L milk, 0.5 kg flour, salt.
        exec("insert into REZEPTE values (1, 201, 101, 1, 0), (2, 201, 102, 0.5, 0), (3, 201, 103, 0.01, 0)");
        // Day 1 and 2: 4 persons each; day 3: 2 persons; day 4: 6 persons.
        exec("insert into SPEISEPLAN values (1, '2026-07-01', 2, 2, 201, 4, 0), (2, '2026-07-02', 2, 2, 201, "
             "4, 0),"
             " (3, '2026-07-03', 2, 2, 201, 2, 0), (4, '2026-07-04', 2, 2, 201, 6, 0)");
    }
};

TEST_F(ShoppingPlanTest, RunsBuyWholePackagesForTheirDaysAndWhatKeepsAtTheFirst)
{
    // Runs on the 1st and the 3rd: milk 2 L exactly, then 0.5 + 1.5 = 2 L; flour 0.5+0.5+0.25+0.75.
    fncDruckEinkaufsplan(
        {QDate(2026, 7, 1), QDate(2026, 7, 4), {QDate(2026, 7, 1), QDate(2026, 7, 3)}, true});
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Einkaufsplan"));
    EXPECT_EQ(vp().rowTexts(),
              (QStringList{"Zutat|Bedarf|aus Vorrat|Einkauf|Packungen|Einzel|Gesamt|Rest",
                           "Einkauf am Mittwoch 01.07.2026 für 01.07. bis 02.07.2026",
                           "Mehl|2 kg|0 kg|2 kg|2|2,00\u00a0€|4,00\u00a0€|0 kg",
                           "Milch|2 L|0 L|2 L|2|1,00\u00a0€|2,00\u00a0€|0 L", "Summe Einkauf: 6,00\u00a0€",
                           "Einkauf am Freitag 03.07.2026 für 03.07. bis 04.07.2026",
                           "Milch|2 L|0 L|2 L|2|1,00\u00a0€|2,00\u00a0€|0 L", "Summe Einkauf: 2,00\u00a0€",
                           "Gesamtsumme: 8,00\u00a0€"}));
    // Every run buys for its days what is not left over: a need a bit beyond whole packages buys one
    // more, the flour left opened serves the next run, milk is not kept; the fresh milk of the 2nd, a
    // day without a run of its own, goes with the run of the 1st.
    exec("update SPEISEPLAN set PERSONEN = 5 where KEY = 2");
    fncDruckEinkaufsplan(
        {QDate(2026, 7, 1), QDate(2026, 7, 4), {QDate(2026, 7, 1), QDate(2026, 7, 3)}, false});
    EXPECT_EQ(
        vp().rowTexts().mid(1),
        (QStringList{"Einkauf am Mittwoch 01.07.2026 für 01.07. bis 02.07.2026",
                     "Mehl|1,125 kg|0 kg|2 kg|2|2,00\u00a0€|4,00\u00a0€|0,875 kg",
                     "Milch|2,25 L|0 L|3 L|3|1,00\u00a0€|3,00\u00a0€|0,75 L", "Summe Einkauf: 7,00\u00a0€",
                     "Einkauf am Freitag 03.07.2026 für 03.07. bis 04.07.2026",
                     "Mehl|1 kg|0,875 kg|1 kg|1|2,00\u00a0€|2,00\u00a0€|0,875 kg",
                     "Milch|2 L|0 L|2 L|2|1,00\u00a0€|2,00\u00a0€|0 L", "Summe Einkauf: 4,00\u00a0€",
                     "Gesamtsumme: 11,00\u00a0€"}));
    // The same errors as the shopping lists stop it, naming the ingredient, under its own tag.
    exec("update ZUTATEN set MENGE = 0 where ZUTNR = 102");
    Modal modal;
    modal.box(QMessageBox::Ok);
    fncDruckEinkaufsplan(everyNDays(7));
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.endsWith(
        "Modul: tlm/fncDruckEinkaufsplan,11/Division durch Null (Zutat: Mehl)"));
    EXPECT_FALSE(vp().isComplete());
}

TEST_F(ShoppingPlanTest, TheWindowListsTheDaysFollowsTheSpanAndChecksEveryNthDay)
{
    Modal modal;
    modal.on<frmEinkaufsplan>([](frmEinkaufsplan& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Einkauf planen"));
        auto checkedDays = [&] {
            QStringList out;
            for (int i = 0; i < d.lsEinkaufstage->count(); ++i)
                if (d.lsEinkaufstage->item(i)->checkState() == Qt::Checked)
                    out << d.lsEinkaufstage->item(i)->text();
            return out;
        };
        ASSERT_EQ(d.lsEinkaufstage->count(), 4);
        EXPECT_EQ(checkedDays(), QStringList{"Mittwoch 01.07.2026"});
        EXPECT_FALSE(d.lsEinkaufstage->item(0)->flags() & Qt::ItemIsUserCheckable); // the first stays
        EXPECT_TRUE(d.cbHaltbaresZuerst->isChecked());
        d.lsEinkaufstage->item(2)->setCheckState(Qt::Checked);
        d.dpBis->setDate(QDate(2026, 7, 8)); // the list follows; the 3rd stays checked
        EXPECT_EQ(d.lsEinkaufstage->count(), 8);
        EXPECT_EQ(checkedDays(), (QStringList{"Mittwoch 01.07.2026", "Freitag 03.07.2026"}));
        d.txAlleNTage->setText("3");
        d.sfAlleNTage->click();
        EXPECT_EQ(checkedDays(),
                  (QStringList{"Mittwoch 01.07.2026", "Samstag 04.07.2026", "Dienstag 07.07.2026"}));
        d.dpVon->setDate(QDate(2026, 7, 2)); // a new first day is a shopping day
        EXPECT_EQ(checkedDays().first(), QStringLiteral("Donnerstag 02.07.2026"));
        d.sfDrucken->click();
    });
    const std::optional<ShoppingPlan> plan = fncDlgEinkaufsplan();
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->von, QDate(2026, 7, 2));
    EXPECT_EQ(plan->runs, (QVector<QDate>{QDate(2026, 7, 2), QDate(2026, 7, 4), QDate(2026, 7, 7)}));
    EXPECT_TRUE(plan->keepsFirst);
    EXPECT_EQ(everyNDays(2).runs, (QVector<QDate>{QDate(2026, 7, 1), QDate(2026, 7, 3)}));
}

TEST_F(ShoppingPlanTest, AfterAFailedWriteAbbrechenPrintsNothing)
{
    gConnection.close();
    {
        tlmtest::FaultVfs vfs;
        gConnection.open(location());
        vfs.failAt(1); // the window's choices cannot be kept
        Modal modal;
        modal.on<frmEinkaufsplan>([](frmEinkaufsplan& d) {
            d.sfDrucken->click();
            EXPECT_TRUE(d.isVisible());
            d.sfRestbestand->click();
            EXPECT_TRUE(d.isVisible());
            d.sfAbbrechen->click();
        });
        modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
        EXPECT_FALSE(fncDlgEinkaufsplan());
        EXPECT_TRUE(modal.allUsed());
        EXPECT_EQ(modal.unexpected(), 0);
        EXPECT_TRUE(vfs.failed());
        gConnection.close();
    }
    gConnection.open(location());
    EXPECT_EQ(scalar("select count(*) from PARAMETER where PARID between 201 and 203").toInt(), 0);
}

TEST(Holidays, EasterBasedAndFixedDaysOf2026And2027)
{
    auto holidays = [](int year) {
        QStringList out;
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1))
            if (isNationalHoliday(d))
                out << d.toString("dd.MM.");
        return out;
    };
    EXPECT_EQ(holidays(2026), (QStringList{"01.01.", "03.04.", "06.04.", "01.05.", "14.05.", "25.05.",
                                           "03.10.", "25.12.", "26.12."}));
    EXPECT_EQ(holidays(2027), (QStringList{"01.01.", "26.03.", "29.03.", "01.05.", "06.05.", "17.05.",
                                           "03.10.", "25.12.", "26.12."}));
    EXPECT_EQ(easterSunday(2027), QDate(2027, 3, 28));
    // Christmas Day and Boxing Day of 2027 are a Saturday and a Sunday: back to Friday the 24th.
    EXPECT_EQ(openDayOnOrBefore(QDate(2027, 12, 26), QDate(2027, 12, 20)), QDate(2027, 12, 24));
    EXPECT_EQ(openDayOnOrBefore(QDate(2027, 12, 26), QDate(2027, 12, 25)), QDate(2027, 12, 25));
}

TEST_F(ShoppingPlanTest, RunsOnClosedDaysMoveToTheDayBeforeAndTheChoicesAreKept)
{
    Modal modal;
    auto checkedDays = [](frmEinkaufsplan& d) {
        QStringList out;
        for (int i = 0; i < d.lsEinkaufstage->count(); ++i)
            if (d.lsEinkaufstage->item(i)->checkState() == Qt::Checked)
                out << d.lsEinkaufstage->item(i)->text();
        return out;
    };
    modal.on<frmEinkaufsplan>([&](frmEinkaufsplan& d) {
        EXPECT_TRUE(d.cbSonnFeiertage->isChecked());
        d.dpVon->setDate(QDate(2026, 3, 31));
        d.dpBis->setDate(QDate(2026, 4, 8));
        d.txAlleNTage->setText("3");
        d.sfAlleNTage->click();
        // Good Friday to Thursday; Easter Monday past Easter Sunday to Saturday.
        EXPECT_EQ(checkedDays(d),
                  (QStringList{"Dienstag 31.03.2026", "Donnerstag 02.04.2026", "Samstag 04.04.2026"}));
        d.lsEinkaufstage->item(5)->setCheckState(Qt::Checked); // by hand it stays, and says so
        EXPECT_EQ(checkedDays(d).last(), QStringLiteral("Sonntag 05.04.2026 (Sonntag)"));
        d.lsEinkaufstage->item(5)->setCheckState(Qt::Unchecked);
        EXPECT_EQ(d.lsEinkaufstage->item(5)->text(), QStringLiteral("Sonntag 05.04.2026"));
        d.cbSonnFeiertage->setChecked(false);
        d.txAlleNTage->setText("4");
        d.sfAlleNTage->click();
        EXPECT_EQ(checkedDays(d),
                  (QStringList{"Dienstag 31.03.2026", "Samstag 04.04.2026", "Mittwoch 08.04.2026"}));
        d.sfDrucken->click();
    });
    ASSERT_TRUE(fncDlgEinkaufsplan());
    EXPECT_EQ(rows("select PARID, WERT from PARAMETER where PARID between 201 and 203 order by 1"),
              (QStringList{"201|4", "202|1", "203|0"}));
    modal.on<frmEinkaufsplan>([&](frmEinkaufsplan& d) {
        EXPECT_FALSE(d.cbSonnFeiertage->isChecked());
        EXPECT_EQ(d.txAlleNTage->text(), QStringLiteral("4"));
        d.sfAbbrechen->click();
    });
    EXPECT_FALSE(fncDlgEinkaufsplan());
}

TEST_F(CampTest, UndoRestoresThePlanRowsExactlyKeysIncluded)
{
    const QString all = QStringLiteral("select * from SPEISEPLAN order by KEY");
    const QStringList before = rows(all);
    EXPECT_FALSE(lastUndo());
    changePersons(QDate(2026, 7, 1), QDate(2026, 7, 31), 0, 41);
    copyDays(QDate(2026, 7, 1), QDate(2026, 7, 1), QDate(2026, 7, 10));
    {
        Transaction t(gConnection);
        UndoStep step(QStringLiteral("Speiseplan löschen"));
        step.keepRows(QStringLiteral("1 = 1"));
        exec("delete from SPEISEPLAN");
        step.finish();
        t.commit();
    }
    EXPECT_EQ(lastUndo(), QStringLiteral("Speiseplan löschen"));
    EXPECT_EQ(undoLast(), QStringLiteral("%1 Einträge wiederhergestellt.").arg(before.size() + 2));
    EXPECT_EQ(lastUndo(), QStringLiteral("Tage kopieren"));
    EXPECT_EQ(undoLast(), QStringLiteral("2 Einträge entfernt."));
    EXPECT_NE(rows(all), before);
    undoLast();
    EXPECT_EQ(rows(all), before);
    EXPECT_FALSE(lastUndo());
    EXPECT_EQ(rows("select count(*) from TLM_UNDO_SPEISEPLAN"), QStringList{"0"});
}
