#pragma once

#include "app/Dialog.h"
#include "app/PendingEdits.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tlm {

class DataCombo;
struct DietGroup;

// "Gruppen": the diet groups of the camp, their persons, days and what they avoid.
class frmGruppen : public Dialog
{
    Q_OBJECT
public:
    frmGruppen();

    void Form_Load();
    // Fills the list of groups and shows the one numbered nr (the first when missing).
    void fncReq(int nr);
    // Shows a group in the fields; an empty group for a new one.
    void fncShow(const DietGroup& group);
    void sfNeu_Click();
    // Writes the fields when they are sound; false (and the user told why) otherwise.
    bool fncSave();
    void sfLoeschen_Click();
    // Closing asks first when the fields hold changes.
    void done(int result) override;

    int fGruppeNr = 0; // the group in the fields, 0 for a new one

    QListWidget* lsGruppen;
    QLineEdit* txGruppe;
    QLineEdit* txPersonen;
    QLineEdit* txVon;
    QLineEdit* txBis;
    QListWidget* lsMeiden;
    DataCombo* ddEsser;
    QListWidget* lsSpuren; // the allergens whose traces the group avoids too
    QPushButton* sfNeu;
    QPushButton* sfLoeschen;
    QPushButton* sfSpeichern;
    QPushButton* sfSchliessen;

private:
    PendingEdits m_edits;
    QString m_shownName; // the group's name as stored
};

// Opens "Gruppen".
void fncDlgGruppen();

} // namespace tlm
