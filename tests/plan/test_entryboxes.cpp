// The plan entry dialog's boxes driven by the keyboard: a date typed whole, the persons as a whole
// number, and the years a plan takes.
#include "app/DataCombo.h"
#include "kitchen/Costs.h"
#include "plan/frmSpeiseplanDet.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"
#include "support/SampleCamps.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;

class EntryBoxTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
    }
};

namespace {
// Into the date box as a user comes: by Tab from the field before it or by Shift+Tab from the one
// after it, then the keys typed.
QString typed(frmSpeiseplanDet& d, bool backwards, const char* keys)
{
    d.activateWindow(); // again after a box
    EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
    QWidget* from = backwards ? static_cast<QWidget*>(d.ddTagZeit) : d.sfAbbrechen;
    from->setFocus();
    if (backwards)
        QTest::keyClick(from, Qt::Key_Backtab);
    else
        QTest::keyClick(from, Qt::Key_Tab); // the tab order goes round to the first field
    EXPECT_TRUE(d.dpTag->hasFocus()) << keys;
    QTest::keyClicks(d.dpTag, QString::fromLatin1(keys));
    return d.dpTag->date().toString(QStringLiteral("dd.MM.yyyy"));
}
} // namespace

TEST_F(EntryBoxTest, ADateTypedWholeIsThatDateFromEitherSideAndOddYearsAndPersonsAreRefused)
{
    Modal modal;
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(typed(d, false, "29.08.2026"), "29.08.2026");
        EXPECT_EQ(typed(d, true, "28.07.2026"), "28.07.2026");
        EXPECT_EQ(typed(d, true, "01092026"), "01.09.2026");
        EXPECT_EQ(typed(d, false, "3.9.2026"), "03.09.2026");
        // A slip of the keyboard far off is refused with a word, and nothing is stored.
        EXPECT_EQ(typed(d, true, "29.10.8066"), "29.10.8066");
        d.ddGericht->setValue("101");
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), d.dpTag);
        EXPECT_EQ(typed(d, true, "31.12.1899"), "31.12.1899");
        d.sfOK->click();
        EXPECT_EQ(typed(d, true, "30.08.2026"), "30.08.2026");
        // Persons: a whole number from 0 up; an empty box is left to the database.
        for (const char* wrong : {"2,5", "-1", "40000", "zwei"}) {
            d.txPersonen->setText(QString::fromLatin1(wrong));
            d.sfOK->click();
            EXPECT_TRUE(d.isVisible()) << wrong;
        }
        d.txPersonen->setText("0");
        d.sfOK->click();
    });
    modal.answerEveryBox(QMessageBox::Ok);
    EXPECT_EQ(fncDlgSpeiseplanDet(0, QDate(2026, 7, 1), 1, 2, 4), 101);
    const QString year = QStringLiteral("Bitte ein Datum aus den Jahren 1900 bis 2999 eingeben.");
    const QString range = QStringLiteral("Bitte eine Anzahl Personen von 0 bis 32767 eingeben!");
    const QString whole = QStringLiteral("Bitte eine ganze Zahl eingeben.");
    EXPECT_EQ(modal.boxTexts(), (QStringList{year, year, whole, range, range, whole}));
    EXPECT_EQ(rows("select KEY,TAG,PERSONEN from SPEISEPLAN"), QStringList{"101|30.08.2026|0"});
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(CostTest, ThePlanEntryDialogShowsTheCostAsItIsEdited)
{
    Modal modal;
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(d.lbKosten->text(), QString()); // no dish chosen yet
        d.ddGericht->setCurrentIndex(d.ddGericht->findText("Nudeln"));
        d.txPersonen->setText("10");
        EXPECT_EQ(d.lbKosten->text(), QStringLiteral("Kosten: 4,00\u00a0€ (0,40\u00a0€ pro Person)"));
        d.txPersonen->setText("12");
        EXPECT_EQ(d.lbKosten->text(), QStringLiteral("Kosten: 4,80\u00a0€ (0,40\u00a0€ pro Person)"));
        d.ddGericht->setCurrentIndex(d.ddGericht->findText("Safranreis"));
        EXPECT_EQ(d.lbKosten->text(), QStringLiteral("Kosten: unbekannt (Preis fehlt: Safran)"));
        d.txPersonen->setText("viele");
        EXPECT_EQ(d.lbKosten->text(), QString());
        d.reject();
    });
    fncDlgSpeiseplanDet(0, QDate(2026, 10, 1), 2, 2, 4);
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) { // an entry opens with its cost
        EXPECT_EQ(d.lbKosten->text(), QStringLiteral("Kosten: 3,20\u00a0€ (0,40\u00a0€ pro Person)"));
        d.reject();
    });
    fncDlgSpeiseplanDet(2, QDate(), 0, 0, 0);
    EXPECT_TRUE(modal.allUsed());
}
