#pragma once

#include "app/Dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tlm {

// "Datenbank wählen": a database file or a database on a PostgreSQL server. The choice is tried
// first, then opened in place of the current one and kept for the next start.
class frmDatenbank : public Dialog
{
    Q_OBJECT
public:
    frmDatenbank();

    void Form_Load();
    bool fncSave();

    bool fGewechselt = false; // after OK: the program works on the chosen database

    QRadioButton* rbDatei;
    QLineEdit* txDatei;
    QPushButton* sfDatei;
    QRadioButton* rbServer;
    QLineEdit* txServer;
    QLabel* lbHinweis;
    QPushButton* sfOK;
    QPushButton* sfAbbrechen;
};

// Opens "Datenbank wählen"; true when another database is open afterwards.
bool fncDlgDatenbank();

} // namespace tlm
