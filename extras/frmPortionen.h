#pragma once

#include "app/Dialog.h"

class QDateEdit;
class QListWidget;
class QPushButton;

namespace tlm {

// "Portionen übernehmen": a span and the times of day whose persons become the eaters' portions.
class frmPortionen : public Dialog
{
    Q_OBJECT
public:
    frmPortionen();

    void Form_Load();
    bool fncSave();

    qint32 fGeaendert = 0;

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    QListWidget* lsTagzeiten;
    QPushButton* sfOK;
    QPushButton* sfAbbrechen;
};

// Opens "Portionen übernehmen"; the number of entries changed.
qint32 fncDlgPortionen();

} // namespace tlm
