#include "data/Error.h"
#include "reports/MealPlanReport.h"
#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QMessageBox>
#include <QPrinter>
#include <QTest>

using namespace tlm;
using tlmtest::vp;

class MealPlanReportTest : public tlmtest::ReportDataTest
{
};

TEST_F(MealPlanReportTest, DayAndTimeOnlyWhereTheyChange)
{
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 12, 0), (2, '2010-07-24', 2, 4, 203, "
         "12, 0),"
         " (3, '2010-07-24', 3, 2, 201, 12.0, -1), (4, '2010-07-25', 3, 7, 202, 8, 0), (5, '2010-07-25', 1, "
         "2, 204, 8, 0)");
    fncDruckSpeiseplan();
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Speiseplan"));
    EXPECT_EQ(vp().rowTexts(), (QStringList{"Tag|Zeit|Typ|Gericht|Pers.", "24.07.2010|Mittag|HG|Nudeln|12",
                                            "||Sal|Suppe|12", "|Abend|HG|Nudeln|12",
                                            "25.07.2010|Früh|HG|Nudeln | Soße|8", "|Abend|Getr|Tee|8"}));
    const auto& r = vp().rows();
    EXPECT_EQ(r[0].top, 1000);
    EXPECT_EQ(r[1].top, r[0].top + r[0].height + 200);
    EXPECT_EQ(r[2].top, r[1].top + r[1].height);
    EXPECT_EQ(r[4].top, r[3].top + r[3].height + 200);

    // A day whose first entry has the time of day of the day before: date but no time.
    exec("update SPEISEPLAN set TAGZEITNR = 3 where KEY = 5");
    fncDruckSpeiseplan();
    EXPECT_EQ(vp().rowTexts().value(4), QStringLiteral("25.07.2010||HG|Nudeln | Soße|8"));
}

TEST_F(MealPlanReportTest, EmptyPlanAndAFailureLeaveTheRightDocument)
{
    fncDruckSpeiseplan();
    EXPECT_EQ(vp().rowTexts(), QStringList{"Tag|Zeit|Typ|Gericht|Pers."});
    EXPECT_TRUE(vp().isComplete());

    // An entry without a time of day stops the list where it stands.
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 12, 0), (2, '2010-07-24', 99, 2, 201, "
         "12, 0)");
    tlmtest::Modal modal;
    modal.box(QMessageBox::Ok);
    fncDruckSpeiseplan();
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: tlm/fncDruckSpeiseplan,94/"));
    EXPECT_FALSE(vp().isComplete());
    EXPECT_EQ(vp().rowTexts().size(), 1); // the entry without a time of day sorts first
}

TEST_F(MealPlanReportTest, LongPlansBreakPagesUnderTheHeaderAndSaveAsPdf)
{
    for (int k = 1; k <= 150; ++k)
        exec(QStringLiteral("insert into SPEISEPLAN values (%1, '%2', 2, 2, 201, 10, 0)")
                 .arg(k)
                 .arg(QDate(2010, 7, 1).addDays(k / 3).toString(Qt::ISODate)));
    fncDruckSpeiseplan();
    ASSERT_GT(vp().pageCount(), 2);
    for (int p = 0; p < vp().pageCount(); ++p)
        EXPECT_EQ(vp().pageTexts(p).mid(0, 2), (QStringList{"Fennor Tellomat V1.01", "Speiseplan"}));
    for (const ReportRow& row : vp().rows())
        EXPECT_LE(row.top + row.height, ReportWriter::kPageHeight - 1000);
    EXPECT_EQ(vp().rows().back().page, vp().pageCount() - 1);
    EXPECT_EQ(vp().rows()[1].page, 0);
    const QString pdf = dir() + "/plan.pdf";
    // Saved the way an outside tool asks the control named "vp".
    bool saved = false;
    auto* control = frmDlgDruck::shared()->findChild<QObject*>("vp");
    ASSERT_TRUE(control);
    EXPECT_TRUE(
        QMetaObject::invokeMethod(control, "savePdf", Q_RETURN_ARG(bool, saved), Q_ARG(QString, pdf)));
    EXPECT_TRUE(saved);
    EXPECT_EQ(tlmtest::pdfPages(pdf), vp().pageCount());
}
