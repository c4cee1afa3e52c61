#pragma once

#include "app/Dialog.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tlm {

class DataGrid;

// "Vorrat": what is on hand per ingredient, in its unit, the day it was counted and its value at the
// package price; the current ingredient's amount is edited below the list.
class frmVorrat : public Dialog
{
    Q_OBJECT
public:
    frmVorrat();

    void Form_Load();
    // The list (ingredients whose name begins with the search text), on the ingredient given.
    void fncReq(qint64 key);
    // The current ingredient's stock into the fields below the list.
    void fncShow();
    // Stores the current ingredient's stock; an empty amount or 0 removes it.
    bool fncSave();

    QLabel* Label1;
    QLineEdit* txSuch;
    DataGrid* gd1;
    QLineEdit* txMenge;
    QLabel* lbEinheit;
    QDateEdit* dpGezaehlt;
    QPushButton* sfSpeichern;
    QLabel* lbGesamtwert;
    QPushButton* sfExit;
};

// Opens "Vorrat".
void fncDlgVorrat();

} // namespace tlm
