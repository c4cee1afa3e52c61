#pragma once

#include "app/Dialog.h"

#include <QDate>

class QCheckBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tlm {

class DataCombo;
class UpDown;

// Creates or changes one plan entry.
class frmSpeiseplanDet : public Dialog
{
    Q_OBJECT
public:
    frmSpeiseplanDet();
    // The lists its combos offer: asked together before it opens.
    static QStringList keptLists();

    void Form_Load();
    void fncReq();
    bool fncSave();
    void sfGERICHTEdit_Click();
    void UpDown1_UpClick();
    void UpDown1_DownClick();
    // What the entry costs as it is being edited; empty while no dish is chosen.
    void fncKosten();

    qint16 fKEY = 0;
    // The record's version as the window read it (-1: a new record).
    qint64 fVersion = -1;
    QDate fTag;
    qint16 fTagZeitNr = 0;
    qint16 fGTypNr = 0;
    qint16 fPersonen = 0;

    QDateEdit* dpTag;
    DataCombo* ddTagZeit;
    DataCombo* ddGTyp;
    DataCombo* ddGericht;
    QLineEdit* txPersonen;
    UpDown* UpDown1;
    QLabel* lbKosten;
    QCheckBox* cbNODRUCK;
    QFrame* Line1;
    QPushButton* sfGERICHTEdit;
    QPushButton* sfOK;
    QPushButton* sfAbbrechen;

private:
    void spin(int delta);
};

// Opens the plan entry dialog (key 0: a new entry with the proposals); the entry's key.
qint32 fncDlgSpeiseplanDet(qint32 key, const QDate& tag, qint16 tagZeitNr, qint16 gTypNr, qint16 personen);

} // namespace tlm
