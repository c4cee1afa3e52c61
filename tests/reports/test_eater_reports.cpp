// Heads where the plan's persons are portions: the cost report and the recipe cards.
#include "kitchen/TakePortions.h"
#include "reports/CostReport.h"
#include "reports/RecipeCards.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

using namespace tlm;
using tlmtest::vp;

TEST_F(EaterTest, TheCostReportDividesByHeadsAndTheCardsNameThePortionsAndTheHeads)
{
    ASSERT_EQ(takePortions(QDate(2026, 7, 20), QDate(2026, 7, 24), allTimes()).changed, 7);
    fncDruckKosten(QDate(2026, 7, 20), QDate(2026, 7, 21), std::nullopt);
    ASSERT_TRUE(vp().isComplete());
    // 30,00 € for 24 + 34 heads: 0,52 € a person and day.
    EXPECT_EQ(vp().rowTexts().mid(0, 6),
              (QStringList{"je Person: nach Essern", "Tag|Personen|Kosten|pro Person|Tagessatz|Differenz",
                           "Montag 20.07.2026|24|16,80\u00a0€|0,70\u00a0€||",
                           "Dienstag 21.07.2026|34|13,20\u00a0€|0,39\u00a0€||", "Summe Kosten:|30,00\u00a0€",
                           "Durchschnitt pro Person und Tag:|0,52\u00a0€"}));

    fncDruckRezeptkarten(QDate(2026, 7, 20), QDate(2026, 7, 21));
    ASSERT_TRUE(vp().isComplete());
    QStringList headings;
    for (const QString& row : vp().rowTexts())
        if (row.contains(QStringLiteral("Portion")) || row.contains(QStringLiteral("Person")))
            headings << row;
    EXPECT_EQ(headings, (QStringList{"Montag 20.07.2026|Mittagessen|21 Portionen (24 Esser)",
                                     "Montag 20.07.2026|Abendessen|21 Portionen (24 Esser)",
                                     "Dienstag 21.07.2026|Mittagessen|31 Portionen (30 Esser)",
                                     "Dienstag 21.07.2026|Mittagessen|4 Portionen (4 Esser)"}));
    // The quantities are for the portions: 0,5 kg of pasta for four, 21 portions.
    EXPECT_TRUE(vp().rowTexts().contains(QStringLiteral("2,63 kg|Nudeln|")));

    // Without eaters both are as they always were.
    saveEaterList({});
    fncDruckKosten(QDate(2026, 7, 20), QDate(2026, 7, 20), std::nullopt);
    EXPECT_EQ(vp().rowTexts().mid(0, 2), (QStringList{"Tag|Personen|Kosten|pro Person|Tagessatz|Differenz",
                                                      "Montag 20.07.2026|21|16,80\u00a0€|0,80\u00a0€||"}));
    fncDruckRezeptkarten(QDate(2026, 7, 20), QDate(2026, 7, 20));
    EXPECT_EQ(vp().rowTexts().value(1), QStringLiteral("Montag 20.07.2026|Mittagessen|21 Personen"));
}
