#pragma once

#include "app/Dialog.h"
#include "data/DataHelpers.h"

#include <optional>

class QDateEdit;
class QPushButton;

namespace tlm {

// "Rezeptkarten": asks for the span of days whose entries get a card.
class frmRezeptkarten : public Dialog
{
    Q_OBJECT
public:
    frmRezeptkarten();

    void Form_Load();
    bool fncSave();

    std::optional<PlanSpan> fSpan; // after Drucken

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    QPushButton* sfDrucken;
    QPushButton* sfAbbrechen;
};

// Opens "Rezeptkarten"; the span to print, none when cancelled.
std::optional<PlanSpan> fncDlgRezeptkarten();

} // namespace tlm
