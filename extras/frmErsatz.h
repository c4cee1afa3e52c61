#pragma once

#include "app/Dialog.h"
#include "kitchen/DietGroups.h"

class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;

namespace tlm {

// "Ersatz prüfen": the meals where a group has no dish it may eat, and for one of them the dishes
// that would feed it.
class frmErsatz : public Dialog
{
    Q_OBJECT
public:
    frmErsatz();

    void Form_Load();
    // Checks the span from Von to Bis again.
    void fncReq();
    // The dishes for the selected line.
    void fncReqGerichte();
    // Puts the selected dish in for the selected line's group; a refusal stays on the line.
    void sfUebernehmen_Click();
    // Feeds every open line at once (one undo step); the lines left open say why.
    void sfAlle_Click();

    int fGewaehlt = 0;      // after closing: the replacements made
    qint32 fLetzterKey = 0; // the last replacement entry

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    QListWidget* lsKonflikte;
    QListWidget* lsGerichte;
    QLabel* lbHinweis;
    QPushButton* sfUebernehmen;
    QPushButton* sfAlle;
    QPushButton* sfSchliessen;

private:
    QVector<MealConflict> m_conflicts;
};

// Opens "Ersatz prüfen"; the last replacement entry made, 0 for none.
qint32 fncDlgErsatz();

// Before a print-out: tells once how many meals of the plan have a group without a dish.
void fncWarnErsatz();

} // namespace tlm
