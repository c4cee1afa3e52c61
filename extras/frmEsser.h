#pragma once

#include "app/Dialog.h"
#include "app/PendingEdits.h"
#include "kitchen/Eaters.h"

#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tlm {

// "Esser": the camp's eaters in bands with their portion factor, the days everyone eats more or less,
// and per plan day the heads and portions they make; "Portionen übernehmen…" writes those into the plan.
class frmEsser : public Dialog
{
    Q_OBJECT
public:
    frmEsser();

    void Form_Load();
    // Fills both lists from the database.
    void fncReq();
    // The lists as typed; none (and the user told which cell is wrong) when a row is not sound.
    std::optional<EaterList> fncRead(bool tell);
    // Shows heads and portions per plan day for the lists as typed, and the days no longer matching.
    void fncTage();
    bool fncSave();
    void sfUebernehmen_Click();
    void done(int result) override;

    qint32 fGeaendert = 0; // entries changed by "Portionen übernehmen"

    QTableWidget* gdEsser;
    QPushButton* sfEsserNeu;
    QPushButton* sfEsserLoeschen;
    QTableWidget* gdAppetit;
    QPushButton* sfAppetitNeu;
    QPushButton* sfAppetitLoeschen;
    QTableWidget* gdTage;
    QLabel* lbVeraltet;
    QPushButton* sfSpeichern;
    QPushButton* sfUebernehmen;
    QPushButton* sfSchliessen;

private:
    PendingEdits m_edits;
    QVector<int> m_bandNrs;     // the stored number of each band row, 0 for a new one
    QVector<int> m_appetiteNrs; // the same for the appetite days
};

// Opens "Esser"; the number of entries "Portionen übernehmen" changed there.
qint32 fncDlgEsser();

} // namespace tlm
