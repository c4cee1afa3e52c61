#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "app/DataProcedures.h"
#include "data/Globals.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QMessageBox>

using namespace tlm;

class ControlsTest : public tlmtest::DbTest
{
};

TEST_F(ControlsTest, DropDownFillsAndValues)
{
    DataCombo dd;
    dd.resize(200, 24);
    fncDDFillbySQL(dd, "select GTYPNR,GTYP from GTYP where GTYPNR <= 3 order by GTYPSORT", "0",
                   "0,<Bitte Wählen>", false);
    ASSERT_EQ(dd.rowCount(), 4);
    EXPECT_EQ(dd.itemText(0), QStringLiteral("<Bitte Wählen>"));
    EXPECT_EQ(dd.keyAt(0), QStringLiteral("0"));
    EXPECT_EQ(dd.currentIndex(), 0);
    EXPECT_EQ(dd.value(), QStringLiteral("0"));
    EXPECT_EQ(dd.itemText(2), QStringLiteral("Hauptgericht"));
    dd.setValue("2");
    EXPECT_EQ(dd.currentText(), QStringLiteral("Hauptgericht"));
    // A key without a row stays the value, with nothing selected.
    dd.setValue("99");
    EXPECT_EQ(dd.currentIndex(), -1);
    EXPECT_EQ(dd.value(), QStringLiteral("99"));
    fncDDFillbySQL(dd, "select GTYPNR,GTYP from GTYP order by GTYPSORT", "", "", true);
    EXPECT_EQ(dd.itemText(0), QStringLiteral("1 - Suppe"));
    EXPECT_EQ(dd.value(), QString());

    fncDDFillbyCTab(dd, gUnitList, "Stk");
    EXPECT_EQ(dd.rowCount(), 7);
    EXPECT_EQ(dd.currentText(), QStringLiteral("Stk"));
    EXPECT_EQ(dd.value(), QStringLiteral("Stk"));

    tlmtest::Modal modal;
    modal.box(QMessageBox::Ok);
    fncDDFillbyCTab(dd, "g,Gramm;kg,Kilo;", "kg");
    EXPECT_EQ(dd.rowCount(), 2);      // the rows before the empty item stay
    EXPECT_EQ(dd.value(), QString()); // the default is not set after the failure
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: tlm/fncDDFillbyCTab,9/"));

    // The user's choice is the value, and close-up follows it.
    int closeUps = 0;
    QObject::connect(&dd, &DataCombo::closeUp, [&] { ++closeUps; });
    dd.setCurrentIndex(0);
    emit dd.activated(0);
    EXPECT_EQ(dd.value(), QStringLiteral("g"));
    EXPECT_EQ(closeUps, 1);
}

TEST_F(ControlsTest, DropDownIsSizedAsAPlainComboBoxWithTheSameRows)
{
    const QString sql = "select GTYPNR,GTYP from GTYP order by GTYPSORT";
    for (const QString& extra : {QString(), QStringLiteral("Ein sehr langer Gerichttyp mit Überlänge")}) {
        if (!extra.isEmpty())
            exec("insert into GTYP (GTYPNR, GTYP, GTYPSORT) values (99, '" + extra + "', 99)");
        DataCombo dd;
        fncDDFillbySQL(dd, sql, "0", "0,<Bitte Wählen>", false);
        QComboBox plain;
        plain.addItem("<Bitte Wählen>", "0");
        RecordsetPtr rs = gConnection.execute(sql);
        for (; !rs->eof(); rs->moveNext())
            plain.addItem(rs->field("GTYP").toString(), rs->field("GTYPNR").toString());
        ASSERT_EQ(dd.rowCount(), plain.count());
        EXPECT_EQ(dd.sizeHint(), plain.sizeHint()) << extra.toStdString();
        EXPECT_EQ(dd.minimumSizeHint(), plain.minimumSizeHint());
        // Filled again with fewer rows: sized to what it shows now.
        fncDDFillbySQL(dd, "select GTYPNR,GTYP from GTYP where GTYPNR = 1", "", "", false);
        QComboBox one;
        one.addItem(dd.itemText(0));
        EXPECT_EQ(dd.sizeHint(), one.sizeHint());
    }
    DataCombo empty;
    EXPECT_EQ(empty.sizeHint(), QComboBox().sizeHint());
}

TEST_F(ControlsTest, GridFollowsTheRecordset)
{
    exec("insert into TAGZEIT (TAGZEITNR, TAGZEIT, TAGZEITKURZ, TAGZEITSORT, FARBE) values (9, 'Nacht', 'N', "
         "9, null)");
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 0, 12, 0), (2, '2010-07-24', 3, 2, 0, 8, 0),"
         " (3, '2010-07-25', 9, 2, 0, 4, 0)");
    DataGrid grid;
    grid.setColumns({{"KEY", "KEY", "", false, false},
                     {"TAG", "Tag", "ddd dd.mm.yy"},
                     {"TAGZEITKURZ", "Tagzeit", "", false, true, true},
                     {"PERSONEN", "AnzPers"},
                     {"NODRUCK", "Druck", "", true}});
    grid.resize(400, 300);
    EXPECT_TRUE(grid.noCurrentRow());
    EXPECT_TRUE(grid.columnValue("KEY").isNull());
    RecordsetPtr rs = gConnection.execute(
        "select KEY,TAG,TAGZEITKURZ,PERSONEN,NODRUCK,FARBE from VW_SPEISEPLAN order by KEY");
    grid.setDataSource(rs);
    EXPECT_FALSE(grid.noCurrentRow());
    EXPECT_EQ(grid.columnIndex("personen"), 3);
    EXPECT_EQ(grid.columnIndex("TAGZEIT"), 2);
    EXPECT_EQ(grid.columnIndex("tagzeitkurz"), 2);
    EXPECT_EQ(grid.columnValue("KEY").toInt(), 1);
    EXPECT_TRUE(grid.find("KEY = 3"));
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_EQ(grid.columnValue("AnzPers").toInt(), 4);
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, 1)).toString(), QStringLiteral("Sa 24.07.10"));
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, 4), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    EXPECT_EQ(grid.valueAt(1, 3).toInt(), 8);
    // Clicking a row moves the recordset.
    grid.setCurrentIndex(grid.model()->index(1, 1));
    EXPECT_EQ(rs->position(), 1);
    EXPECT_FALSE(grid.find("KEY = 99"));
    EXPECT_TRUE(grid.noCurrentRow());
    EXPECT_TRUE(grid.columnValue("KEY").isNull());
    EXPECT_FALSE(grid.selectionModel()->hasSelection());

    // The style callback is asked only for the columns that want it.
    QVector<int> asked;
    grid.setCellStyleCallback([&](int row, int column, CellStyle& s) {
        asked << column;
        s.background = row == 0 ? QColor(Qt::red) : QColor();
    });
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, 2), Qt::BackgroundRole).value<QColor>(),
              QColor(Qt::red));
    EXPECT_FALSE(grid.model()->data(grid.model()->index(1, 2), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(grid.model()->data(grid.model()->index(0, 3), Qt::BackgroundRole).isValid());
    EXPECT_EQ(asked, (QVector<int>{2, 2}));

    grid.setDataSource(gConnection.execute("select KEY,TAG from SPEISEPLAN where KEY < 0"));
    EXPECT_TRUE(grid.noCurrentRow());
    EXPECT_EQ(grid.model()->rowCount(), 0);
}
