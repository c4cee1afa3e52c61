// The data procedures of module tlm: results, neutral results and their reports.
#include "app/DataProcedures.h"
#include "app/ListWindow.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QMessageBox>

using namespace tlm;

class ProcedureTest : public tlmtest::DbTest
{
};

TEST_F(ProcedureTest, KeysAndLookups)
{
    tlmtest::Modal modal;
    EXPECT_EQ(fncGetMaxIDfromTab("GERICHTE", "GERNR", 100), 100);
    exec("insert into GERICHTE (GERNR) values (101)");
    exec("insert into GERICHTE (GERNR) values (250)");
    EXPECT_EQ(fncGetMaxIDfromTab("GERICHTE", "GERNR", 100), 250);
    EXPECT_EQ(fncDBLookup("PARAMETER", QStringLiteral("WERT"), "PARID=100"), QVariant(QStringLiteral("1")));
    exec("delete from PARAMETER");
    EXPECT_TRUE(fncDBLookup("PARAMETER", QStringLiteral("WERT"), "PARID=100").isNull());
    EXPECT_TRUE(modal.boxes().empty());

    // Failures report under the procedure's tag and give the neutral result.
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    EXPECT_EQ(fncGetMaxIDfromTab("NOTABLE", "X", 100), 0);
    EXPECT_TRUE(fncDBLookup("NOTABLE", QStringLiteral("X"), "1=1").isNull());
    ASSERT_EQ(modal.boxes().size(), 2u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: tlm/fncGetMaxIDfromTab,1/Die Tabelle oder Abfrage "
                                               "'NOTABLE' gibt es in der Datenbank nicht."));
    EXPECT_TRUE(modal.boxes()[1].text.contains("Modul: tlm/fncDBLookup,"));
}

TEST(Procedures, ConversionsOfModuleTlm)
{
    EXPECT_EQ(xDatetoSQL(QDate(2011, 1, 3)), QStringLiteral("#01/03/2011#"));
    EXPECT_EQ(xDatetoSQL(QDate(2010, 7, 24)), QStringLiteral("#07/24/2010#"));
    EXPECT_EQ(xDatetoSQL(QVariant()), QString());
    EXPECT_EQ(xCToD(QVariant()), 0);
    EXPECT_EQ(xCToD(QString()), 0);
    EXPECT_EQ(xCToD(QStringLiteral("abc")), 0);
    EXPECT_EQ(xCToD(QStringLiteral("1,5")), 1.5);
    EXPECT_EQ(fncFalseTrueto01(-1), 1);
    EXPECT_EQ(fncFalseTrueto01(1), 0);
    EXPECT_EQ(fncFalseTrueto01(0), 0);
    EXPECT_TRUE(fnc01toFalseTrue(1));
    EXPECT_FALSE(fnc01toFalseTrue(-1));
    EXPECT_FALSE(fnc01toFalseTrue(0));
    // A typed search goes into the statement as a bound value, apostrophes and all.
    const SearchFilter search = searchFilter(QStringLiteral("ZUTAT"), QStringLiteral("Kaiser's"));
    EXPECT_EQ(search.where, QStringLiteral(" where ZUTAT like ? || '%'"));
    EXPECT_EQ(search.values, QVector<QVariant>{QStringLiteral("Kaiser's")});
    EXPECT_EQ(searchFilter(QStringLiteral("ZUTAT"), QStringLiteral("  ")).where, QString());
}
