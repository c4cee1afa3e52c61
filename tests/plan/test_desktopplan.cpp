// The plan file on a desktop: dialogs that open where the user's files are, a question before a file
// or the plan is replaced (No the default, so that Enter loses nothing), a plan file named at the
// start, and the keys of the menus.
#include "app/DataGrid.h"
#include "app/FileDialogs.h"
#include "app/InstanceGuard.h"
#include "data/Globals.h"
#include "data/Win1252.h"
#include "plan/frmMain.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

using namespace tlm;
using tlmtest::enterOnQuestion;
using tlmtest::Modal;

namespace {
// The folder a file dialog shows, then cancelled.
std::function<void(QWidget*)> folderShown(QString* folder)
{
    return [folder](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(d);
        *folder = d->directory().absolutePath();
        d->reject();
    };
}
} // namespace

class DesktopPlanTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
        exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 1, 105, 12, 0), "
             "(2, '2010-07-24', 1, 2, 101, 8, -1)");
        w.fncReq(0);
        // A home of this test's own, with its documents folder.
        m_home = qgetenv("HOME");
        qputenv("HOME", dir().toUtf8());
        documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        ASSERT_TRUE(documents.startsWith(dir())) << documents.toStdString();
        QDir().mkpath(documents);
        QSettings().remove(QStringLiteral("Dateidialog"));
    }
    void TearDown() override
    {
        qputenv("HOME", m_home);
        QSettings().remove(QStringLiteral("Dateidialog"));
        setApplicationDirectory({});
        DbTest::TearDown();
    }
    QStringList plan() { return rows("select KEY,TAG,GERNR,PERSONEN from SPEISEPLAN order by KEY"); }
    QString documents;
    QByteArray m_home;
    frmMain w;
};

TEST_F(DesktopPlanTest, SavingOverAFileAsksFirstAndEnterKeepsTheFile)
{
    const QString path = QDir(dir()).filePath("Sommerlager.tlm");
    tlmtest::writeBytes(path, "last year's plan\r\n");
    std::vector<QString> questions;
    Modal modal;
    // Enter on the question: No; the dialog comes back and is cancelled.
    modal.file(path).then(enterOnQuestion(&questions)).file(QString());
    w.mnuSave->trigger();
    EXPECT_EQ(tlmtest::readBytes(path), QByteArray("last year's plan\r\n"));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], QStringLiteral("„Sommerlager.tlm“ gibt es schon. Ersetzen?"));
    EXPECT_EQ(modal.boxes().size(), 0u); // no "Speichern nach"
    // Yes replaces it and says what it always said.
    modal.file(path).box(QMessageBox::Yes).box(QMessageBox::Ok);
    w.mnuSave->trigger();
    ASSERT_EQ(modal.boxes().size(), 2u);
    EXPECT_EQ(modal.boxes()[1].text, "Speichern nach '" + path + "' fertiggestellt!");
    EXPECT_EQ(tlmtest::readBytes(path).count("\r\n"), 2);
    // A new name is not asked about.
    modal.file(QDir(dir()).filePath("neu.tlm")).box(QMessageBox::Ok);
    w.mnuSave->trigger();
    EXPECT_EQ(modal.boxes().size(), 3u);
    // The CSV's dialog asks the same.
    const QString csv = QDir(dir()).filePath("einkauf.csv");
    tlmtest::writeBytes(csv, "alt");
    modal.file(csv).then(enterOnQuestion(&questions)).file(QString());
    w.mnuCSV->trigger();
    EXPECT_EQ(tlmtest::readBytes(csv), QByteArray("alt"));
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(modal.unexpected(), 0);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(DesktopPlanTest, EveryQuestionThatDeletesHasNoAsItsDefault)
{
    std::vector<QString> questions;
    Modal modal;
    modal.then(enterOnQuestion(&questions));
    w.mnuDelAll->trigger();
    modal.then(enterOnQuestion(&questions));
    w.sfDel->click(); // one entry
    w.gd1->selectAll();
    modal.then(enterOnQuestion(&questions));
    w.sfDel->click(); // both
    EXPECT_EQ(plan().size(), 2);
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[0], QStringLiteral("Soll der gesamte Speiseplan gelöscht werden?"));
    EXPECT_EQ(questions[1], QStringLiteral("Soll dieser Eintrag wirklich entfernt werden?"));
    EXPECT_EQ(modal.unexpected(), 0);
}

// The installed program's folder (root could write it) is never offered; the documents folder is,
// until a file was chosen: then that folder, per kind of file.
TEST_F(DesktopPlanTest, FileDialogsOpenInTheFolderUsedLastElseTheDocumentsNeverInTheProgramsFolder)
{
    QTemporaryDir installed;
    const QString bin = installed.filePath("usr/bin");
    QDir().mkpath(bin);
    QDir().mkpath(installed.filePath("usr/share/fennor-tellomat"));
    tlmtest::writeBytes(installed.filePath("usr/share/fennor-tellomat/tlm.mdb"), "template");
    setApplicationDirectory(bin);
    gAppPath = bin;
    QString shown;
    Modal modal;
    modal.then(folderShown(&shown));
    w.mnuSave->trigger();
    EXPECT_EQ(shown, documents);

    const QString camp = QDir(dir()).filePath("lager");
    QDir().mkpath(camp);
    modal.file(camp + "/plan.tlm").box(QMessageBox::Ok);
    w.mnuSave->trigger();
    modal.then(folderShown(&shown));
    w.mnuLoad->trigger();
    EXPECT_EQ(shown, camp);
    modal.then(folderShown(&shown));
    w.mnuCSV->trigger();
    EXPECT_EQ(shown, documents); // another kind of file

    // A folder used last that can no longer be written is not offered again.
    if (tlmtest::makeReadOnly(camp)) {
        modal.then(folderShown(&shown));
        w.mnuSave->trigger();
        EXPECT_EQ(shown, documents);
        tlmtest::restoreWritable(camp);
    }
    // A portable copy (no template beside it) opens where it lies, as it always did.
    QSettings().remove(QStringLiteral("Dateidialog"));
    setApplicationDirectory(dir());
    gAppPath = dir();
    modal.then(folderShown(&shown));
    w.mnuSave->trigger();
    EXPECT_EQ(shown, QDir(dir()).absolutePath());
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(DesktopPlanTest, APlanFileNamedAtTheStartIsOfferedAndEnterKeepsThePlan)
{
    const QString path = QDir(dir()).filePath("Herbstlager.tlm");
    tlmtest::writeBytes(
        path, toWin1252(QStringLiteral("01.10.2010|1|Früh|2|Hauptgericht|101|Gemüsesuppe|30|Falsch|\r\n")));
    std::vector<QString> questions;
    Modal modal;
    modal.then(enterOnQuestion(&questions));
    w.offerPlanFile(path);
    EXPECT_EQ(plan().size(), 2);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0],
              QStringLiteral("Speiseplan aus „Herbstlager.tlm“ laden? Der jetzige Plan wird ersetzt."));
    modal.box(QMessageBox::Yes);
    w.offerPlanFile(path);
    EXPECT_EQ(plan(), QStringList{"1|01.10.2010|101|30"});
    EXPECT_EQ(w.windowTitle(), gAppTitle + "  " + path);
    // Not a plan file: the described error for its faulty line, the plan unchanged.
    const QString bad = QDir(dir()).filePath("brief.tlm");
    tlmtest::writeBytes(bad, "Liebe Eltern,\r\n");
    modal.box(QMessageBox::Yes).box(QMessageBox::Ok);
    w.offerPlanFile(bad);
    EXPECT_TRUE(modal.boxes().back().text.contains("Modul: frmMain/fncLoad,13/"))
        << modal.boxes().back().text.toStdString();
    EXPECT_TRUE(modal.boxes().back().text.contains("(Zeile 1)"));
    EXPECT_EQ(plan().size(), 1);
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST(DesktopMenus, TheKeysOfDesktopProgramsAreShownAndTheTextsStay)
{
    frmMain w;
    const std::vector<std::tuple<QAction*, const char*, const char*>> entries = {
        {w.mnuSave, "Speiseplan speichern", "Ctrl+S"},
        {w.mnuLoad, "Speiseplan laden", "Ctrl+O"},
        {w.mnuListSpeiseplan, "Speiseplan", "Ctrl+P"},
        {w.mnuExit, "Beenden", "Ctrl+Q"},
        {w.mnuHandbuch, "Handbuch", "F1"},
    };
    for (const auto& [action, text, key] : entries) {
        EXPECT_EQ(action->text(), QString::fromUtf8(text));
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(key)) << text;
    }
    // "Handbuch" follows "über TLM" under "Info"; Strg in the menus where Qt speaks German.
    const QList<QAction*> info =
        w.mnuAbout->associatedObjects().isEmpty()
            ? QList<QAction*>()
            : qobject_cast<QWidget*>(w.mnuAbout->associatedObjects().first())->actions();
    ASSERT_EQ(info.size(), 2);
    EXPECT_EQ(info[0], w.mnuAbout);
    EXPECT_EQ(info[1], w.mnuHandbuch);
    EXPECT_EQ(w.mnuSave->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Strg+S"));
}
