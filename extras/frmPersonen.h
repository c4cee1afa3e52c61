#pragma once

#include "app/Dialog.h"

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace tlm {

class DataCombo;

// "Personen ändern": the persons of every entry in a span of days, of one time of day or of all.
class frmPersonen : public Dialog
{
    Q_OBJECT
public:
    frmPersonen();

    void Form_Load();
    bool fncSave();

    qint32 fPersonen = 0;  // proposed: the current entry's persons
    qint32 fGeaendert = 0; // after OK: the entries changed

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    DataCombo* ddTagZeit;
    QLineEdit* txPersonen;
    QPushButton* sfOK;
    QPushButton* sfAbbrechen;
};

// Opens "Personen ändern" with the proposed persons; the number of entries changed.
qint32 fncDlgPersonen(qint32 personen);

} // namespace tlm
