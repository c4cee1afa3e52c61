// What every window does on a desktop: it fits a small screen at a high scale, a stored place off
// every screen is not used, every input has a name a screen reader speaks, F1 opens the handbook at
// the window's section and Strg+F goes to the search box.
#include "app/AccessibleNames.h"
#include "app/DataGrid.h"
#include "app/DesktopManners.h"
#include "app/FrmAbout.h"
#include "app/Handbook.h"
#include "app/WindowSettings.h"
#include "app/frmDatenbank.h"
#include "data/Globals.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmGerichtList.h"
#include "dishes/frmRezDet.h"
#include "extras/frmAllergene.h"
#include "extras/frmEinkaufsplan.h"
#include "extras/frmErsatz.h"
#include "extras/frmGruppen.h"
#include "extras/frmHygiene.h"
#include "extras/frmKosten.h"
#include "extras/frmEsser.h"
#include "extras/frmPersonen.h"
#include "extras/frmPortionen.h"
#include "extras/frmTageKopieren.h"
#include "extras/frmVorrat.h"
#include "extras/frmZeitraum.h"
#include "ingredients/frmZutatDet.h"
#include "ingredients/frmZutatList.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "reports/frmDlgDruck.h"
#include "support/Fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <functional>
#include <memory>

using namespace tlm;

namespace {
// Every window of the program, made as its launcher makes it (without showing it modally).
struct Window
{
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
};

template <class W> std::unique_ptr<QWidget> loaded()
{
    auto w = std::make_unique<W>();
    w->Form_Load();
    return w;
}

// The span windows share one class and differ by name and caption.
std::function<std::unique_ptr<QWidget>()> span(const char* name, const char* caption)
{
    return [name, caption] {
        auto w = std::make_unique<frmZeitraum>(QString::fromLatin1(name), QString::fromUtf8(caption));
        w->Form_Load();
        return std::unique_ptr<QWidget>(std::move(w));
    };
}

std::vector<Window> everyWindow()
{
    return {
        {"frmMain",
         [] {
             auto w = std::make_unique<frmMain>();
             w->fncReq(0);
             return std::unique_ptr<QWidget>(std::move(w));
         }},
        {"frmSpeiseplanDet", loaded<frmSpeiseplanDet>},
        {"frmGerichtList", loaded<frmGerichtList>},
        {"frmGerichtDet", loaded<frmGerichtDet>},
        {"frmRezDet", loaded<frmRezDet>},
        {"frmZutatList", loaded<frmZutatList>},
        {"frmZutatDet", loaded<frmZutatDet>},
        {"FrmAbout", loaded<FrmAbout>},
        {"frmDlgDruck", [] { return std::make_unique<frmDlgDruck>(); }},
        {"frmPersonen", loaded<frmPersonen>},
        {"frmTageKopieren", loaded<frmTageKopieren>},
        {"frmEinkaufsplan", loaded<frmEinkaufsplan>},
        {"frmKosten", loaded<frmKosten>},
        {"frmVorrat", loaded<frmVorrat>},
        {"frmAllergene", loaded<frmAllergene>},
        {"frmGruppen", loaded<frmGruppen>},
        {"frmErsatz", loaded<frmErsatz>},
        {"frmEsser", loaded<frmEsser>},
        {"frmPortionen", loaded<frmPortionen>},
        {"frmHygiene", loaded<frmHygiene>},
        {"frmDatenbank", loaded<frmDatenbank>},
        {"frmRezeptkarten", span("frmRezeptkarten", "Rezeptkarten")},
        {"frmWochenplan", span("frmWochenplan", "Wochenplan")},
        {"frmAllergeneJeGericht", span("frmAllergeneJeGericht", "Allergene je Gericht")},
    };
}

QString handbookText()
{
    QFile f(handbookFile());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

class DesktopTest : public tlmtest::SampleDbTest
{
protected:
    void SetUp() override
    {
        SampleDbTest::SetUp();
        setHandbookFolder(QStringLiteral(TLM_HANDBOOK_FOLDER));
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmHandbuch"))
                delete w;
        setHandbookFolder({});
        SampleDbTest::TearDown();
    }
};

// A reader names every input of every window; grids announce their columns; F1 has a section to go to.
TEST_F(DesktopTest, EveryInputOfEveryWindowHasANameAndEveryWindowASection)
{
    const QString handbook = handbookText();
    ASSERT_FALSE(handbook.isEmpty()) << handbookFile().toStdString();
    for (const Window& made : everyWindow()) {
        std::unique_ptr<QWidget> w = made.make();
        ASSERT_EQ(w->objectName(), QString::fromLatin1(made.name));
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        int inputs = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!isInput(c) || !c->isVisibleTo(w.get()))
                continue;
            ++inputs;
            EXPECT_FALSE(spokenName(c).isEmpty()) << made.name << " " << c->objectName().toStdString();
            // A table's columns are announced by their headers.
            auto* view = qobject_cast<QTableView*>(c);
            QHeaderView* header = view ? view->horizontalHeader() : nullptr;
            if (!view || !view->model() || !header || header->isHidden())
                continue;
            for (int col = 0; col < view->model()->columnCount(); ++col) {
                if (header->isSectionHidden(col))
                    continue;
                EXPECT_FALSE(view->model()->headerData(col, Qt::Horizontal).toString().isEmpty())
                    << made.name << " " << c->objectName().toStdString() << " column " << col;
            }
        }
        EXPECT_EQ(inputs == 0, made.name == std::string("FrmAbout")) << made.name; // the About box has none
        EXPECT_TRUE(handbook.contains(QStringLiteral("name=\"%1\"").arg(made.name))) << made.name;
    }
}

// At a scale of 2 a 1366×768 screen is 683×384 wide and high, less its panel.
TEST_F(DesktopTest, EveryWindowShrinksToFitASmallScreenAtAHighScale)
{
    const QRect room(0, 0, 683, 360);
    for (const Window& made : everyWindow()) {
        std::unique_ptr<QWidget> w = made.make();
        w->show();
        fitIntoScreen(w.get(), room);
        EXPECT_LE(w->minimumWidth(), room.width()) << made.name;
        EXPECT_LE(w->minimumHeight(), room.height()) << made.name;
        w->resize(room.size());
        QApplication::processEvents();
        EXPECT_LE(w->width(), room.width()) << made.name;
        EXPECT_LE(w->height(), room.height()) << made.name;
    }
}

TEST_F(DesktopTest, AStoredPlaceOffEveryScreenIsNotUsed)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    frmMain w;
    for (const QRect stored : {QRect(screen.right() + 500, 100, 600, 500), QRect(100, -300, 600, 500),
                               QRect(-2000, -2000, 600, 500)}) {
        QSettings().setValue(QStringLiteral("Fenster/frmMain/Platz"), stored);
        restorePlace(&w);
        EXPECT_TRUE(screen.contains(QPoint(w.x() + w.width() / 2, w.y() + 8)))
            << stored.x() << "," << stored.y() << " -> " << w.x() << "," << w.y();
    }
    // A place on the screen is kept.
    QSettings().setValue(QStringLiteral("Fenster/frmMain/Platz"), QRect(20, 30, 600, 500));
    restorePlace(&w);
    EXPECT_EQ(w.pos(), QPoint(20, 30));
    QSettings().remove(QStringLiteral("Fenster"));
}

// F1 in a dialog opens the handbook at the dialog's section, over the dialog; Strg+F in a list goes
// to its search box.
TEST_F(DesktopTest, F1OpensTheWindowsSectionAndStrgFTheSearchBox)
{
    frmSpeiseplanDet entry;
    entry.Form_Load();
    entry.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&entry));
    QApplication::setActiveWindow(&entry);
    QTest::keyClick(entry.focusWidget() ? entry.focusWidget() : &entry, Qt::Key_F1);
    auto* browser = entry.findChild<QTextBrowser*>(QStringLiteral("txHandbuch"));
    ASSERT_TRUE(browser);
    EXPECT_TRUE(browser->window()->isVisible());
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("frmSpeiseplanDet"));
    EXPECT_EQ(browser->source().toLocalFile(), handbookFile());
    EXPECT_GT(browser->verticalScrollBar()->value(), 0); // scrolled to the section

    frmGerichtList list;
    list.Form_Load();
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QApplication::setActiveWindow(&list);
    list.gd1->setFocus();
    QTest::keyClick(list.gd1, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(list.txSuch->hasFocus());
}

// Root can write /usr/bin; an installed program still keeps the database, its lock and its log in
// the user's own data folder. A portable copy keeps them beside itself.
TEST(DataFolderTest, AnInstalledProgramNeverWritesBesideItselfEvenWhenItCould)
{
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin"), share = root.filePath("usr/share/fennor-tellomat");
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(share));
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", root.filePath("root/.local/share").toUtf8());
    setApplicationDirectory(bin);
    EXPECT_FALSE(isInstalledProgram());
    EXPECT_EQ(databasePath(), bin + "/tlm.mdb"); // a portable copy
    tlmtest::writeBytes(share + "/tlm.mdb", "template bytes");
    EXPECT_TRUE(isInstalledProgram());
    const QString path = root.filePath("root/.local/share/fennor-tellomat/tlm.mdb");
    EXPECT_EQ(databasePath(), path);
    EXPECT_FALSE(provideUserDatabase(path).isEmpty());
    // A plan may name children's diets: the owner alone reads the database.
    EXPECT_EQ(QFile::permissions(path) & QFileDevice::Permissions(0x7077),
              QFile::ReadOwner | QFile::WriteOwner);
    tlmtest::writeBytes(bin + "/tlm.mdb", "left by an older run as root");
    EXPECT_EQ(databasePath(), path);
    EXPECT_EQ(QDir(bin).entryList(QDir::Files), QStringList{"tlm.mdb"});
    setApplicationDirectory({});
    qputenv("XDG_DATA_HOME", oldHome);
}
