#pragma once

#include "app/Dialog.h"
#include "kitchen/ShoppingPlan.h"

#include <optional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tlm {

// "Einkauf planen": the shopping days of a span, and whether what keeps is bought at once.
class frmEinkaufsplan : public Dialog
{
    Q_OBJECT
public:
    frmEinkaufsplan();

    void Form_Load();
    // Drucken: the plan when it is sound (the window then closes and the report follows).
    bool fncSave();
    // Lists every day from Von to Bis, keeping the checks of the days that stay and checking runs.
    void fncReqTage(const QVector<QDate>& runs = {});
    // The runs the window will use, below the days.
    void fncShowEinkaeufe();
    // Checks every N-th day from the first, and no other.
    void sfAlleNTage_Click();
    ShoppingPlan plan() const;
    // A checked Sunday or holiday says so in its text.
    void markClosedDay(QListWidgetItem* item);
    // Restbestand: the report of what is left after the runs (the window then closes).
    void sfRestbestand_Click();
    // Als Vorrat übernehmen: after asking, the stock becomes what is left after the runs.
    void sfVorratUebernehmen_Click();

    std::optional<ShoppingPlan> fPlan; // after Drucken

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    QListWidget* lsEinkaufstage;
    QLineEdit* txAlleNTage;
    QPushButton* sfAlleNTage;
    QCheckBox* cbHaltbaresZuerst;
    QCheckBox* cbSonnFeiertage;
    QLabel* lbEinkaeufe;
    QPushButton* sfDrucken;
    QPushButton* sfRestbestand;
    QPushButton* sfVorratUebernehmen;
    QPushButton* sfAbbrechen;
};

// Opens "Einkauf planen"; the plan to print, none when cancelled.
std::optional<ShoppingPlan> fncDlgEinkaufsplan();

} // namespace tlm
