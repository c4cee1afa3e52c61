// Stock on hand and opened packages carried across the shopping runs.
#include "kitchen/StockCarry.h"
#include "support/SampleCamps.h"

using namespace tlm;

namespace {
QStringList linesOf(const StockRun& run)
{
    QStringList out;
    for (const StockLine& l : run.lines)
        out << QStringLiteral("%1|%2|%3|%4|%5")
                   .arg(l.name)
                   .arg(l.need)
                   .arg(l.fromStock)
                   .arg(l.bought)
                   .arg(l.left);
    return out;
}
} // namespace

TEST_F(StockTest, ThreeRunsUseStockAndOpenedPackagesAndTheRestIsTakenOver)
{
    QHash<qint64, double> rest;
    const auto runs = carryStock(plan, storedStock(), &rest);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(linesOf(runs[0]), (QStringList{"Milch|0.6|0|1|0.4", "Öl|0.2|0.2|0|0.8", "Reis|0.4|0.2|1|0.8"}));
    // The opened rice package serves the next run; the milk left over is not kept.
    EXPECT_EQ(linesOf(runs[1]), (QStringList{"Milch|0.6|0|1|0.4", "Öl|0.2|0.2|0|0.6", "Reis|0.4|0.4|0|0.4"}));
    EXPECT_EQ(linesOf(runs[2]), (QStringList{"Milch|0.6|0|1|0.4", "Öl|0.2|0.2|0|0.4", "Reis|0.4|0.4|0|0"}));
    EXPECT_EQ(rest.size(), 1);
    EXPECT_DOUBLE_EQ(rest.value(1), 0.4);

    takeOverStock(rest, QDate(2026, 7, 3));
    EXPECT_EQ(rows("select ZUTNR, MENGE from VORRAT"), QStringList{"1|0,4"});
    // The next camp's first run buys no oil.
    const auto next = carryStock(plan, storedStock());
    EXPECT_EQ(linesOf(next[0]), (QStringList{"Milch|0.6|0|1|0.4", "Öl|0.2|0.2|0|0.2", "Reis|0.4|0|1|0.6"}));

    // Deleting an ingredient takes its stock along.
    exec("delete from REZEPTE where ZUTNR = 1");
    exec("delete from ZUTATEN where ZUTNR = 1");
    EXPECT_EQ(scalar("select count(*) from VORRAT").toInt(), 0);
}
