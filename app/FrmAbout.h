#pragma once

#include "app/Dialog.h"

class QLabel;
class QTimer;

namespace tlm {

// Title, copyright, application directory (for an installed program the folder of its data) and
// database version; closes itself after fTimer ms. When the database lies elsewhere (an installed
// program, --db) more lines name it and where its backups and tlm_err.txt are; a server's address is
// shown without a password.
class FrmAbout : public Dialog
{
    Q_OBJECT
public:
    FrmAbout();
    static constexpr bool kReadsNothing = true;
    void Form_Load();
    void tiExit_Timer();

    qint32 fTimer = 0;
    QLabel* Image1;
    QLabel* lbApplCode;
    QLabel* lbZusatz;
    QLabel* lbDaten;
    QTimer* tiExit;
};

// Shows the About box; it closes itself after the milliseconds when they are above 0.
void fncDlgAbout(qint32 milliseconds);

} // namespace tlm
