#pragma once

#include "app/Dialog.h"
#include "app/PendingEdits.h"

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
    // Closing asks first when the amount or day was changed and not saved.
    void done(int result) override;

    QLabel* Label1;
    QLineEdit* txSuch;
    DataGrid* gd1;
    QLineEdit* txMenge;
    QLabel* lbEinheit;
    QDateEdit* dpGezaehlt;
    QPushButton* sfSpeichern;
    QLabel* lbGesamtwert;
    QPushButton* sfExit;

private:
    PendingEdits m_edits;
    qint64 m_shownKey = 0; // the ingredient in the fields
    QString m_shownName;
    QString m_search; // the search the list shows
};

// Opens "Vorrat".
void fncDlgVorrat();

} // namespace tlm
