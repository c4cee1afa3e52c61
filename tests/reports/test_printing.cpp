// Printing and saving as a user meets them: a printout is always one report, a failed report is
// neither saved nor printed, a print that cannot start says so, and "Beenden" stops a report that
// is still being written without a word.
#include "data/Database.h"
#include "data/Globals.h"
#include "plan/frmMain.h"
#include "reports/Cookbook.h"
#include "reports/MealPlanReport.h"
#include "reports/ShoppingList.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace tlm;
using tlmtest::Modal;

namespace {
// Calls the action once, the moment a print's progress window shows: a user choosing something
// else while the pages go out.
class OnProgress : public QObject
{
public:
    explicit OnProgress(std::function<void()> action) : m_action(std::move(action))
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && qobject_cast<QProgressDialog*>(o) && m_action)
            std::exchange(m_action, nullptr)();
        return false;
    }
    bool done() const { return !m_action; }

private:
    std::function<void()> m_action;
};
} // namespace

class PrintingTest : public tlmtest::ReportDataTest
{
protected:
    void SetUp() override
    {
        ReportDataTest::SetUp();
        for (int k = 1; k <= 400; ++k)
            exec(QStringLiteral("insert into SPEISEPLAN values (%1, '%2', 2, 2, 201, 10, 0)")
                     .arg(k)
                     .arg(QDate(2010, 7, 1).addDays(k / 3).toString(Qt::ISODate)));
        delete frmDlgDruck::shared();
    }
    void TearDown() override
    {
        delete frmDlgDruck::shared();
        ReportDataTest::TearDown();
    }
    static ReportPrinter& printer() { return *frmDlgDruck::shared()->vp; }
    static void click(const char* button)
    {
        printer().findChild<QToolButton*>(QString::fromLatin1(button))->click();
    }
    // The system print dialog as a user fills it: printing into a file, then "Drucken".
    static std::function<void(QWidget*)> printInto(const QString& path)
    {
        return [path](QWidget* w) {
            auto* d = qobject_cast<QPrintDialog*>(w);
            ASSERT_TRUE(d);
            auto* printers = d->findChild<QComboBox*>(QStringLiteral("printers"));
            ASSERT_TRUE(printers);
            printers->setCurrentIndex(printers->count() - 1); // the file is the last choice
            auto* file = d->findChild<QLineEdit*>(QStringLiteral("filename"));
            ASSERT_TRUE(file);
            file->setText(path);
            d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            if (d->isVisible())
                d->reject();
        };
    }
};

TEST_F(PrintingTest, AReportChosenWhilePrintingWaitsTillThePrintoutIsDone)
{
    fncDruckSpeiseplan();
    const int pages = tlmtest::vp().pageCount();
    ASSERT_GT(pages, 2);
    const QString pdf = dir() + "/druck.pdf";
    QString title;
    int pagesMeanwhile = 0;
    OnProgress meanwhile([&] {
        fncDruckEinkauf(1); // as from the main window's menu, which the progress window does not block
        title = printer().documentTitle();
        pagesMeanwhile = printer().pageCount();
    });
    Modal modal;
    modal.then(printInto(pdf)).then([](QWidget*) {}); // the progress window runs by itself
    click("print");
    ASSERT_TRUE(meanwhile.done());
    EXPECT_EQ(title, QStringLiteral("Speiseplan"));
    EXPECT_EQ(pagesMeanwhile, pages);
    EXPECT_EQ(tlmtest::pdfPages(pdf), pages);
    // Once the printout is done the list chosen meanwhile follows.
    EXPECT_TRUE(QTest::qWaitFor([] { return printer().documentTitle() == "Einkaufsliste Alles"; }, 30000));
    EXPECT_TRUE(modal.boxes().empty());
}

TEST_F(PrintingTest, AFailedReportIsNeitherSavedNorPrintedAndSaysSo)
{
    exec("insert into SPEISEPLAN values (999, '2010-06-30', 99, 2, 201, 12, 0)"); // no such time of day
    Modal modal;
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok).box(QMessageBox::Ok);
    fncDruckSpeiseplan();
    ASSERT_TRUE(printer().failed());
    click("pdf");
    click("print");
    const QString pdf = dir() + "/plan.pdf";
    EXPECT_FALSE(printer().savePdf(pdf)); // as a tool asks the control
    EXPECT_FALSE(QFile::exists(pdf));
    ASSERT_EQ(modal.boxes().size(), 3u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: tlm/fncDruckSpeiseplan,94/"));
    EXPECT_EQ(
        modal.boxes()[1].text,
        QStringLiteral("Der Bericht ist nicht vollständig erstellt worden und wird nicht gespeichert."));
    EXPECT_EQ(modal.boxes()[2].text,
              QStringLiteral("Der Bericht ist nicht vollständig erstellt worden und wird nicht gedruckt."));
    EXPECT_EQ(modal.unexpected(), 0); // neither the file nor the print dialog came
    EXPECT_TRUE(printer().findChild<QLabel*>("status")->text().isEmpty());
}

TEST_F(PrintingTest, APrintThatCannotStartReportsTheError)
{
    fncDruckSpeiseplan();
    tlmtest::vp();
    // The folder goes away between the dialog's check and the start, as a drive taken off does.
    const QString folder = dir() + "/stick";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString pdf = folder + "/druck.pdf";
    Modal modal;
    modal
        .then([&](QWidget* w) {
            printInto(pdf)(w);
            ASSERT_TRUE(QDir(folder).removeRecursively());
        })
        .box(QMessageBox::Ok);
    click("print");
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: frmDlgDruck/print,482/Druckerfehler: " + pdf))
        << modal.boxes()[0].text.toStdString();
    EXPECT_TRUE(errorLog().contains("/Modul=frmDlgDruck/print/Name=/Desc=482/Druckerfehler: "));
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(PrintingTest, BeendenWhileAReportIsWrittenStopsItWithoutAWord)
{
    frmMain w;
    w.show();
    w.mnuListSpeiseplan->trigger();
    ASSERT_TRUE(printer().writing()); // the first pages are on the screen, the rest to come
    Modal modal;
    w.mnuExit->trigger();
    EXPECT_TRUE(QTest::qWaitFor([] { return !printer().writing(); }, 30000));
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(modal.boxes().empty());
    EXPECT_EQ(modal.unexpected(), 0);
    EXPECT_FALSE(errorLog().contains("3704"));
}

TEST_F(PrintingTest, AReportBeingWrittenWhenAnotherDatabaseIsOpenedShowsThatOneAlone)
{
    const QString other = dir() + "/sommer.mdb";
    ASSERT_EQ(createDatabase(other, false), QString());
    gConnection.close();
    gConnection.open(other);
    for (const char* sql : tlmtest::kReportDishes)
        exec(sql);
    exec("insert into SPEISEPLAN values (1, '2010-09-01', 2, 2, 201, 8, 0), (2, '2010-09-02', 3, 2, 203, 8, "
         "0)");
    fncDruckKochbuch();
    const QStringList alone = tlmtest::vp().rowTexts();
    gConnection.close();

    // Just started on the kitchen's database, nothing changed yet: the cookbook printed, and while
    // its pages are still being written the other database is chosen, as "Datenbank wählen" does.
    gConnection.open(location());
    fncDruckKochbuch();
    ASSERT_TRUE(printer().writing());
    gConnection.close();
    gConnection.open(other);
    EXPECT_TRUE(QTest::qWaitFor([] { return !printer().writing(); }, 30000));
    EXPECT_EQ(tlmtest::vp().rowTexts(), alone);
}
