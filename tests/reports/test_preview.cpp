// The print preview as a desktop user handles it: a toolbar that stands whole, keys, pages read
// from their top, a fitted page without a horizontal bar, a proposed PDF name.
#include "data/Globals.h"
#include "reports/MealPlanReport.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QPrintDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

using namespace tlm;
using tlmtest::Modal;

class PreviewTest : public tlmtest::ReportDataTest
{
protected:
    void SetUp() override
    {
        ReportDataTest::SetUp();
        QSettings().remove(QStringLiteral("Druckvorschau"));
        for (int k = 1; k <= 150; ++k)
            exec(QStringLiteral("insert into SPEISEPLAN values (%1, '%2', 2, 2, 201, 10, 0)")
                     .arg(k)
                     .arg(QDate(2010, 7, 1).addDays(k / 3).toString(Qt::ISODate)));
        if (frmDlgDruck::shared())
            delete frmDlgDruck::shared(); // a fresh window of the first size
        fncDruckSpeiseplan();
        window = frmDlgDruck::shared();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        window->vp->layout()->activate();
    }
    void TearDown() override
    {
        delete frmDlgDruck::shared();
        ReportDataTest::TearDown();
    }
    QString pageLabel() const { return window->vp->findChild<QLabel*>("pageLabel")->text().trimmed(); }
    QScrollArea* scroll() const { return window->vp->findChild<QScrollArea*>(); }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(window, Qt::Key(k), m); }
    frmDlgDruck* window = nullptr;
};

TEST_F(PreviewTest, AtItsFirstSizeTheToolbarStandsWholeAndAFittedPageNeedsNoSideBar)
{
    EXPECT_EQ(window->size(), QSize(517, 561));
    const int pages = window->vp->pages();
    ASSERT_GT(pages, 2);
    for (const char* name : {"first", "prev", "pageLabel", "next", "last", "zoom", "print", "pdf"}) {
        auto* control = window->vp->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_TRUE(control) << name;
        EXPECT_GE(control->width(), control->sizeHint().width()) << name; // nothing squeezed or cut
        const QRect inWindow(control->mapTo(window, QPoint(0, 0)), control->size());
        EXPECT_TRUE(window->rect().contains(inWindow)) << name;
    }
    EXPECT_EQ(window->vp->findChild<QComboBox*>("zoom")->currentText(), QStringLiteral("Page Width"));
    EXPECT_TRUE(scroll()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll()->horizontalScrollBar()->isVisible());
    key(Qt::Key_PageDown);
    EXPECT_FALSE(scroll()->horizontalScrollBar()->isVisible());
}

TEST_F(PreviewTest, KeysPageZoomPrintAndCloseAndEveryPageShowsFromItsTop)
{
    const QString pages = QString::number(window->vp->pages());
    key(Qt::Key_PageDown);
    EXPECT_EQ(pageLabel(), "Seite 2 von " + pages);
    key(Qt::Key_End);
    EXPECT_EQ(pageLabel(), "Seite " + pages + " von " + pages);
    key(Qt::Key_PageUp);
    key(Qt::Key_Home);
    EXPECT_EQ(pageLabel(), "Seite 1 von " + pages);
    // A page change shows the new page from its top, by key or by button.
    scroll()->verticalScrollBar()->setValue(scroll()->verticalScrollBar()->maximum());
    key(Qt::Key_PageDown);
    EXPECT_EQ(scroll()->verticalScrollBar()->value(), 0);
    scroll()->verticalScrollBar()->setValue(scroll()->verticalScrollBar()->maximum());
    window->vp->findChild<QToolButton*>("first")->click();
    EXPECT_EQ(scroll()->verticalScrollBar()->value(), 0);
    scroll()->verticalScrollBar()->setValue(scroll()->verticalScrollBar()->maximum());
    window->vp->findChild<QToolButton*>("next")->click();
    EXPECT_EQ(scroll()->verticalScrollBar()->value(), 0);

    // Zoom: from the fitted width to the next larger percent choice and back below it.
    auto* zoom = window->vp->findChild<QComboBox*>("zoom");
    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(zoom->currentText(), QStringLiteral("75 %")); // the page width is between 50 and 75 %
    key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(zoom->currentText(), QStringLiteral("100 %"));
    key(Qt::Key_Minus, Qt::ControlModifier);
    key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(zoom->currentText(), QStringLiteral("50 %"));

    Modal modal;
    bool printDialog = false;
    modal.then([&](QWidget* w) {
        printDialog = qobject_cast<QPrintDialog*>(w) != nullptr;
        static_cast<QDialog*>(w)->reject();
    });
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(printDialog);
    window->activateWindow(); // back from the dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    key(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([] { return frmDlgDruck::shared() == nullptr; }, 30000));
}

TEST_F(PreviewTest, SavingAsPdfProposesTitleAndDateInTheFolderUsedLastAndSaysSoInTheStatusLine)
{
    const QString name = "Speiseplan " + QDate::currentDate().toString(Qt::ISODate) + ".pdf";
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(documents).isDir())
        documents = QDir::homePath();
    EXPECT_EQ(window->vp->proposedPdfName(), QDir(documents).filePath(name));

    const QString target = QDir(dir()).filePath("plan.pdf");
    Modal modal;
    modal.file(target);
    window->vp->findChild<QToolButton*>("pdf")->click();
    EXPECT_EQ(tlmtest::pdfPages(target), window->vp->pages());
    EXPECT_EQ(window->vp->findChild<QLabel*>("status")->text(), QStringLiteral("Gespeichert: plan.pdf"));
    EXPECT_TRUE(modal.boxes().empty()); // no box to close
    EXPECT_EQ(window->vp->proposedPdfName(), QDir(dir()).filePath(name));

    // A long name stands whole at the preview's first size, on as many lines as it needs.
    const QString longName = "Einkaufsliste Frisches (pro Tag) Sommerlager der Jugendgruppe Nord " +
                             QDate::currentDate().toString(Qt::ISODate) + ".pdf";
    const QSize before = window->size();
    modal.file(QDir(dir()).filePath(longName));
    window->vp->findChild<QToolButton*>("pdf")->click();
    auto* status = window->vp->findChild<QLabel*>("status");
    ASSERT_EQ(status->text(), "Gespeichert: " + longName);
    window->vp->layout()->activate();
    const QRect room = status->contentsRect();
    const QRect needed = status->fontMetrics().boundingRect(room, Qt::TextWordWrap, status->text());
    EXPECT_LE(needed.width(), room.width());
    EXPECT_LE(needed.height(), room.height());
    EXPECT_EQ(window->size(), before); // and the window stays as it was
}

TEST(PreviewWindow, OneSharedWindowThatFollowsItsSize)
{
    frmDlgDruck* first = frmDlgDruck::showShared();
    EXPECT_EQ(first, frmDlgDruck::showShared());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Druckvorschau"));
    first->resize(800, 600);
    EXPECT_EQ(first->vp->geometry(), QRect(8, 8, 800 - 16, 600 - 16));
    first->resize(10, 10);
    EXPECT_GT(first->vp->width(), 0);
    EXPECT_GT(first->vp->height(), 0);
    first->close();
    EXPECT_TRUE(QTest::qWaitFor([] { return frmDlgDruck::shared() == nullptr; }, 30000));
    frmDlgDruck* second = frmDlgDruck::showShared();
    EXPECT_EQ(second->size(), QSize(517, 561));
    second->close();
}
