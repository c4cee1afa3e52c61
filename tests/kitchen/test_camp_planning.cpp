// Persons over a span and copied days: all or nothing.
#include "data/Globals.h"
#include "kitchen/CampPlanning.h"
#include "support/FaultVfs.h"
#include "support/SampleCamps.h"

using namespace tlm;

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
