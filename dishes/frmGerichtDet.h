#pragma once

#include "app/Dialog.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tlm {

class DataCombo;
class DataGrid;

// Creates or changes one dish and its recipe lines (the lines are written at once).
class frmGerichtDet : public Dialog
{
    Q_OBJECT
public:
    frmGerichtDet();

    void Form_Load();
    void fncReq();
    void fncReqZutaten(qint32 key);
    bool fncSave();
    void fncZutatEdit();
    void fncZutatAdd();
    void fncZutatDel();

    qint32 fGERNR = 0;
    // The record's version as the window read it (-1: a new record).
    qint64 fVersion = -1;

    DataCombo* ddGTyp;
    QLineEdit* txGERICHT;
    DataGrid* gd1;
    QPushButton* sfEdit;
    QPushButton* sfAdd;
    QPushButton* sfDel;
    QLabel* lbA18;
    QPlainTextEdit* txZubereitung;
    QFrame* Line1;
    QPushButton* sfOK;
    QPushButton* sfAbbrechen;
};

// Opens the dish editor (key 0: a new dish); the dish's key, reserved also when cancelled.
qint32 fncDlgGerichtDet(qint32 gerNr);

} // namespace tlm
