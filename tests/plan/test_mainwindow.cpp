#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "app/FrmAbout.h"
#include "app/UpDown.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "dishes/frmGerichtList.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace tlm;
using tlmtest::Modal;

namespace {
QSettings userSettings()
{
    return QSettings(QStringLiteral("TLM"), QStringLiteral("TLM"));
}
} // namespace

class StartUpTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        gConnection.close(); // the start-up opens it
        userSettings().remove(QStringLiteral("Local/AppPath"));
    }
};

TEST_F(StartUpTest, OpensTheDatabaseReadsTheVersionAndShowsTheAboutBox)
{
    struct Case
    {
        const char* wert;
        int version;
    };
    for (const Case& c :
         {Case{"12", 12}, Case{"2.5", 2}, Case{"3.5", 4}, Case{"7b", 7}, Case{"x", 0}, Case{nullptr, 0}}) {
        {
            Connection raw;
            raw.open(dbPath());
            raw.exec(QStringLiteral("delete from PARAMETER"));
            if (c.wert)
                raw.exec(QStringLiteral("insert into PARAMETER values (100, ?)"),
                         {QString::fromLatin1(c.wert)});
            raw.close();
        }
        frmMain w;
        QString about;
        Modal modal;
        modal.on<FrmAbout>([&](FrmAbout& a) {
            about = a.lbZusatz->text();
            EXPECT_TRUE(a.tiExit->isActive());
            EXPECT_EQ(a.tiExit->interval(), 2000);
            a.tiExit_Timer();
        });
        w.Form_Load();
        EXPECT_EQ(gDBVersion, c.version) << c.wert;
        EXPECT_EQ(about.split('\n').value(1), "Verzeichnis: " + dir());
        EXPECT_EQ(about.split('\n').value(2), "DB-Version: " + QString::number(c.version));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Fennor Tellomat V1.01"));
        EXPECT_EQ(gFontName, QStringLiteral("Verdana"));
        EXPECT_EQ(gUnitList, QStringLiteral("g,g;kg,kg;L,L;ml,ml;Paar,Paar;Pkg,Pkg;Stk,Stk"));
        EXPECT_TRUE(modal.allUsed());
        EXPECT_EQ(modal.unexpected(), 0);
        gConnection.close();
    }
}

TEST_F(StartUpTest, TheSettingIsWrittenWhenTheDirectoryChanged)
{
    frmMain w;
    Modal modal;
    modal.on<FrmAbout>([](FrmAbout& a) { a.unload(); });
    w.Form_Load();
    EXPECT_EQ(userSettings().value("Local/AppPath").toString(), dir());
    gConnection.close();
    userSettings().setValue("Local/AppPath", "/anderswo");
    frmMain w2;
    modal.on<FrmAbout>([](FrmAbout& a) { a.unload(); });
    w2.Form_Load();
    EXPECT_EQ(userSettings().value("Local/AppPath").toString(), dir());
}

TEST_F(StartUpTest, TheAboutBoxClosesByItselfAfterTwoSeconds)
{
    frmMain w;
    Modal modal;
    QElapsedTimer t;
    bool closedByTimer = false;
    modal.on<FrmAbout>([&](FrmAbout& a) {
        t.start(); // the user does nothing
        QObject::connect(a.tiExit, &QTimer::timeout, [&] { closedByTimer = true; });
    });
    w.Form_Load();
    EXPECT_TRUE(closedByTimer);
    EXPECT_GE(t.elapsed(), 1500); // it waited for its timer, not for the user
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(StartUpTest, WithoutADatabaseOneReportAnEmptyGridAndBeendenStillEnds)
{
    ASSERT_TRUE(QFile::remove(dbPath()));
    frmMain w;
    w.show();
    Modal modal;
    modal.box(QMessageBox::Ok);
    w.Form_Load();
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: frmMain/Form_Load,3024/"))
        << modal.boxes()[0].text.toStdString();
    EXPECT_TRUE(w.gd1->noCurrentRow());
    EXPECT_EQ(w.gd1->model()->rowCount(), 0);
    EXPECT_FALSE(QFile::exists(dbPath())); // no empty database in its place
    EXPECT_TRUE(errorLog().contains("/Modul=frmMain/Form_Load/Name=/Desc=3024/"));
    w.mnuExit->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(modal.unexpected(), 0);
}

class MainWindowTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
    }
    QStringList plan()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN order by KEY");
    }
    frmMain w;
};

TEST_F(MainWindowTest, AddingToAnEmptyPlanProposesTodayAndSavesTheNewRow)
{
    w.fncReq(0);
    Modal modal;
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Speiseplan bearbeiten"));
        EXPECT_EQ(d.fKEY, 101);
        EXPECT_EQ(d.dpTag->date(), QDate::currentDate());
        EXPECT_EQ(d.ddTagZeit->value(), QStringLiteral("1"));
        EXPECT_EQ(d.ddTagZeit->currentText(), QStringLiteral("Frühstück"));
        EXPECT_EQ(d.ddGTyp->value(), QStringLiteral("2"));
        EXPECT_EQ(d.ddGTyp->itemText(0), QStringLiteral("<Bitte Wählen>"));
        EXPECT_EQ(d.ddGericht->value(), QStringLiteral("0"));
        EXPECT_EQ(d.ddGericht->currentIndex(), -1);
        EXPECT_EQ(d.ddGericht->itemText(0), QStringLiteral("Gemüsesuppe")); // by name
        EXPECT_EQ(d.txPersonen->text(), QStringLiteral("4"));
        EXPECT_FALSE(d.cbNODRUCK->isChecked());
        d.sfOK->click();
    });
    modal.box(QMessageBox::Ok);
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        d.ddGericht->setValue("102");
        d.sfOK->click();
    });
    w.sfAdd->click();
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_EQ(modal.boxes()[0].text, QStringLiteral("Bitte Gericht wählen!"));
    EXPECT_EQ(modal.boxes()[0].title, QStringLiteral("Achtung"));
    EXPECT_EQ(modal.boxes()[0].icon, int(QMessageBox::Warning));
    EXPECT_EQ(plan(), QStringList{"101|" + shortDate(QDate::currentDate()) + "|1|2|102|4|Falsch"});
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 101);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(MainWindowTest, AddingAfterACurrentRowProposesItsValuesAndCancelKeepsNothing)
{
    exec("insert into SPEISEPLAN values (250, '2010-07-26', 3, 1, 101, 12, 0), (7, '2010-07-20', 1, 2, 102, "
         "30, 0)");
    w.fncReq(250);
    Modal modal;
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(d.fKEY, 251);
        EXPECT_EQ(d.dpTag->date(), QDate(2010, 7, 26));
        EXPECT_EQ(d.ddTagZeit->value(), QStringLiteral("3"));
        EXPECT_EQ(d.ddGTyp->value(), QStringLiteral("1"));
        EXPECT_EQ(d.txPersonen->text(), QStringLiteral("12"));
        d.sfAbbrechen->click();
    });
    w.fncAdd();
    EXPECT_EQ(plan().size(), 2);
    EXPECT_TRUE(w.gd1->noCurrentRow()); // the reserved key was never written
    // Two new entries one after the other, the first cancelled, get the same key; Escape cancels too.
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(d.fKEY, 251);
        d.reject();
    });
    EXPECT_EQ(fncDlgSpeiseplanDet(0, QDate(2010, 7, 1), 1, 2, 4), 251);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(MainWindowTest, EditingKeepsTheEntryCurrentAfterItsDateMovedIt)
{
    exec("insert into SPEISEPLAN values (1, '2010-07-20', 2, 2, 101, 10, -1), (2, '2010-07-21', 2, 2, 102, "
         "10, 0),"
         " (3, '2010-07-22', 2, 2, 105, 10, 0)");
    w.fncReq(0);
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 1);
    Modal modal;
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(d.fKEY, 1);
        EXPECT_EQ(d.dpTag->date(), QDate(2010, 7, 20));
        EXPECT_EQ(d.ddGericht->currentText(), QStringLiteral("Gemüsesuppe"));
        EXPECT_TRUE(d.cbNODRUCK->isChecked());
        d.dpTag->setDate(QDate(2010, 7, 30));
        d.cbNODRUCK->setChecked(false);
        d.txPersonen->setText("14");
        d.sfOK->click();
    });
    w.sfEdit->click();
    EXPECT_EQ(plan().value(0), QStringLiteral("1|30.07.2010|2|2|101|14|Falsch"));
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 1);
    EXPECT_EQ(w.gd1->currentIndex().row(), 2);

    // Persons that are no number are refused; an empty box is what the database cannot take. Either
    // way nothing is written and the window stays.
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        d.txPersonen->setText("viele");
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.txPersonen->setText("");
        d.sfOK->click();
        EXPECT_TRUE(d.isVisible());
        d.sfAbbrechen->click();
    });
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    w.fncEdit();
    ASSERT_EQ(modal.boxes().size(), 2u);
    EXPECT_EQ(modal.boxes()[0].text, QStringLiteral("Bitte eine ganze Zahl eingeben."));
    EXPECT_TRUE(modal.boxes()[1].text.contains("Modul: frmDlgSpeiseplan/fncSave,13/Typen unverträglich"));
    EXPECT_EQ(plan().value(0), QStringLiteral("1|30.07.2010|2|2|101|14|Falsch"));

    // An entry whose row has gone opens with the presets, and OK inserts it under that key.
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(d.ddGericht->value(), QStringLiteral("1"));
        d.ddGericht->setValue("105");
        d.ddGTyp->setValue("0"); // "<Bitte Wählen>" is stored as type 0
        EXPECT_EQ(d.txPersonen->text(), QString());
        d.txPersonen->setText("6");
        d.sfOK->click();
    });
    EXPECT_EQ(fncDlgSpeiseplanDet(40, QDate(), 0, 0, 0), 40);
    EXPECT_EQ(plan().value(3).section('|', 0, 0), QStringLiteral("40"));
    EXPECT_EQ(plan().value(3).section('|', 2, 4), QStringLiteral("1|0|105"));
}

TEST_F(MainWindowTest, RemovingAndDeletingThePlanAskFirst)
{
    exec("insert into SPEISEPLAN values (1, '2010-07-20', 2, 2, 101, 10, 0), (2, '2010-07-21', 2, 2, 102, "
         "10, 0),"
         " (3, '2010-07-22', 2, 2, 105, 10, 0)");
    w.fncReq(2);
    Modal modal;
    modal.box(QMessageBox::No);
    w.sfDel->click();
    EXPECT_EQ(plan().size(), 3);
    modal.box(QMessageBox::Yes);
    w.sfDel->click();
    EXPECT_EQ(rows("select KEY from SPEISEPLAN order by KEY"), (QStringList{"1", "3"}));
    EXPECT_EQ(w.gd1->columnValue("KEY").toInt(), 1);
    ASSERT_EQ(modal.boxes().size(), 2u);
    EXPECT_EQ(modal.boxes()[0].text, QStringLiteral("Soll dieser Eintrag wirklich entfernt werden?"));
    EXPECT_EQ(modal.boxes()[0].title, QStringLiteral("Ihre Wahl ..."));
    EXPECT_EQ(modal.boxes()[0].icon, int(QMessageBox::Question));
    modal.box(QMessageBox::No);
    w.mnuDelAll->trigger();
    EXPECT_EQ(plan().size(), 2);
    modal.box(QMessageBox::Yes);
    w.mnuDelAll->trigger();
    EXPECT_EQ(modal.boxes().back().text, QStringLiteral("Soll der gesamte Speiseplan gelöscht werden?"));
    EXPECT_TRUE(plan().isEmpty());
    EXPECT_TRUE(w.gd1->noCurrentRow());
    // On an empty grid edit and remove do nothing: no question, no window, no report.
    w.sfEdit->click();
    w.sfDel->click();
    emit w.gd1->dblClick();
    EXPECT_EQ(modal.boxes().size(), 4u);
    EXPECT_EQ(modal.unexpected(), 0);
}

TEST_F(MainWindowTest, GridOrderFollowsTheSortPositionsAndColoursTheTimeOfDay)
{
    // Time 4 (snack) sorts before lunch; type 4 (salad) after main dishes.
    exec("insert into SPEISEPLAN values (1, '2010-07-21', 2, 4, 101, 10, 0), (2, '2010-07-21', 4, 2, 102, "
         "10, 0),"
         " (3, '2010-07-21', 2, 2, 105, 10, 0), (4, '2010-07-20', 3, 2, 105, 10, 0), (5, '2010-07-21', 1, 2, "
         "101, 10, 0)");
    w.fncReq(0);
    QStringList order;
    for (int r = 0; r < w.gd1->model()->rowCount(); ++r)
        order << textOf(w.gd1->valueAt(r, w.gd1->columnIndex("KEY")));
    EXPECT_EQ(order, (QStringList{"4", "5", "2", "3", "1"}));
    const int tagzeit = w.gd1->columnIndex("TAGZEIT");
    EXPECT_EQ(w.gd1->model()->data(w.gd1->model()->index(0, tagzeit), Qt::BackgroundRole).value<QColor>(),
              QColor(0xC0, 0xDC, 0xFF)); // 16768192 = 0x00FFDCC0
    EXPECT_EQ(w.gd1->model()->data(w.gd1->model()->index(0, 4)).toString(), QStringLiteral("Di 20.07.10"));
    EXPECT_TRUE(w.gd1->isColumnHidden(w.gd1->columnIndex("KEY")));
    EXPECT_TRUE(w.gd1->isColumnHidden(w.gd1->columnIndex("FARBE")));

    // A Null colour is reported once per reload, however often the cell is drawn.
    exec("update TAGZEIT set FARBE = null where TAGZEITNR = 3");
    w.fncReq(0);
    Modal modal;
    modal.box(QMessageBox::Ok);
    for (int i = 0; i < 5; ++i)
        w.gd1->model()->data(w.gd1->model()->index(0, tagzeit), Qt::BackgroundRole);
    EXPECT_TRUE(QTest::qWaitFor([&] { return modal.boxes().size() >= 1u; }, 30000));
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: frmMain/gd1_FetchCellStyle,94/"));
    EXPECT_FALSE(w.gd1->model()->data(w.gd1->model()->index(0, tagzeit), Qt::BackgroundRole).isValid());
    QCoreApplication::processEvents(); // a second report would be due now
    EXPECT_EQ(modal.boxes().size(), 1u);
}

TEST_F(MainWindowTest, NoStoredValueCrashesThePaintedGrid)
{
    // Odd values in every column the grid paints or formats; painting runs the style handler.
    exec("insert into SPEISEPLAN values (1, 'kein Datum', 3, 2, 101, 1e300, 0),"
         " (2, '2010-07-21', 3, 99, 999, 'viele', 0), (3, null, 3, null, null, null, 0)");
    exec("update GTYP set GTYPKURZ = 1e308 where GTYPNR = 2");
    exec("update GERICHTE set GERICHT = null where GERNR = 101");
    w.show();
    const int tagzeit = w.gd1->columnIndex("TAGZEIT");
    auto colourOfFirstRow = [&] {
        return w.gd1->model()->data(w.gd1->model()->index(0, tagzeit), Qt::BackgroundRole).value<QColor>();
    };
    struct Case
    {
        const char* farbe;
        const char* reported; // "" when the colour is shown without a report
        QColor colour;
    };
    const Case cases[] = {
        {"'9e999x'", "Modul: frmMain/gd1_FetchCellStyle,6/", QColor()},
        {"1e300", "", QColor(255, 255, 255)},
        {"'&HFFFFFFFF'", "", QColor(0, 0, 0)},
        {"-5", "", QColor(0, 0, 0)},
        {"'abc'", "", QColor(0, 0, 0)},
        {"'255 rot'", "", QColor(255, 0, 0)},
    };
    for (const Case& c : cases) {
        exec(QStringLiteral("update TAGZEIT set FARBE = %1 where TAGZEITNR = 3").arg(QLatin1String(c.farbe)));
        Modal modal;
        if (*c.reported)
            modal.box(QMessageBox::Ok);
        w.fncReq(0);
        w.gd1->viewport()->grab(); // paints every visible cell now
        if (*c.reported) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !modal.boxes().empty(); }, 30000)) << c.farbe;
            ASSERT_EQ(modal.boxes().size(), 1u) << c.farbe;
            EXPECT_TRUE(modal.boxes()[0].text.contains(QLatin1String(c.reported))) << c.farbe;
        }
        EXPECT_EQ(colourOfFirstRow(), c.colour) << c.farbe;
        w.gd1->viewport()->grab();
        QCoreApplication::processEvents(); // a second report would be due now
        EXPECT_EQ(modal.boxes().size(), *c.reported ? 1u : 0u) << c.farbe;
        EXPECT_EQ(modal.unexpected(), 0) << c.farbe;
    }
    EXPECT_EQ(w.gd1->model()->rowCount(), 3);
}

TEST_F(MainWindowTest, SpinButtonsAndTheSixteenBitKey)
{
    frmSpeiseplanDet d;
    d.txPersonen->setText("4");
    emit d.UpDown1->upClick();
    EXPECT_EQ(d.txPersonen->text(), QStringLiteral("5"));
    d.txPersonen->setText("0");
    emit d.UpDown1->downClick();
    EXPECT_EQ(d.txPersonen->text(), QStringLiteral("-1"));
    d.txPersonen->setText("");
    emit d.UpDown1->upClick();
    emit d.UpDown1->downClick();
    EXPECT_EQ(d.txPersonen->text(), QString());
    d.txPersonen->setText("zehn");
    emit d.UpDown1->upClick();
    EXPECT_EQ(d.txPersonen->text(), QStringLiteral("zehn"));

    Modal modal;
    modal.box(QMessageBox::Ok);
    EXPECT_EQ(fncDlgSpeiseplanDet(40000, QDate(), 0, 0, 0), 0); // no window opens
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_TRUE(modal.boxes()[0].text.contains("Modul: tlm/fncDlgSpeiseplanDet,6/Überlauf"));

    exec("insert into SPEISEPLAN values (32767, '2010-07-20', 2, 2, 101, 10, 0)");
    modal.box(QMessageBox::Ok);
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_LT(d.fKEY, 1);
        d.ddGericht->setValue("101");
        d.sfOK->click(); // does nothing
        EXPECT_TRUE(d.isVisible());
        d.sfAbbrechen->click();
    });
    EXPECT_EQ(fncDlgSpeiseplanDet(0, QDate(2010, 7, 1), 1, 2, 4), 0);
    EXPECT_TRUE(modal.boxes()[1].text.contains("Modul: frmDlgSpeiseplan/fncReq,6/Überlauf"));
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN").toInt(), 1);
}

TEST_F(MainWindowTest, TheAboutBoxFromTheMenuStaysUntilClosed)
{
    gDBVersion = 3;
    Modal modal;
    modal.on<FrmAbout>([&](FrmAbout& a) {
        EXPECT_FALSE(a.tiExit->isActive());
        EXPECT_EQ(a.windowTitle(), QStringLiteral("Fennor Tellomat V1.01"));
        EXPECT_EQ(a.lbApplCode->text(), QStringLiteral("Fennor Tellomat V1.01"));
        EXPECT_EQ(a.lbZusatz->text().split('\n').mid(1),
                  (QStringList{"Verzeichnis: " + dir(), "DB-Version: 3"}));
        EXPECT_FALSE(a.Image1->pixmap().isNull());
        a.close();
    });
    w.mnuAbout->trigger();
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(MainWindowTest, TheAboutBoxNamesTheDatabaseOnlyWhenItLiesApartFromTheProgram)
{
    Modal modal;
    modal.on<FrmAbout>([&](FrmAbout& a) {
        EXPECT_TRUE(a.lbDaten->isHidden()); // beside the program: the box as designed
        EXPECT_EQ(a.size(), QSize(449, 96));
        a.close();
    });
    w.mnuAbout->trigger();
    const QString elsewhere = QDir(dir()).filePath("daten/lager.mdb");
    setDatabasePath(elsewhere);
    modal.on<FrmAbout>([&](FrmAbout& a) {
        EXPECT_FALSE(a.lbDaten->isHidden());
        EXPECT_EQ(a.lbDaten->text(),
                  "Datenbank: " + elsewhere + "\n(Sicherungen und tlm_err.txt im selben Ordner)");
        EXPECT_EQ(a.lbZusatz->text().split('\n').value(1),
                  "Verzeichnis: " + dir()); // the described lines stay
        EXPECT_GE(a.height(), a.lbDaten->geometry().bottom());
        a.close();
    });
    w.mnuAbout->trigger();
    // A server: its address without a password, backups by the server, and where the error log is.
    setDatabasePath(QStringLiteral("postgresql://kueche@server:5432/tlm"));
    modal.on<FrmAbout>([&](FrmAbout& a) {
        EXPECT_EQ(a.lbDaten->text(), "Datenbank: postgresql://kueche@server:5432/tlm\nSicherungen macht der "
                                     "Server (pg_dump). Fehlerprotokoll: " +
                                         QDir(dir()).filePath("tlm_err.txt"));
        EXPECT_EQ(a.lbZusatz->text().split('\n').value(0),
                  QStringLiteral("© 2026 Fennor Tellomat – GPL-3.0-or-later"));
        a.close();
    });
    w.mnuAbout->trigger();
    setDatabasePath(QString());
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(MainWindowTest, TheWindowGrowsFromItsDesignedSizeAndOpensWhereItWasLeft)
{
    QSettings().remove(QStringLiteral("Fenster"));
    frmMain m; // nothing stored: the designed size, centred
    const QSize designed = m.minimumSize();
    EXPECT_EQ(m.size(), designed);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((m.geometry().center() - screen.center()).manhattanLength(), 2);
    m.show();
    m.centralWidget()->layout()->activate();
    const int gericht = m.gd1->columnIndex("GERICHT");
    const int grid = m.gd1->width(), column = m.gd1->columnWidth(gericht),
              bottom = m.gd1->geometry().bottom();
    m.resize(designed + QSize(300, 200));
    m.centralWidget()->layout()->activate();
    // The grid takes the room, the dish column its width; buttons and hint stay in their row below.
    EXPECT_EQ(m.gd1->width(), grid + 300);
    EXPECT_EQ(m.gd1->columnWidth(gericht), column + 300);
    EXPECT_EQ(m.gd1->geometry().bottom(), bottom + 200);
    for (QWidget* c : std::initializer_list<QWidget*>{m.sfEdit, m.sfAdd, m.sfDel, m.Label4, m.sfExit}) {
        EXPECT_GT(c->y(), m.Line2->y()) << c->objectName().toStdString();
        EXPECT_EQ(c->geometry().center().y(), m.sfExit->geometry().center().y())
            << c->objectName().toStdString();
    }
    EXPECT_GT(m.sfExit->x(), m.Label4->geometry().right());
    EXPECT_LT(m.centralWidget()->height() - m.sfExit->geometry().bottom(), 20);
    m.resize(100, 100);
    EXPECT_EQ(m.size(), designed); // never smaller than designed
    m.setGeometry(QRect(QPoint(40, 30), designed + QSize(100, 50)));
    const QRect frame = m.frameGeometry();
    m.close();

    // Exactly where it was, start after start, frame and all: never lower by its title bar.
    for (int start = 0; start < 2; ++start) {
        frmMain again;
        again.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
        EXPECT_EQ(again.frameGeometry(), frame) << start;
        EXPECT_EQ(again.geometry(), QRect(QPoint(40, 30), designed + QSize(100, 50))) << start;
        again.close();
    }
    // A place on no screen any more gives way to the centre, the size kept as far as the screen holds it.
    QSettings().setValue(QStringLiteral("Fenster/frmMain/Platz"), QRect(5000, 5000, 900, 700));
    frmMain moved;
    EXPECT_EQ(moved.size(), QSize(900, 700).expandedTo(designed).boundedTo(screen.size()));
    EXPECT_LE((moved.geometry().center() - screen.center()).manhattanLength(), 2);
}

TEST_F(MainWindowTest, EveryItemOfTheMenuBarOpensWithAnAltKeyOfItsOwnAndKeepsItsText)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QStringList shown;
    QList<QKeySequence> keys;
    for (QAction* a : w.menuBar()->actions()) {
        shown << QString(a->text()).remove('&');
        keys << QKeySequence::mnemonic(a->text());
    }
    EXPECT_EQ(shown, (QStringList{"Datei", "Gerichte", "Zutaten", "Liste drucken", "Extras", "Info"}));
    for (const QPushButton* b : w.findChildren<QPushButton*>())
        keys << QKeySequence::mnemonic(b->text());
    for (const QKeySequence& k : keys) {
        EXPECT_FALSE(k.isEmpty());
        EXPECT_EQ(keys.count(k), 1) << k.toString().toStdString(); // one letter, one item of the window
    }
    // An item without entries runs at once; the others open their menu.
    Modal modal;
    modal.on<frmGerichtList>([](frmGerichtList& d) { d.reject(); });
    QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier);
    EXPECT_TRUE(modal.allUsed());
    auto* datei = w.findChild<QMenu*>("mnuDatei");
    w.activateWindow(); // again after the dish list
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return datei->isVisible(); }));
    datei->close();
}

TEST_F(MainWindowTest, GridKeysEditAndRemoveLikeTheButtonsAndTabLeavesTheGrid)
{
    exec("insert into SPEISEPLAN values (1, '2010-07-20', 2, 2, 101, 10, 0), (2, '2010-07-21', 2, 2, 102, "
         "10, 0), (3, '2010-07-22', 2, 2, 105, 10, 0)");
    w.show();
    w.fncReq(2);
    Modal modal;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_F2}) {
        modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
            EXPECT_EQ(d.fKEY, 2); // the current entry opens, as on a double click
            d.reject();
        });
        QTest::keyClick(w.gd1, key);
        EXPECT_TRUE(modal.allUsed()) << key;
    }
    modal.box(QMessageBox::No);
    QTest::keyClick(w.gd1, Qt::Key_Delete);
    EXPECT_EQ(plan().size(), 3);
    modal.box(QMessageBox::Yes);
    QTest::keyClick(w.gd1, Qt::Key_Delete);
    EXPECT_EQ(rows("select KEY from SPEISEPLAN order by KEY"), (QStringList{"1", "3"}));
    ASSERT_EQ(modal.boxes().size(), 2u);
    EXPECT_EQ(modal.boxes()[0].text, QStringLiteral("Soll dieser Eintrag wirklich entfernt werden?"));
    w.gd1->setFocus();
    const int column = w.gd1->currentIndex().column();
    QTest::keyClick(w.gd1, Qt::Key_Tab);
    EXPECT_NE(w.focusWidget(), w.gd1);
    EXPECT_EQ(w.gd1->currentIndex().column(), column);
    EXPECT_EQ(modal.unexpected(), 0);
}
