#include "plan/frmMain.h"
#include "kitchen/EntryDelete.h"
#include "plan/PlanTransfer.h"

#include "app/DataGrid.h"
#include "app/DataProcedures.h"
#include "app/Dialog.h"
#include "app/ErrorReporter.h"
#include "app/FileDialogs.h"
#include "app/FrmAbout.h"
#include "app/Handbook.h"
#include "app/MessageBox.h"
#include "app/Named.h"
#include "app/ReadOnlyNotice.h"
#include "app/RemoteFollow.h"
#include "app/WindowSettings.h"
#include "app/frmDatenbank.h"
#include "data/Backup.h"
#include "data/Convert.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "data/RemoteChanges.h"
#include "dishes/frmGerichtList.h"
#include "extras/frmAllergene.h"
#include "extras/frmEinkaufsplan.h"
#include "extras/frmErsatz.h"
#include "extras/frmEsser.h"
#include "extras/frmGruppen.h"
#include "extras/frmHygiene.h"
#include "extras/frmKosten.h"
#include "extras/frmPersonen.h"
#include "extras/frmTageKopieren.h"
#include "extras/frmVorrat.h"
#include "extras/frmZeitraum.h"
#include "ingredients/frmZutatList.h"
#include "kitchen/EaterList.h"
#include "kitchen/DietGroups.h"
#include "kitchen/ShoppingPlan.h"
#include "kitchen/Undo.h"
#include "plan/frmSpeiseplanDet.h"
#include "reports/AllergenReports.h"
#include "reports/Cookbook.h"
#include "reports/CostReport.h"
#include "reports/Einkaufsplan.h"
#include "reports/MealPlanReport.h"
#include "reports/RecipeCards.h"
#include "reports/ReportJob.h"
#include "reports/ShoppingCsv.h"
#include "reports/ShoppingList.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace tlm {

namespace {
const char* const kPlanQuery =
    "select KEY,TAG,TAGZEITNR,TAGZEITKURZ,GTYPNR,GTYPKURZ,GERNR,GERICHT,PERSONEN,FARBE"
    " from VW_SPEISEPLAN order by TAG,TAGZEITSORT,GTYPSORT,KEY";

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = makeNamed<QPushButton>(parent, name, caption);
    b->setFixedSize(tw(1215), tw(315) + 2);
    return b;
}

// A Windows colour number 0x00BBGGRR.
QColor windowsColour(qint64 n)
{
    return QColor(int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF));
}
} // namespace

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    auto* central = new QWidget(this);
    setCentralWidget(central);

    gd1 = makeNamed<DataGrid>(central, "gd1");
    gd1->setColumns({
        {"KEY", "KEY", "", false, false},
        {"TAGZEITNR", "TAGZEITNR", "", false, false},
        {"GTYPNR", "GTYPNR", "", false, false},
        {"GERNR", "GERNR", "", false, false},
        {"TAG", "Tag", "ddd dd.mm.yy", false, true, false, 95},
        {"TAGZEITKURZ", "Tagzeit", "", false, true, true, 80},
        {"GTYPKURZ", "Typ", "", false, true, false, 55},
        {"GERICHT", "Gericht", "", false, true, false, 240},
        {"PERSONEN", "AnzPers", "", false, true, false, 60},
        {"FARBE", "FARBE", "", false, false},
    });
    // A wider window gives its width to the dish names.
    gd1->stretchColumn(gd1->columnIndex(QStringLiteral("GERICHT")));
    gd1->setMultiSelect(true);
    gd1->setAccessibleName(QStringLiteral("Speiseplan"));
    // On a shared server the plan shows what the others plan, the current entry kept.
    followRemoteChanges(this, gd1, QStringLiteral("KEY"), [this](qint32 key) { fncReq(key); });
    showConnectionState(this);
    lbEsser = makeNamed<QLabel>(this, "lbEsser");
    statusBar()->addPermanentWidget(lbEsser, 1);
    statusBar()->hide();
    // The connection's state shows and hides the status line too; the eaters keep it while they have
    // something to say.
    connect(&remoteChanges(), &RemoteChanges::connectionState, this, [this] { fncEsserStatus(); });
    connect(gd1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { guard("frmMain/fncEsserStatus", [&] { fncEsserStatus(); }); });
    // Looked up once: the style callback runs for every painted cell.
    m_tagzeitColumn = gd1->columnIndex(QStringLiteral("TAGZEIT"));
    m_farbeColumn = gd1->columnIndex(QStringLiteral("FARBE"));
    gd1->setCellStyleCallback(
        [this](int row, int column, CellStyle& style) { gd1_FetchCellStyle(row, column, style); });
    connect(gd1, &DataGrid::dblClick, this, [this] { guard("frmMain/gd1_DblClick", [&] { fncEdit(); }); });
    // Whom a replacement entry feeds: its row's tooltip, and the status line while it is current.
    const int keyColumn = gd1->columnIndex(QStringLiteral("KEY"));
    gd1->setRowToolTip([this, keyColumn](int row) {
        const QString group = m_groups.value(gd1->valueAt(row, keyColumn).toInt());
        return group.isEmpty() ? QString() : QStringLiteral("Ersatz für ") + group;
    });
    m_groupLabel = new QLabel(this);
    m_groupLabel->setObjectName(QStringLiteral("lbErsatzGruppe"));
    statusBar()->addPermanentWidget(m_groupLabel);
    statusBar()->hide();
    connect(gd1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { showGroup(); });

    Line2 = makeNamed<QFrame>(central, "Line2");
    Line2->setFrameShape(QFrame::HLine);
    Line2->setFrameShadow(QFrame::Sunken);

    sfEdit = button(central, "sfEdit", QStringLiteral("&Bearbeiten"));
    sfAdd = button(central, "sfAdd", QStringLiteral("&Zufügen"));
    sfDel = button(central, "sfDel", QStringLiteral("&Entfernen"));
    Label4 = makeNamed<QLabel>(central, "Label4", QStringLiteral("Hilfe:  Bearbeiten mit Doppelklick"));
    Label4->setAlignment(Qt::AlignCenter);
    QFont small = Label4->font();
    small.setPointSizeF(small.pointSizeF() * 0.85); // the designed width holds the hint in a smaller type
    Label4->setFont(small);
    sfExit = button(central, "sfExit", QStringLiteral("Been&den"));
    connect(sfEdit, &QPushButton::clicked, this,
            [this] { guard("frmMain/sfEdit_Click", [&] { fncEdit(); }); });
    connect(sfAdd, &QPushButton::clicked, this, [this] { guard("frmMain/sfAdd_Click", [&] { fncAdd(); }); });
    connect(sfDel, &QPushButton::clicked, this, [this] { guard("frmMain/sfDel_Click", [&] { fncDel(); }); });
    connect(sfExit, &QPushButton::clicked, this, [this] { guard("frmMain/sfExit_Click", [&] { close(); }); });
    connect(gd1, &DataGrid::deleteKey, sfDel, &QPushButton::click);

    // The designed places: the grid above the line, the buttons and the hint in one row below; a
    // larger window gives its room to the grid.
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(tw(105));
    buttons->addWidget(sfEdit);
    buttons->addWidget(sfAdd);
    buttons->addWidget(sfDel);
    buttons->addWidget(Label4, 1);
    buttons->addWidget(sfExit);
    auto* box = new QVBoxLayout(central);
    box->setContentsMargins(tw(120), tw(120), tw(90), tw(60));
    box->setSpacing(tw(105));
    box->addWidget(gd1, 1);
    box->addWidget(Line2);
    box->addLayout(buttons);

    buildMenus();
    // The designed client area below the menu bar is the smallest; the place the user left it in is
    // kept for the next start.
    setMinimumSize(tw(8385), tw(8415) + menuBar()->sizeHint().height());
    resize(minimumSize());
    restorePlace(this);
}

void frmMain::closeEvent(QCloseEvent* e)
{
    storePlace(this);
    QMainWindow::closeEvent(e);
}

QAction* frmMain::menuEntry(QMenu* menu, const char* name, const QString& caption, const char* tag,
                            std::function<void()> action)
{
    QAction* a = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, [tag, action = std::move(action)] { guard(tag, action); });
    return a;
}

void frmMain::buildMenus()
{
    // Every item of the bar opens with Alt and its underlined letter; the letters are chosen so that
    // none is taken twice in this window ("Been&den" has the d, "&Zufügen" the Z).
    QMenu* mnuDatei = menuBar()->addMenu(QStringLiteral("D&atei"));
    mnuDatei->setObjectName(QStringLiteral("mnuDatei"));
    mnuLoad =
        menuEntry(mnuDatei, "mnuLoad", QStringLiteral("Speiseplan laden"), "frmMain/mnuLoad_Click", [this] {
            fncLoad();
            fncReq(0);
        });
    mnuSave = menuEntry(mnuDatei, "mnuSave", QStringLiteral("Speiseplan speichern"), "frmMain/mnuSave_Click",
                        [this] { fncSave(); });
    mnuDelAll = menuEntry(mnuDatei, "mnuDelAll", QStringLiteral("Speiseplan löschen"),
                          "frmMain/mnuDelAll_Click", [this] { mnuDelAll_Click(); });
    // Beyond the plan file: the database itself, a file or a server for a kitchen team.
    mnuDatei->addSeparator();
    mnuDatenbank = menuEntry(mnuDatei, "mnuDatenbank", QStringLiteral("Datenbank wählen…"),
                             "frmMain/mnuDatenbank_Click", [this] {
                                 if (fncDlgDatenbank())
                                     fncReq(0);
                             });
    mnuDatei->addSeparator();
    mnuExit = menuEntry(mnuDatei, "mnuExit", QStringLiteral("Beenden"), "frmMain/mnuExit_Click",
                        [this] { fncExit(); });

    mnuGerichte =
        menuEntry(nullptr, "mnuGerichte", QStringLiteral("&Gerichte"), "frmMain/mnuGerichte_Click", [] {
            frmGerichtList w;
            w.Form_Load();
            w.exec();
        });
    mnuZutaten = menuEntry(nullptr, "mnuZutaten", QStringLiteral("Z&utaten"), "frmMain/mnuZutaten_Click", [] {
        frmZutatList w;
        w.Form_Load();
        w.exec();
    });

    QMenu* mnuListen = menuBar()->addMenu(QStringLiteral("&Liste drucken"));
    mnuListen->setObjectName(QStringLiteral("mnuListen"));
    mnuListSpeiseplan = menuEntry(mnuListen, "mnuListSpeiseplan", QStringLiteral("Speiseplan"),
                                  "frmMain/mnuListSpeiseplan_Click", [] { fncDruckSpeiseplan(); });
    mnuDruckELA = menuEntry(mnuListen, "mnuDruckELA", QStringLiteral("Einkaufsliste Alles"),
                            "frmMain/mnuDruckELA_Click", [] {
                                fncWarnErsatz();
                                fncDruckEinkauf(1);
                            });
    mnuDruckELH = menuEntry(mnuListen, "mnuDruckELH", QStringLiteral("Einkaufsliste Haltbar"),
                            "frmMain/mnuDruckELH_Click", [] {
                                fncWarnErsatz();
                                fncDruckEinkauf(2);
                            });
    mnuDruckELF = menuEntry(mnuListen, "mnuDruckELF", QStringLiteral("Einkaufsliste Frisch"),
                            "frmMain/mnuDruckELF_Click", [] {
                                fncWarnErsatz();
                                fncDruckEinkauf(3);
                            });
    mnuDruckKB4 = menuEntry(mnuListen, "mnuDruckKB4", QStringLiteral("Kochbuch"), "frmMain/mnuDruckKB4_Click",
                            [] { fncDruckKochbuch(); });

    buildExtrasMenu();

    QMenu* mnuInfo = menuBar()->addMenu(QStringLiteral("&Info"));
    mnuInfo->setObjectName(QStringLiteral("mnuInfo"));
    mnuAbout = menuEntry(mnuInfo, "mnuAbout", QStringLiteral("über TLM"), "frmMain/mnuAbout_Click",
                         [] { fncDlgAbout(0); });
    mnuHandbuch = menuEntry(mnuInfo, "mnuHandbuch", QStringLiteral("Handbuch"), "frmMain/mnuHandbuch_Click",
                            [] { showHandbook(); });

    // The keys desktop programs have, shown beside the entries; the entries' texts stay as they are.
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuLoad->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuListSpeiseplan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuHandbuch->setShortcut(QKeySequence(Qt::Key_F1));
}

void frmMain::buildExtrasMenu()
{
    // The tools beyond the plan, the lists and the file: between "Liste drucken" and "Info".
    mnuExtras = menuBar()->addMenu(QStringLiteral("E&xtras"));
    mnuExtras->setObjectName(QStringLiteral("mnuExtras"));
    mnuPersonen = menuEntry(mnuExtras, "mnuPersonen", QStringLiteral("Personen ändern…"),
                            "frmMain/mnuPersonen_Click", [this] {
                                const qint32 key = gd1->columnValue(QStringLiteral("KEY")).toInt();
                                const QVariant persons = gd1->columnValue(QStringLiteral("PERSONEN"));
                                if (fncDlgPersonen(persons.isNull() ? 4 : persons.toInt()) > 0)
                                    fncReq(key);
                            });
    mnuTageKopieren = menuEntry(mnuExtras, "mnuTageKopieren", QStringLiteral("Tage kopieren…"),
                                "frmMain/mnuTageKopieren_Click", [this] {
                                    const qint32 first =
                                        fncDlgTageKopieren(gd1->columnValue(QStringLiteral("TAG")).toDate());
                                    if (first > 0)
                                        fncReq(first);
                                });
    mnuEinkaufsplan = menuEntry(mnuExtras, "mnuEinkaufsplan", QStringLiteral("Einkauf planen…"),
                                "frmMain/mnuEinkaufsplan_Click", [] {
                                    if (const std::optional<ShoppingPlan> plan = fncDlgEinkaufsplan()) {
                                        fncWarnErsatz();
                                        fncDruckEinkaufsplan(*plan);
                                    }
                                });
    mnuKosten =
        menuEntry(mnuExtras, "mnuKosten", QStringLiteral("Kosten pro Tag…"), "frmMain/mnuKosten_Click", [] {
            if (const std::optional<CostRequest> r = fncDlgKosten())
                fncDruckKosten(r->von, r->bis, r->tagessatz);
        });
    mnuVorrat = menuEntry(mnuExtras, "mnuVorrat", QStringLiteral("Vorrat…"), "frmMain/mnuVorrat_Click",
                          [] { fncDlgVorrat(); });
    mnuRezeptkarten =
        menuEntry(mnuExtras, "mnuRezeptkarten", QStringLiteral("Rezeptkarten drucken…"),
                  "frmMain/mnuRezeptkarten_Click", [] {
                      if (const auto span = fncDlgZeitraum("frmRezeptkarten", QStringLiteral("Rezeptkarten")))
                          fncDruckRezeptkarten(span->first, span->last);
                  });
    mnuAllergene = menuEntry(mnuExtras, "mnuAllergene", QStringLiteral("Allergene…"),
                             "frmMain/mnuAllergene_Click", [] { fncDlgAllergene(); });
    mnuWochenplan = menuEntry(
        mnuExtras, "mnuWochenplan", QStringLiteral("Wochenplan drucken…"), "frmMain/mnuWochenplan_Click", [] {
            if (const auto s = fncDlgZeitraum("frmWochenplan", QStringLiteral("Wochenplan"))) {
                fncWarnErsatz();
                fncDruckWochenplan(s->first, s->last);
            }
        });
    mnuAllergeneJeGericht =
        menuEntry(mnuExtras, "mnuAllergeneJeGericht", QStringLiteral("Allergene je Gericht drucken…"),
                  "frmMain/mnuAllergeneJeGericht_Click", [] {
                      if (const auto s =
                              fncDlgZeitraum("frmAllergeneJeGericht", QStringLiteral("Allergene je Gericht")))
                          fncDruckAllergeneJeGericht(s->first, s->last);
                  });
    mnuUndo = menuEntry(mnuExtras, "mnuUndo", QStringLiteral("Rückgängig"), "frmMain/mnuUndo_Click", [this] {
        if (!lastUndo())
            return;
        const QString said = undoLast();
        fncReq(0);
        msgBox(said, 0);
    });
    mnuUndo->setShortcut(QKeySequence::Undo);
    connect(mnuExtras, &QMenu::aboutToShow, this, [this] {
        mnuUndo->setEnabled(bool(lastUndo()));
        mnuUndo->setText(undoMenuText());
    });
    mnuCSV = menuEntry(
        mnuExtras, "mnuCSV", QStringLiteral("Einkaufsliste als CSV…"), "frmMain/mnuCSV_Click", [this] {
            const QString path = fncFileSave(this, gAppPath, QStringLiteral("einkaufsliste.csv"),
                                             QStringLiteral("CSV-Datei (*.csv)"), QStringLiteral("csv"));
            if (path.isEmpty())
                return;
            exportShoppingCsv(path);
            msgBox("Speichern nach '" + path + "' fertiggestellt!", 0);
        });
    mnuGruppen = menuEntry(mnuExtras, "mnuGruppen", QStringLiteral("Gruppen…"), "frmMain/mnuGruppen_Click",
                           [] { fncDlgGruppen(); });
    mnuErsatz = menuEntry(mnuExtras, "mnuErsatz", QStringLiteral("Ersatz prüfen…"), "frmMain/mnuErsatz_Click",
                          [this] {
                              const qint32 key = fncDlgErsatz();
                              if (key > 0)
                                  fncReq(key);
                          });
    mnuEsser = menuEntry(mnuExtras, "mnuEsser", QStringLiteral("Esser…"), "frmMain/mnuEsser_Click", [this] {
        const qint32 key = gd1->noCurrentRow() ? 0 : toInt32(gd1->columnValue(QStringLiteral("KEY")));
        fncDlgEsser();
        fncReq(key);
    });
    // The hygiene paperwork: the kitchen's lists and the sheets from the plan.
    mnuHygiene =
        menuEntry(mnuExtras, "mnuHygiene", QStringLiteral("Hygiene…"), "frmMain/mnuHygiene_Click", [] {
            if (const std::optional<HygieneRequest> r = fncDlgHygiene())
                fncDruckHygiene(*r);
        });
}

void frmMain::Form_Load()
{
    guard("frmMain/Form_Load", [&] {
        setProgramGlobals();
        setWindowTitle(gAppTitle);
        const QString dir = applicationDirectory();
        const QString dbPath = databasePath();
        const QString made = provideUserDatabase(dbPath);
        if (!made.isEmpty())
            msgBox(made, 64, QStringLiteral("Hinweis"));
        try {
            gConnection.open(dbPath);
        } catch (const Error& e) {
            // The file is left alone; the user learns which copy can take its place. A file that
            // another program has locked is not damaged: no copy is named then.
            const bool locked = (e.number & 0xff) == 5 || (e.number & 0xff) == 6;
            const QString good = locked ? QString() : newestGoodBackup(dbPath);
            if (good.isEmpty())
                throw;
            throw Error(e.number,
                        e.description + QStringLiteral(" Die neueste gute Sicherung ist '%1' vom %2.")
                                            .arg(good, QFileInfo(good).lastModified().toString(
                                                           QStringLiteral("dd.MM.yyyy HH:mm"))));
        }
        // No copy where none can be written; that costs no message.
        if (!gConnection.isReadOnly())
            guard("tlm/fncBackup", [&] { backupDatabase(gConnection, dbPath); });
        gAppPath = dir;
        QSettings settings(QStringLiteral("TLM"), QStringLiteral("TLM"));
        const QString stored = settings.value(QStringLiteral("Local/AppPath")).toString();
        if (stored != gAppPath)
            settings.setValue(QStringLiteral("Local/AppPath"), gAppPath);
        const QVariant version =
            fncDBLookup(QStringLiteral("PARAMETER"), QStringLiteral("WERT"), QStringLiteral("PARID=100"));
        gDBVersion = toInt32(val(textOf(version)));
        fncDlgAbout(2000);
        fncReq(0);
        tellWhenReadOnly(dbPath);
    });
}

void frmMain::bringToFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void frmMain::offerPlanFile(const QString& path)
{
    // Not over a dialog in use: the plan would change under it.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(300, this, [this, path] { offerPlanFile(path); });
        return;
    }
    // The same load as the menu's, under its name: a faulty line reads as it does there.
    guard("frmMain/fncLoad", [&] {
        if (!QFileInfo(path).isFile()) {
            msgBox("Datei '" + path + "' nicht gefunden!", 48, QStringLiteral("Achtung"));
            return;
        }
        if (msgBox(QStringLiteral("Speiseplan aus „%1“ laden? Der jetzige Plan wird ersetzt.")
                       .arg(QFileInfo(path).fileName()),
                   36 + 256, QStringLiteral("Ihre Wahl ...")) != vbYes)
            return;
        fFileName = path;
        importPlan(fFileName);
        setWindowTitle(gAppTitle + "  " + fFileName);
        fncReq(0);
    });
}

void frmMain::fncReq(qint32 key)
{
    guard("frmMain/fncReq", [&] {
        // One state of the data for the grid and what the status line says of it, asked together.
        ReadSnapshot snapshot(gConnection);
        gConnection.readAhead({{QString::fromLatin1(kPlanQuery)}},
                              {[] { replacementGroups(); }, [] { stalePortionDays(eaterList()); }}, 2);
        RecordsetPtr rs = gConnection.execute(QString::fromLatin1(kPlanQuery));
        m_groups = replacementGroups();
        m_farbeReported = false;
        gd1->setDataSource(rs);
        if (rs->rowCount() > 0 && key >= 1)
            gd1->find("KEY = " + QString::number(key));
        m_eaters = eaterList();
        m_stalePortions = stalePortionDays(m_eaters);
        fncEsserStatus();
        showGroup();
    });
}

void frmMain::fncEsserStatus()
{
    QStringList parts;
    const QVariant day = gd1->noCurrentRow() ? QVariant() : gd1->columnValue(QStringLiteral("TAG"));
    if (!day.isNull()) {
        const DayEaters e = eatersOn(m_eaters, day.toDate());
        if (e.covered)
            parts << QStringLiteral("%1: %2 Esser, %3 Portionen")
                         .arg(shortDayDate(day.toDate()))
                         .arg(e.heads)
                         .arg(numberText(std::round(e.portions * 100) / 100));
    }
    if (!m_stalePortions.isEmpty())
        parts << QStringLiteral("Portionen veraltet: ") + m_stalePortions;
    lbEsser->setText(parts.join(QStringLiteral(" · ")));
    showStatusLine();
}

void frmMain::showGroup()
{
    const QString tip = gd1->noCurrentRow() ? QString() : gd1->rowToolTip()(gd1->currentIndex().row());
    m_groupLabel->setText(tip);
    showStatusLine();
}

void frmMain::showStatusLine()
{
    const bool eaters = lbEsser && !lbEsser->text().isEmpty();
    const bool group = m_groupLabel && !m_groupLabel->text().isEmpty();
    statusBar()->setVisible(eaters || group || !statusBar()->currentMessage().isEmpty());
}

void frmMain::fncEdit()
{
    guard("frmMain/fncEdit", [&] {
        if (gd1->noCurrentRow())
            return; // nothing to edit in an empty plan
        const qint32 key = toInt32(gd1->columnValue(QStringLiteral("KEY")));
        fncDlgSpeiseplanDet(key, QDate(), 0, 0, 0);
        if (!gConnection.isLost()) // the lost server is told once, by the editor's launcher
            fncReq(key);
    });
}

void frmMain::fncAdd()
{
    guard("frmMain/fncAdd", [&] {
        QDate tag = QDate::currentDate();
        qint16 tagZeit = 1, gTyp = 2, personen = 4;
        const QVariant current = gd1->columnValue(QStringLiteral("TAG"));
        if (!current.isNull()) {
            tag = current.toDate();
            tagZeit = toInt16(gd1->columnValue(QStringLiteral("TAGZEITNR")));
            gTyp = toInt16(gd1->columnValue(QStringLiteral("GTYPNR")));
            personen = toInt16(gd1->columnValue(QStringLiteral("PERSONEN")));
        }
        const qint32 key = fncDlgSpeiseplanDet(0, tag, tagZeit, gTyp, personen);
        fncReq(key);
    });
}

void frmMain::fncDel()
{
    guard("frmMain/fncDel", [&] {
        if (gd1->noCurrentRow())
            return; // nothing to remove: no question, no statement
        // The selected entries, or the current one when none is selected.
        QVector<qint32> keys;
        const int keyColumn = gd1->columnIndex(QStringLiteral("KEY"));
        for (int row : gd1->selectedRows())
            keys << toInt32(gd1->valueAt(row, keyColumn));
        if (keys.isEmpty())
            keys << toInt32(gd1->columnValue(QStringLiteral("KEY")));
        if (keys.size() == 1
                ? !confirmDelete()
                : msgBox(deleteQuestion(keys), 36 + 256, QStringLiteral("Ihre Wahl ...")) != vbYes)
            return;
        deleteEntries(keys);
        fncReq(0);
    });
}

void frmMain::mnuDelAll_Click()
{
    guard("frmMain/mnuDelAll_Click", [&] {
        if (msgBox(QStringLiteral("Soll der gesamte Speiseplan gelöscht werden?"), 36 + 256,
                   QStringLiteral("Ihre Wahl ...")) != vbYes)
            return;
        Transaction t(gConnection);
        UndoStep step(QStringLiteral("Speiseplan löschen"));
        step.keepRows(QStringLiteral("1 = 1"));
        gConnection.execute(QStringLiteral("delete from SPEISEPLAN"));
        step.finish();
        t.commit();
        fncReq(0);
    });
}

void frmMain::fncExit()
{
    guard("frmMain/fncExit", [&] {
        stopReport(); // a report still being written would read the closed database
        // A database that never opened needs no closing: the menu item still ends the program.
        if (gConnection.isOpen())
            gConnection.close();
        close();
    });
}

void frmMain::gd1_FetchCellStyle(int row, int column, CellStyle& style)
{
    if (column != m_tagzeitColumn)
        return;
    try {
        const QVariant& farbe = gd1->valueAt(row, m_farbeColumn);
        if (farbe.isNull())
            tlm::raise(ErrInvalidNull);
        const double n = val(textOf(farbe)); // overflows with error 6
        style.background = windowsColour(n >= 0 ? qint64(qMin(n, double(0xFFFFFF))) : 0);
    } catch (...) {
        // Painting goes on; the failure is reported once per reload, after the drawing, so that a
        // redraw cannot repeat it and no exception crosses the paint event.
        if (!m_farbeReported) {
            m_farbeReported = true;
            QTimer::singleShot(0, this, [e = std::current_exception()] {
                guard("frmMain/gd1_FetchCellStyle", [&] { std::rethrow_exception(e); });
            });
        }
    }
}

namespace {
const QString kDefaultName = QStringLiteral("speiseplan_export.tlm");
const QString kFilter = QStringLiteral("Speiseplan-Datei (*.tlm)|*.tlm");
const QString kExt = QStringLiteral("tlm");
} // namespace

void frmMain::fncSave()
{
    guard("frmMain/fncSave", [&] {
        fFileName = fncFileSave(this, gAppPath, kDefaultName, kFilter, kExt);
        if (fFileName.isEmpty())
            return;
        exportPlan(fFileName);
        setWindowTitle(gAppTitle + "  " + fFileName);
        msgBox("Speichern nach '" + fFileName + "' fertiggestellt!", 0);
    });
}

void frmMain::fncLoad()
{
    guard("frmMain/fncLoad", [&] {
        fFileName = fncFileOpen(this, gAppPath, kDefaultName, kFilter, kExt);
        if (fFileName.isEmpty())
            return;
        if (!QFileInfo(fFileName).isFile()) {
            msgBox("Datei '" + fFileName + "' nicht gefunden!", 48, QStringLiteral("Achtung"));
            return;
        }
        importPlan(fFileName);
        setWindowTitle(gAppTitle + "  " + fFileName);
    });
}

} // namespace tlm
