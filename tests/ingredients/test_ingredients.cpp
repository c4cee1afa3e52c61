#include "app/CurrencyEdit.h"
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmRezDet.h"
#include "ingredients/frmZutatDet.h"
#include "ingredients/frmZutatList.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;

class IngredientTest : public tlmtest::DbTest
{
protected:
    QStringList ingredients()
    {
        return rows("select ZUTNR,ZUTAT,MENGE,EINHEIT,PREIS,FRISCH,NOKAUF from ZUTATEN order by ZUTNR");
    }
    void catalogue()
    {
        exec(
            "insert into ZUTATEN values (101, 'Tomaten', 1, 'kg', 2.99, -1, 0), (102, 'Äpfel', 2, 'kg', "
            "3.98, -1, 0),"
            " (103, 'tomatenmark', 200, 'g', 0.99, 0, 0), (104, 'Kaiser''s Brötchen', 10, 'Stk', 2.5, -1, 0),"
            " (105, 'To ast', 1, 'Pkg', 1.99, 0, 0), (106, 'Salz', 500, 'g', 0.49, 0, -1)");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Tomatensoße'), (202, 4, "
             "'Salat')");
        exec("insert into REZEPTE values (1, 201, 101, 1, 0), (2, 202, 101, 0.5, 0), (3, 201, 106, 5, 0),"
             " (4, 201, 101, 0.2, 0)");
    }
    QStringList shown(DataGrid* g, const char* column)
    {
        QStringList out;
        for (int r = 0; r < g->model()->rowCount(); ++r)
            out << g->valueAt(r, g->columnIndex(column)).toString();
        return out;
    }
};

TEST_F(IngredientTest, NewIngredientReservesItsKeyAndSavesAsTyped)
{
    Modal modal;
    modal.on<frmZutatDet>([](frmZutatDet& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Zutat bearbeiten"));
        EXPECT_EQ(d.fZUTNR, 101);
        EXPECT_EQ(d.txZUTAT->text(), QString());
        EXPECT_EQ(d.ddEINHEIT->value(), QStringLiteral("Stk"));
        EXPECT_EQ(d.ddEINHEIT->rowCount(), 7);
        EXPECT_FALSE(d.cbFRISCH->isChecked());
        EXPECT_EQ(d.gd1->model()->rowCount(), 0);
        d.sfExit->click();
    });
    EXPECT_EQ(fncDlgZutatDet(0), 101);
    EXPECT_TRUE(ingredients().isEmpty());

    modal.on<frmZutatDet>([](frmZutatDet& d) {
        QTest::keyClicks(d.txZUTAT, QString(60, 'x'));
        EXPECT_EQ(d.txZUTAT->text().size(), 50); // the box takes no more than the column holds
        d.txZUTAT->setText("Kaiser's Brötchen 😀 %_");
        // What is bought needs its package size: the shopping lists divide by it.
        for (const char* none : {"", "0"}) {
            d.txMENGE->setText(QString::fromLatin1(none));
            d.sfOK->click();
            EXPECT_TRUE(d.isVisible()) << none;
        }
        EXPECT_EQ(d.focusWidget(), d.txMENGE);
        d.txMENGE->setText("1");
        d.sfOK->click();
    });
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    EXPECT_EQ(fncDlgZutatDet(0), 101);
    EXPECT_EQ(ingredients(), QStringList{"101|Kaiser's Brötchen 😀 %_|1|Stk|0|Falsch|Falsch"});
    EXPECT_EQ(
        modal.boxTexts().value(1),
        QStringLiteral("Bitte bei „Menge:“ die Größe einer Packung eingeben (mehr als 0): eine Zutat, die "
                       "eingekauft wird, braucht sie für die Einkaufsliste."));
    // Not bought, it needs none.
    modal.on<frmZutatDet>([](frmZutatDet& d) {
        d.txMENGE->setText("");
        d.cbNOKAUF->setChecked(true);
        d.sfOK->click();
    });
    fncDlgZutatDet(101);
    EXPECT_EQ(ingredients(), QStringList{"101|Kaiser's Brötchen 😀 %_|0|Stk|0|Falsch|Wahr"});

    modal.on<frmZutatDet>([](frmZutatDet& d) {
        EXPECT_EQ(d.fZUTNR, 101);
        EXPECT_EQ(d.mxPREIS->text(), QStringLiteral("0,00\u00a0€"));
        d.txMENGE->setText("2,5");
        d.ddEINHEIT->setValue("kg");
        d.mxPREIS->setText("3,5");
        EXPECT_EQ(d.mxPREIS->text(), QStringLiteral("3,50\u00a0€"));
        d.cbFRISCH->setChecked(true);
        d.cbNOKAUF->setChecked(true);
        d.sfOK->click();
    });
    fncDlgZutatDet(101);
    EXPECT_EQ(ingredients(), QStringList{"101|Kaiser's Brötchen 😀 %_|2,5|kg|3,5|Wahr|Wahr"});
    EXPECT_EQ(scalar("select FRISCH * 10 + NOKAUF from ZUTATEN").toInt(), -11);

    modal.on<frmZutatDet>([](frmZutatDet& d) {
        EXPECT_EQ(d.txMENGE->text(), QStringLiteral("2,5"));
        EXPECT_EQ(d.ddEINHEIT->currentText(), QStringLiteral("kg"));
        EXPECT_EQ(d.mxPREIS->text(), QStringLiteral("3,50\u00a0€"));
        EXPECT_TRUE(d.cbFRISCH->isChecked());
        EXPECT_TRUE(d.cbNOKAUF->isChecked());
        // What is no number under the German format is refused; the input stays for mending.
        for (const char* typed : {"viel", "1.5", "2.50"}) {
            d.txMENGE->setText(QString::fromLatin1(typed));
            d.sfOK->click();
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.txMENGE->text(), QString::fromLatin1(typed));
        }
        d.txMENGE->setText("1.234"); // a German number with its thousands point
        d.mxPREIS->setText("abc");
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.mxPREIS->setText(""); // an empty box is 0
        d.cbFRISCH->setChecked(false);
        d.sfOK->click();
    });
    for (int i = 0; i < 4; ++i)
        modal.box(QMessageBox::Ok);
    fncDlgZutatDet(101);
    EXPECT_EQ(ingredients(), QStringList{"101|Kaiser's Brötchen 😀 %_|1234|kg|0|Falsch|Wahr"});
    ASSERT_EQ(modal.boxes().size(), 6u);
    for (const auto& b : std::vector(modal.boxes().begin() + 2, modal.boxes().end())) {
        EXPECT_EQ(b.text, QStringLiteral("Bitte eine Zahl eingeben, zum Beispiel 2,50."));
        EXPECT_EQ(b.title, QStringLiteral("Achtung"));
        EXPECT_EQ(b.icon, int(QMessageBox::Warning));
    }
    exec("insert into ZUTATEN (ZUTNR, ZUTAT, MENGE) values (250, 'x', 1)");
    modal.on<frmZutatDet>([](frmZutatDet& d) {
        EXPECT_EQ(d.fZUTNR, 251);
        d.reject();
    });
    EXPECT_EQ(fncDlgZutatDet(0), 251);
    // A price stored with finer decimals keeps them through a save.
    exec("update ZUTATEN set PREIS = 1.2345 where ZUTNR = 250");
    modal.on<frmZutatDet>([](frmZutatDet& d) { d.sfOK->click(); });
    fncDlgZutatDet(250);
    EXPECT_EQ(scalar("select PREIS from ZUTATEN where ZUTNR = 250").toDouble(), 1.2345);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(IngredientTest, TheEditorListsTheDishesThatUseIt)
{
    catalogue();
    Modal modal;
    modal.on<frmZutatDet>([&](frmZutatDet& d) {
        EXPECT_EQ(shown(d.gd1, "GERICHT"), (QStringList{"Tomatensoße", "Salat", "Tomatensoße"}));
        d.gd1->setCurrentIndex(d.gd1->model()->index(2, 0));
        EXPECT_EQ(d.gd1->columnValue("REZNR").toInt(), 4);
        emit d.gd1->dblClick();
        // Back from the recipe line: the first line of that dish is current.
        EXPECT_EQ(d.gd1->columnValue("REZNR").toInt(), 1);
        d.sfGericht->click();
        d.sfExit->click();
    });
    modal.on<frmRezDet>([](frmRezDet& r) {
        EXPECT_EQ(r.fREZNR, 4);
        EXPECT_EQ(r.txMENGE4P->text(), QStringLiteral("0,2"));
        EXPECT_EQ(r.txEINHEIT->text(), QStringLiteral("kg"));
        r.txMENGE4P->setText("0,3");
        r.sfOK->click();
    });
    modal.on<frmGerichtDet>([](frmGerichtDet& g) {
        EXPECT_EQ(g.fGERNR, 201);
        g.sfAbbrechen->click();
    });
    fncDlgZutatDet(101);
    EXPECT_EQ(scalar("select MENGE4P from REZEPTE where REZNR = 4").toDouble(), 0.3);
    EXPECT_TRUE(modal.allUsed());
    // With an empty grid the two actions do nothing.
    modal.on<frmZutatDet>([](frmZutatDet& d) {
        emit d.gd1->dblClick();
        d.sfGericht->click();
        d.sfExit->click();
    });
    fncDlgZutatDet(105);
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(IngredientTest, SearchFollowsTheBoxAsTyped)
{
    catalogue();
    frmZutatList w;
    w.Form_Load();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Liste Zutaten"));
    EXPECT_EQ(shown(w.gd1, "ZUTAT"),
              (QStringList{"Äpfel", "Kaiser's Brötchen", "Salz", "To ast", "Tomaten", "tomatenmark"}));
    EXPECT_EQ(w.gd1->model()->data(w.gd1->model()->index(0, 4)).toString(), QStringLiteral("3,98\u00a0€"));
    EXPECT_EQ(w.gd1->model()->data(w.gd1->model()->index(0, 5), Qt::CheckStateRole).toInt(),
              int(Qt::Checked));
    QTest::keyClicks(w.txSuch, "to");
    EXPECT_EQ(shown(w.gd1, "ZUTAT"), (QStringList{"To ast", "Tomaten", "tomatenmark"}));
    EXPECT_EQ(w.gd1->columnValue("ZUTAT").toString(), QStringLiteral("To ast"));
    QTest::keyClick(w.txSuch, Qt::Key_Space);
    EXPECT_EQ(shown(w.gd1, "ZUTAT"), QStringList{"To ast"});
    w.txSuch->setText("   ");
    EXPECT_EQ(w.gd1->model()->rowCount(), 6);
    w.txSuch->setText("äp");
    EXPECT_EQ(shown(w.gd1, "ZUTAT"), QStringList{"Äpfel"});
    w.txSuch->setText("Kaiser's");
    EXPECT_EQ(shown(w.gd1, "ZUTAT"), QStringList{"Kaiser's Brötchen"});
    w.txSuch->setText("%mark");
    EXPECT_EQ(shown(w.gd1, "ZUTAT"), QStringList{"tomatenmark"});
    w.txSuch->setText("T_mat");
    EXPECT_EQ(shown(w.gd1, "ZUTAT"), (QStringList{"Tomaten", "tomatenmark"}));
    w.txSuch->setText("\\' or 1=1 --"); // the text is a value, never part of the statement
    EXPECT_EQ(w.gd1->model()->rowCount(), 0);
    w.txSuch->setText("Zucchini");
    EXPECT_EQ(w.gd1->model()->rowCount(), 0);
    Modal modal;
    w.sfEdit->click();
    w.sfDel->click();
    emit w.gd1->dblClick();
    EXPECT_EQ(modal.unexpected(), 0);
    EXPECT_TRUE(modal.boxes().empty());
}

TEST_F(IngredientTest, DeleteIsRefusedWhileARecipeUsesIt)
{
    catalogue();
    frmZutatList w;
    w.Form_Load();
    w.fncReq(101, "");
    Modal modal;
    modal.box(QMessageBox::Ok);
    w.sfDel->click();
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_EQ(modal.boxes()[0].title, QStringLiteral("Achtung"));
    EXPECT_EQ(modal.boxes()[0].text,
              QStringLiteral(
                  "Diese Zutat kann nicht entfernt werden!\nSie ist noch in folgenden Gerichten enthalten:\n"
                  " - Tomatensoße\n - Salat\n - Tomatensoße\n"));
    EXPECT_EQ(scalar("select count(*) from ZUTATEN").toInt(), 6);
    w.fncReq(102, "");
    modal.box(QMessageBox::No);
    w.sfDel->click();
    EXPECT_EQ(scalar("select count(*) from ZUTATEN").toInt(), 6);
    modal.box(QMessageBox::Yes);
    w.sfDel->click();
    EXPECT_EQ(scalar("select count(*) from ZUTATEN where ZUTNR = 102").toInt(), 0);
    EXPECT_EQ(w.gd1->columnValue("ZUTAT").toString(),
              QStringLiteral("Kaiser's Brötchen")); // first row current
    EXPECT_EQ(modal.boxes()[1].text, QStringLiteral("Soll dieser Eintrag wirklich entfernt werden?"));
}

TEST_F(IngredientTest, AfterEditOrAddTheWholeListWithTheRightRow)
{
    catalogue();
    frmZutatList w;
    w.Form_Load();
    w.txSuch->setText("Sa");
    Modal modal;
    modal.on<frmZutatDet>([](frmZutatDet& d) {
        d.txZUTAT->setText("Salz jodiert");
        d.sfOK->click();
    });
    w.sfEdit->click();
    EXPECT_EQ(w.gd1->model()->rowCount(), 6); // the search box keeps its text
    EXPECT_EQ(w.txSuch->text(), QStringLiteral("Sa"));
    EXPECT_EQ(w.gd1->columnValue("ZUTAT").toString(), QStringLiteral("Salz jodiert"));
    modal.on<frmZutatDet>([](frmZutatDet& d) { d.sfExit->click(); });
    w.sfAdd->click();
    EXPECT_TRUE(w.gd1->noCurrentRow());
    modal.on<frmZutatDet>([](frmZutatDet& d) {
        d.txZUTAT->setText("Basilikum");
        d.txMENGE->setText("1");
        d.sfOK->click();
    });
    w.sfAdd->click();
    EXPECT_EQ(w.gd1->columnValue("ZUTNR").toInt(), 107);
    EXPECT_EQ(w.gd1->columnValue("ZUTAT").toString(), QStringLiteral("Basilikum"));
    // In list mode "Wählen" only closes, a double click opens the editor.
    modal.on<frmZutatDet>([](frmZutatDet& d) { d.sfExit->click(); });
    emit w.gd1->dblClick();
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(IngredientTest, PickerHandsBackTheChosenKey)
{
    catalogue();
    Modal modal;
    modal.on<frmZutatList>([](frmZutatList& w) {
        EXPECT_TRUE(w.fLOV);
        w.fncReq(103, "");
        emit w.gd1->dblClick();
    });
    EXPECT_EQ(fncDlgZutatList(0, true), 103);
    modal.on<frmZutatList>([](frmZutatList& w) { w.sfExit->click(); });
    EXPECT_EQ(fncDlgZutatList(42, true), 42);
    modal.on<frmZutatList>([](frmZutatList& w) {
        w.txSuch->setText("nichts");
        w.sfSelect->click(); // no current row: the window stays open
        EXPECT_TRUE(w.isVisible());
        w.txSuch->setText("Sa");
        w.sfSelect->click();
    });
    EXPECT_EQ(fncDlgZutatList(0, true), 106);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(IngredientTest, EnterInThePickerChoosesTheCurrentRow)
{
    catalogue();
    Modal modal;
    modal.on<frmZutatList>([](frmZutatList& w) {
        w.fncReq(105, "");
        QTest::keyClick(w.gd1, Qt::Key_Enter);
    });
    EXPECT_EQ(fncDlgZutatList(0, true), 105);
    EXPECT_TRUE(modal.allUsed());
}
