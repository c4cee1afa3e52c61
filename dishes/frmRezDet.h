#pragma once

#include "app/Dialog.h"

class QFrame;
class QLineEdit;
class QPushButton;

namespace tlm {

class DataCombo;

// Edits one recipe line: the ingredient and its quantity for four persons.
class frmRezDet : public Dialog
{
    Q_OBJECT
public:
    frmRezDet();

    void Form_Load();
    void fncReq();
    void fncReqZutat();
    bool fncSave();

    qint32 fREZNR = 0;
    // The record's version as the window read it (-1: a new record).
    qint64 fVersion = -1;
    qint32 fGERNR = 0;

    DataCombo* ddZUTAT;
    QLineEdit* txMENGE4P;
    QLineEdit* txEINHEIT;
    QFrame* Line1;
    QPushButton* sfZutatEdit;
    QPushButton* sfOK;
    QPushButton* sfExit;
};

// Opens the recipe line dialog for a line of the dish (line 0: a new line); the line's key.
qint32 fncDlgRezDet(qint32 rezNr, qint32 gerNr);

} // namespace tlm
