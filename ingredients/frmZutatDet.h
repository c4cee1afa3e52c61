#pragma once

#include "app/Dialog.h"

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;

namespace tlm {

class CurrencyEdit;
class DataCombo;
class DataGrid;

// Creates or changes one ingredient; lists the dishes that use it.
class frmZutatDet : public Dialog
{
    Q_OBJECT
public:
    frmZutatDet();

    void Form_Load();
    void fncReq();
    void fncReqGerichte(qint32 gerNr);
    bool fncSave();
    // The ways into the dishes that use the ingredient, beside the dish windows (dishes/IngredientUses.cpp).
    void fncEditRezDet();
    void fncEditGerichtDet();

    qint32 fZUTNR = 0;
    // The record's version as the window read it (-1: a new record).
    qint64 fVersion = -1;

    QLineEdit* txZUTAT;
    QLineEdit* txMENGE;
    DataCombo* ddEINHEIT;
    CurrencyEdit* mxPREIS;
    QCheckBox* cbFRISCH;
    QCheckBox* cbNOKAUF;
    DataGrid* gd1;
    QFrame* Line1;
    QPushButton* sfGericht;
    QPushButton* sfOK;
    QPushButton* sfExit;
};

// Opens the ingredient editor (key 0: a new ingredient); the ingredient's key.
qint32 fncDlgZutatDet(qint32 zutNr);

} // namespace tlm
