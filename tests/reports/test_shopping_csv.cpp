// "Einkaufsliste Alles" for spreadsheets, byte for byte.
#include "data/Error.h"
#include "reports/ShoppingCsv.h"
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

TEST_F(CostTest, TheShoppingListForSpreadsheetsByteForByte)
{
    exec("update ZUTATEN set ZUTAT = 'Tomaten \"San Marzano\"; geschält' where ZUTNR = 102");
    exec("delete from SPEISEPLAN where GERNR <> 201");
    EXPECT_EQ(shoppingCsv(),
              QByteArray("\xEF\xBB\xBF"
                         "Zutat;Bedarf;Einheit;Einkauf;Packungen;Einzelpreis;Gesamtpreis;Frisch\r\n"
                         "Nudeln;2,25;kg;2,5;5;1,10;5,50;nein\r\n"
                         "\"Tomaten \"\"San Marzano\"\"; geschält\";1,125;kg;2;2;2,00;4,00;ja\r\n"));
    const QString path = QDir(dir()).filePath("einkaufsliste.csv");
    tlmtest::writeBytes(path, "alt");
    exportShoppingCsv(path);
    EXPECT_EQ(tlmtest::readBytes(path), shoppingCsv());
    // A row that cannot be computed leaves the file as it was.
    exec("update ZUTATEN set MENGE = 0 where ZUTNR = 101");
    EXPECT_THROW(exportShoppingCsv(path), Error);
    EXPECT_TRUE(tlmtest::readBytes(path).startsWith("\xEF\xBB\xBF"
                                                    "Zutat"));
    EXPECT_EQ(QDir(dir()).entryList({"einkaufsliste*"}), QStringList{"einkaufsliste.csv"});
}
