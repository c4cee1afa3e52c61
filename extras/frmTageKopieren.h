#pragma once

#include "app/Dialog.h"

#include <QDate>

class QDateEdit;
class QPushButton;

namespace tlm {

// "Tage kopieren": the entries of a span of days copied, day by day, to another place in the plan.
class frmTageKopieren : public Dialog
{
    Q_OBJECT
public:
    frmTageKopieren();

    void Form_Load();
    bool fncSave();

    QDate fTag;            // proposed: the current entry's day
    qint32 fErsterKey = 0; // after OK: the first copied entry

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    QDateEdit* dpZiel;
    QPushButton* sfOK;
    QPushButton* sfAbbrechen;
};

// Opens "Tage kopieren" on a day; the first copied entry's key, 0 when nothing was copied.
qint32 fncDlgTageKopieren(const QDate& tag);

} // namespace tlm
