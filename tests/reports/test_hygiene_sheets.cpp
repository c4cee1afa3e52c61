// The hygiene sheets by their text rows, the label sheet by its positions.
#include "kitchen/StockCarry.h"
#include "reports/Einkaufsplan.h"
#include "reports/HygieneSheets.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

#include <QRegularExpression>
#include <cmath>

using namespace tlm;
using tlmtest::vp;

namespace {
// The rows of the document without the sheets' instruction lines.
QStringList tableRows()
{
    QStringList out;
    for (const QString& r : vp().rowTexts())
        if (!r.contains(QStringLiteral("100 g in einem")))
            out << r;
    return out;
}

// Where a table row of the document stands: page, left edge of its first cell, top.
struct Place
{
    int page;
    double left;
    double top;
};
Place placeOf(int row)
{
    const ReportRow& r = vp().rows()[row];
    return {r.page, vp().page(r.page).items[r.firstItem].rect.left(), r.top};
}
} // namespace

TEST_F(HygieneTest, SamplesListPerDayWithTheReplacementAndWithoutTheBread)
{
    fncDruckRueckstellproben(QDate(2026, 7, 20), QDate(2026, 7, 22));
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().documentTitle(), QStringLiteral("Rückstellproben"));
    const QString captions = "Mahlzeit|Komponente|Menge|entnommen um|entnommen von|aufbewahren bis";
    EXPECT_EQ(tableRows(), (QStringList{"Rückstellproben Montag 20.07.2026", captions,
                                        "Mittagessen|Tomatensuppe|mind. 100 g|||27.07.2026",
                                        "Mittagessen|Nudeln mit Soße|mind. 100 g|||27.07.2026",
                                        "Mittagessen|Gemüsepfanne (Vegetarier)|mind. 100 g|||27.07.2026",
                                        "Rückstellproben Dienstag 21.07.2026", captions,
                                        "Abendessen|Obstsalat|mind. 100 g|||28.07.2026",
                                        "Rückstellproben Mittwoch 22.07.2026", captions,
                                        "Mittagessen|Nudeln mit Soße|mind. 100 g|||29.07.2026"}));
    EXPECT_EQ(vp().pageCount(), 1);

    // A long day goes on to a second page under its heading and captions again.
    for (int k = 10; k < 60; ++k)
        exec(QStringLiteral("insert into SPEISEPLAN values (%1, '2026-07-21', 3, 5, 204, 20, 0)").arg(k));
    fncDruckRueckstellproben(QDate(2026, 7, 21), QDate(2026, 7, 21));
    ASSERT_EQ(vp().pageCount(), 2);
    const QStringList second = vp().pageTexts(1);
    EXPECT_TRUE(second.contains("Rückstellproben Dienstag 21.07.2026 (Fortsetzung)"));
    EXPECT_TRUE(second.contains("aufbewahren bis"));
}

TEST_F(HygieneTest, LabelsStartAtTheFirstFreeLabelAndGoOnToTheNextSheet)
{
    // Label 6 is the third of the second row.
    fncDruckProbenEtiketten(QDate(2026, 7, 20), QDate(2026, 7, 22), 6);
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().documentTitle(), QStringLiteral("Rückstellproben-Etiketten"));
    const QStringList rows = vp().rowTexts();
    // Five labels of five lines each.
    ASSERT_EQ(rows.size(), 25);
    EXPECT_EQ(rows.mid(0, 5), (QStringList{"Rückstellprobe", "Tomatensuppe", "Montag 20.07.2026",
                                           "Mittagessen", "aufbewahren bis 27.07.2026"}));
    EXPECT_EQ(rows.mid(15, 5), (QStringList{"Rückstellprobe", "Obstsalat", "Dienstag 21.07.2026",
                                            "Abendessen", "aufbewahren bis 28.07.2026"}));
    const double mm = kMillimetre;
    auto near = [](double a, double b) { return std::abs(a - b) < 2; };
    const Place first = placeOf(0);
    EXPECT_EQ(first.page, 0);
    EXPECT_TRUE(near(first.left, 2 * 70 * mm + 3 * mm + 60)) << first.left;
    EXPECT_TRUE(near(first.top, 0.5 * mm + 37 * mm + 3 * mm)) << first.top;
    // The next label is the first of the third row; the fifth the first of the fourth.
    const Place next = placeOf(5);
    EXPECT_TRUE(near(next.left, 3 * mm + 60)) << next.left;
    EXPECT_TRUE(near(next.top, 0.5 * mm + 2 * 37 * mm + 3 * mm)) << next.top;
    EXPECT_TRUE(near(placeOf(20).left, 3 * mm + 60));
    EXPECT_TRUE(near(placeOf(20).top, 0.5 * mm + 3 * 37 * mm + 3 * mm));
    // Every label stays inside its 37 mm.
    for (int r = 0; r < rows.size(); r += 5) {
        const Place top = placeOf(r);
        const ReportRow& last = vp().rows()[r + 4];
        EXPECT_LT(last.top + last.height - top.top, 37 * mm - 3 * mm) << r;
    }
    EXPECT_EQ(vp().pageCount(), 1);

    // From label 23: two on this sheet, three on the next from its first label.
    fncDruckProbenEtiketten(QDate(2026, 7, 20), QDate(2026, 7, 22), 23);
    ASSERT_EQ(vp().pageCount(), 2);
    EXPECT_EQ(placeOf(5).page, 0);
    const Place third = placeOf(10);
    EXPECT_EQ(third.page, 1);
    EXPECT_TRUE(near(third.left, 3 * mm + 60));
    EXPECT_TRUE(near(third.top, 0.5 * mm + 3 * mm));
}

TEST_F(HygieneTest, TemperatureSheetsPerWeekWithTheLimitsPrinted)
{
    fncDruckKuehltemperaturen(QDate(2026, 7, 20), QDate(2026, 7, 28));
    EXPECT_TRUE(vp().isComplete());
    // A page a week: seven days and two; a row per day and device.
    ASSERT_EQ(vp().pageCount(), 2);
    const QStringList rows = vp().rowTexts();
    EXPECT_EQ(rows.filter("Kühlschrank Küche|max. +7 °C").size(), 9);
    EXPECT_EQ(rows.filter("Truhe|max. -18 °C").size(), 9);
    EXPECT_TRUE(rows.contains("Mo 20.07.|Kühlschrank Küche|max. +7 °C||||||"));
    EXPECT_TRUE(rows.contains("|Truhe|max. -18 °C||||||"));
    EXPECT_TRUE(vp().pageTexts(1).contains("Temperaturkontrolle Kühlgeräte Mo 27.07. bis Di 28.07.2026"));

    fncDruckKerntemperaturen(QDate(2026, 7, 20), QDate(2026, 7, 22));
    EXPECT_EQ(vp().rowTexts().filter(QRegularExpression("\\|___ °C\\|\\|$")).size(), 4);
    EXPECT_TRUE(vp().rowTexts().contains("Mo 20.07.|Mittagessen|Tomatensuppe|___ °C||"));
    EXPECT_TRUE(vp().rowTexts().contains("|Mittagessen|Gemüsepfanne (Vegetarier)|___ °C||"));
    EXPECT_FALSE(vp().rowTexts().join('\n').contains("Obstsalat"));
    EXPECT_TRUE(vp().rowTexts().join('\n').contains("mindestens +65 °C"));
}

TEST_F(HygieneTest, CleaningPlanAndInstructionSheet)
{
    fncDruckReinigungsplan(QDate(2026, 7, 20), QDate(2026, 7, 22));
    EXPECT_EQ(vp().pageCount(), 1);
    const QStringList rows = vp().rowTexts();
    EXPECT_TRUE(rows.contains("Bereich|wie oft|Mo 20.07.|Di 21.07.|Mi 22.07."));
    // After each meal: a row per time of day served, a dash where it is not.
    EXPECT_TRUE(rows.contains("Arbeitsflächen|nach Frühstück||–|–"));
    EXPECT_TRUE(rows.contains("Arbeitsflächen|nach Mittagessen||–|"));
    EXPECT_TRUE(rows.contains("Arbeitsflächen|nach Abendessen|–||–"));
    EXPECT_TRUE(rows.contains("Kühlschrank|wöchentlich|||"));

    fncDruckBelehrung(QDate(2026, 7, 20), QDate(2026, 7, 22));
    EXPECT_EQ(vp().documentTitle(), QStringLiteral("Belehrung gemäß §§ 42, 43 IfSG"));
    const QStringList team = vp().rowTexts();
    EXPECT_TRUE(team.contains("Anna|01.03.2019|01.06.2025||"));
    EXPECT_TRUE(team.contains("Ben||||"));
    EXPECT_EQ(team.filter(QRegularExpression("^\\|\\|\\|\\|$")).size(), 4);
}

TEST_F(ShoppingPlanTest, GoodsReceivedSheetPerRunOfTheEinkaufsplan)
{
    const ShoppingPlan plan{
        QDate(2026, 7, 1), QDate(2026, 7, 4), {QDate(2026, 7, 1), QDate(2026, 7, 3)}, true};
    fncDruckEinkaufsplan(plan);
    QStringList planned;
    for (const QString& r : vp().rowTexts())
        if (r.startsWith("Einkauf am"))
            planned << "Wareneingang: " + r;
    fncDruckWareneingang(plan);
    EXPECT_TRUE(vp().isComplete());
    QStringList received = vp().rowTexts().filter(QRegularExpression("^Wareneingang: "));
    EXPECT_EQ(received, planned);
    // A page a run; temperature on arrival only for what is fresh.
    EXPECT_EQ(vp().pageCount(), 2);
    EXPECT_EQ(vp().rowTexts().filter(QRegularExpression("^(Mehl|Milch)\\|")),
              (QStringList{"Mehl|2 kg|2||–||", "Milch|2 L|2||||", "Milch|2 L|2||||"}));
    EXPECT_TRUE(vp().pageTexts(1).contains("Zutat"));
}
