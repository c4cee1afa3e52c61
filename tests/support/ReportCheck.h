#pragma once

#include "reports/ReportPrinter.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"
#include "support/PlanData.h"

#include <QString>

namespace tlmtest {

// The shared preview's document as the last report left it, once it has written all it will.
inline const tlm::ReportPrinter& vp()
{
    tlm::frmDlgDruck::shared()->vp->finish();
    return *tlm::frmDlgDruck::shared()->vp;
}

// A fresh database with the report tests' dishes, ingredients and recipe lines; the plan is empty.
class ReportDataTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        for (const char* sql : kReportDishes)
            exec(sql);
    }
};

// The pages of a PDF file, -1 when it is none.
int pdfPages(const QString& path);
// A field of pdfinfo's answer ("Title", "Creator"); a tool that cannot run fails the test.
QString pdfInfo(const QString& path, const QString& field);
// The PDF's text as pdftotext reads it, in UTF-8.
QString pdfText(const QString& path);
// One page's text as pdftotext reads it (page counted from 1); the test fails when it cannot run.
QString pdfPageText(const QString& path, int page);

} // namespace tlmtest
