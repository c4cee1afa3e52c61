// Rückgängig takes back a workstation's own last step, and only while its rows are as it left them.
#include "data/Database.h"
#include "data/Globals.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/EntryDelete.h"
#include "kitchen/Undo.h"
#include "support/Fixture.h"
#include "support/PlanData.h"
#include "support/SampleCamps.h"
#include "support/Workstations.h"

#include <QRegularExpression>
#include <QSettings>
#include <QUuid>

using namespace tlm;

class UndoTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
        exec("insert into SPEISEPLAN values (1, '2026-07-01', 1, 2, 101, 10, 0), (2, '2026-07-01', 2, 2, "
             "102, 12, 0), (3, '2026-07-02', 1, 2, 101, 10, -1), (4, '2026-07-02', 2, 1, 105, 12, 0)");
    }
    QStringList plan()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN order by KEY");
    }
};

// A file hands the highest key out again (max + 1), so an entry made after the delete can carry a
// key the step noted: taking the delete back keeps that later entry.
TEST_F(UndoTest, UndoOfADeleteKeepsAnEntryMadeAfterIt)
{
    deleteEntries({4}); // the last entry of the plan
    // A new entry, keyed as the entry window keys it (frmSpeiseplanDet::fncReq).
    const qint32 key = gConnection.newKey(QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"), 100);
    exec(QStringLiteral("insert into SPEISEPLAN values (%1, '2026-07-03', 3, 5, 105, 20, 0)").arg(key));
    const QStringList withNew = plan();
    ASSERT_EQ(withNew.size(), 4);

    EXPECT_EQ(undoLast(), QStringLiteral("1 Eintrag wiederhergestellt."));
    const QStringList after = plan();
    // The deleted entry is back, and the one made later (2026-07-03, dish 105 for 20) is still there.
    EXPECT_EQ(after.size(), 5) << after.join(" / ").toStdString();
    EXPECT_TRUE(after.filter("03.07.2026").size() == 1) << after.join(" / ").toStdString();
    // The later entry keeps its key; the deleted one is back whole, under a new key where its own is
    // taken.
    EXPECT_TRUE(after.contains(QStringLiteral("%1|03.07.2026|3|5|105|20|Falsch").arg(key)));
    EXPECT_EQ(after.filter(QRegularExpression("\\|02.07.2026\\|2\\|1\\|105\\|12\\|Falsch$")).size(), 1);
}

TEST_F(UndoTest, AnEntryChangedOrDeletedSinceBlocksTheUndoByNameAndNothingChanges)
{
    changePersons(QDate(2026, 7, 1), QDate(2026, 7, 2), 0, 30);
    exec("update SPEISEPLAN set GERNR = 105 where KEY = 1"); // Mi 01.07. Frühstück, edited since
    const QStringList edited = plan();
    const QString refusal =
        QStringLiteral("Rückgängig nicht möglich: Mi 01.07. Frühstück wurde seither geändert.");
    EXPECT_EQ(undoLast(), refusal);
    EXPECT_EQ(plan(), edited);
    EXPECT_EQ(lastUndo(), QStringLiteral("Personen ändern")); // still offered, still refused
    exec("delete from SPEISEPLAN where KEY in (3, 4)");
    EXPECT_EQ(undoLast(),
              QStringLiteral("Rückgängig nicht möglich: Mi 01.07. Frühstück wurde seither geändert; "
                             "Do 02.07. Frühstück, Do 02.07. Mittagessen wurden seither gelöscht."));
    EXPECT_EQ(plan().size(), 2);
    // Put back as the step left them, the step goes back.
    exec("update SPEISEPLAN set GERNR = 101 where KEY = 1");
    exec("insert into SPEISEPLAN values (3, '2026-07-02', 1, 2, 101, 30, -1), (4, '2026-07-02', 2, 1, 105, "
         "30, "
         "0)");
    EXPECT_EQ(undoLast(), QStringLiteral("4 Einträge wiederhergestellt."));
    EXPECT_EQ(rows("select KEY, PERSONEN from SPEISEPLAN order by KEY"),
              (QStringList{"1|10", "2|12", "3|10", "4|12"}));

    // Copies: one of them changed since keeps every copy.
    const CopyResult copied = copyDays(QDate(2026, 7, 1), QDate(2026, 7, 2), QDate(2026, 7, 27));
    exec(QStringLiteral("update SPEISEPLAN set PERSONEN = 44 where KEY = %1").arg(copied.firstKey));
    EXPECT_EQ(undoLast(),
              QStringLiteral("Rückgängig nicht möglich: Mo 27.07. Frühstück wurde seither geändert."));
    EXPECT_EQ(plan().size(), 8);
}

// The undo log of a database made before the workstations kept their steps: the column is added, and
// its steps, which cannot be checked, are not offered.
TEST_F(UndoTest, ADatabaseMadeBeforeGetsTheWorkstationColumnAndOffersNoOldStep)
{
    deleteEntries({4});
    exec("delete from TLM_UNDO_DANACH");
    exec("alter table TLM_UNDO drop column PLATZ");
    exec(tlmtest::onServer() ? QStringLiteral("update TLM_SCHEMA set VERSION = %1").arg(kDerivedVersion - 1)
                             : QStringLiteral("PRAGMA user_version = %1").arg(kDerivedVersion - 1));
    gConnection.close();
    gConnection.open(location());
    EXPECT_EQ(rows("select WAS, PLATZ from TLM_UNDO"), QStringList{"Eintrag löschen|"});
    EXPECT_FALSE(lastUndo());
    EXPECT_EQ(undoLast(), QStringLiteral("Es gibt nichts rückgängig zu machen."));
    deleteEntries({3});
    EXPECT_EQ(undoLast(), QStringLiteral("1 Eintrag wiederhergestellt."));
    EXPECT_EQ(plan().size(), 3);
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

TEST_F(ServerTest, EachWorkstationTakesBackItsOwnStepsAndOnlyWhileTheirRowsAreAsItLeftThem)
{
    // Two programs, each with the workstation its own settings keep.
    auto workstation = [](const QString& id) {
        QSettings(QStringLiteral("TLM"), QStringLiteral("TLM")).setValue("Local/Arbeitsplatz", id);
    };
    const QString a = QUuid::createUuid().toString(QUuid::WithoutBraces),
                  b = QUuid::createUuid().toString(QUuid::WithoutBraces);
    workstation(a);
    const CopyResult copied = copyDays(QDate(2026, 7, 20), QDate(2026, 7, 20), QDate(2026, 7, 27));
    ASSERT_EQ(copied.count, 6);
    const QString copies = QStringLiteral("select count(*) from SPEISEPLAN where TAG = '2026-07-27'");

    workstation(b);
    EXPECT_FALSE(lastUndo()); // A's copy is not B's to take back
    deleteEntries({110});
    EXPECT_EQ(undoMenuText(), QStringLiteral("Rückgängig: Eintrag löschen"));
    EXPECT_EQ(undoLast(), QStringLiteral("1 Eintrag wiederhergestellt."));
    EXPECT_FALSE(lastUndo());
    EXPECT_EQ(undoLast(), QStringLiteral("Es gibt nichts rückgängig zu machen."));
    EXPECT_EQ(otherScalar(copies), QStringLiteral("6"));
    deleteEntries({111}); // B's step, newer than A's

    workstation(a);
    EXPECT_EQ(undoMenuText(), QStringLiteral("Rückgängig: Tage kopieren (an diesem Arbeitsplatz)"));
    // A colleague edits one of the copies: A's undo names it and changes nothing.
    other.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = 3 where KEY = %1").arg(copied.firstKey));
    EXPECT_EQ(undoLast(),
              QStringLiteral("Rückgängig nicht möglich: Mo 27.07. Frühstück wurde seither geändert."));
    EXPECT_EQ(otherScalar(copies), QStringLiteral("6"));
    other.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = 18 where KEY = %1").arg(copied.firstKey));
    EXPECT_EQ(undoLast(), QStringLiteral("6 Einträge entfernt."));
    EXPECT_EQ(otherScalar(copies), QStringLiteral("0"));
    EXPECT_EQ(otherScalar("select count(*) from SPEISEPLAN where KEY in (110, 111)"), QStringLiteral("1"));
}
