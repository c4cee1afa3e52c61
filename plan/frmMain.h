#pragma once

#include "kitchen/Eaters.h"
#include <QHash>

#include <QMainWindow>

class QAction;
class QMenu;
class QLabel;
class QPushButton;
class QFrame;

namespace tlm {

class DataGrid;

// The main window: the whole meal plan in one grid, the menus, the start-up and the plan file.
class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    frmMain();

    void Form_Load();
    void fncReq(qint32 key);
    void fncEdit();
    void fncAdd();
    void fncDel();
    void fncExit();
    void fncSave();
    void fncLoad();
    void mnuDelAll_Click();
    // A second start of the program on this database asked for this window.
    void bringToFront();
    // A plan file named at the start (a double click in the file manager): loaded when the user
    // agrees, No the default. Waits while a modal window is open.
    void offerPlanFile(const QString& path);

    QString fFileName;

    DataGrid* gd1;
    QFrame* Line2;
    QPushButton* sfEdit;
    QPushButton* sfAdd;
    QPushButton* sfDel;
    QLabel* Label4;
    QPushButton* sfExit;

    QAction* mnuLoad;
    QAction* mnuSave;
    QAction* mnuDelAll;
    QAction* mnuDatenbank;
    QAction* mnuExit;
    QAction* mnuGerichte;
    QAction* mnuZutaten;
    QAction* mnuListSpeiseplan;
    QAction* mnuDruckELA;
    QAction* mnuDruckELH;
    QAction* mnuDruckELF;
    QAction* mnuDruckKB4;
    QAction* mnuAbout;
    QAction* mnuHandbuch;
    QMenu* mnuExtras;
    QAction* mnuPersonen;
    QAction* mnuTageKopieren;
    QAction* mnuEinkaufsplan;
    QAction* mnuKosten;
    QAction* mnuVorrat;
    QAction* mnuAllergene;
    QAction* mnuWochenplan;
    QAction* mnuAllergeneJeGericht;
    QAction* mnuCSV;
    QAction* mnuRezeptkarten;
    QAction* mnuUndo;
    QAction* mnuGruppen;
    QAction* mnuErsatz;
    QAction* mnuEsser;
    // The status line's eaters: the current day's heads and portions, and the days whose portions are
    // out of date.
    QLabel* lbEsser;
    QAction* mnuHygiene;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenus();
    void buildExtrasMenu();
    void gd1_FetchCellStyle(int row, int column, struct CellStyle& style);
    QAction* menuEntry(class QMenu* menu, const char* name, const QString& caption, const char* tag,
                       std::function<void()> action);

    void fncEsserStatus();

    EaterList m_eaters;      // as the last reload read them
    QString m_stalePortions; // "25.07.–27.07."
    // The current entry's group in the status line, when it is a replacement.
    void showGroup();
    // The diet group each replacement entry feeds, by KEY: read with the plan.
    QHash<qint32, QString> m_groups;
    QLabel* m_groupLabel = nullptr;
    // The status line shows while any of its parts has something to say.
    void showStatusLine();
    bool m_farbeReported = false;
    int m_tagzeitColumn = -1;
    int m_farbeColumn = -1;
};

} // namespace tlm
