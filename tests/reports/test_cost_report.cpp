// "Kosten pro Tag und Person".
#include "app/DataCombo.h"
#include "app/InstanceGuard.h"
#include "data/Error.h"
#include "kitchen/Costs.h"
#include "reports/CostReport.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace tlm;
using tlmtest::vp;

TEST_F(CostTest, TheReportSetsEachDayAgainstTheTagessatzAndCountsWhatIsLeftOver)
{
    fncDruckKosten(QDate(2026, 10, 1), QDate(2026, 10, 1), 0.70);
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Kosten pro Tag und Person"));
    EXPECT_EQ(vp().rowTexts(),
              (QStringList{"Tag|Personen|Kosten|pro Person|Tagessatz|Differenz",
                           "Donnerstag 01.10.2026|10|7,20\u00a0€|0,72\u00a0€|0,70\u00a0€|-0,02\u00a0€",
                           "Summe Kosten:|7,20\u00a0€", "Durchschnitt pro Person und Tag:|0,72\u00a0€",
                           "Eingekauft (ganze Packungen):|9,50\u00a0€", "Wert der Reste:|0,55\u00a0€"}));
    // Left of what keeps: 0,25 kg of the five packages of pasta; the tomatoes left over are not kept.
    // The day over the Tagessatz is bold.
    const ReportWriter& doc = vp();
    const ReportRow& over = doc.rows()[1];
    EXPECT_TRUE(doc.font(doc.page(over.page).items[over.firstItem].font).bold);
    EXPECT_FALSE(doc.font(doc.page(doc.rows()[2].page).items[doc.rows()[2].firstItem].font).bold);

    // Without a Tagessatz the last two columns stay empty; unknown costs name their ingredient.
    fncDruckKosten(QDate(2026, 10, 1), QDate(2026, 10, 3), std::nullopt);
    EXPECT_EQ(
        vp().rowTexts().mid(1),
        (QStringList{"Donnerstag 01.10.2026|10|7,20\u00a0€|0,72\u00a0€||",
                     "Freitag 02.10.2026|10|Preis fehlt: Safran|||",
                     "Samstag 03.10.2026|6|Packungsgröße 0: Zimt|||", "Summe Kosten:|Preis fehlt: Safran",
                     "Durchschnitt pro Person und Tag:|Preis fehlt: Safran",
                     "Eingekauft (ganze Packungen):|Unzulässige Verwendung von Null (Zutat: Safran)",
                     "Wert der Reste:|Unzulässige Verwendung von Null (Zutat: Safran)"}));
    // The Tagessatz is kept in PARAMETER row 200; no row means none.
    EXPECT_FALSE(storedTagessatz());
    storeTagessatz(6.0);
    EXPECT_EQ(rows("select PARID, WERT from PARAMETER order by PARID"), (QStringList{"100|1", "200|6"}));
    EXPECT_EQ(storedTagessatz(), std::optional<double>(6.0));
    storeTagessatz(std::nullopt);
    EXPECT_EQ(scalar("select count(*) from PARAMETER where PARID = 200").toInt(), 0);
}
