#pragma once

#include "app/Dialog.h"
#include "data/DataHelpers.h"

#include <optional>

class QDateEdit;
class QPushButton;

namespace tlm {

// Asks for the span a report covers (Wochenplan, Rezeptkarten, …); it starts as the plan's days,
// a year at most.
class frmZeitraum : public Dialog
{
    Q_OBJECT
public:
    frmZeitraum(const QString& name, const QString& caption);

    void Form_Load();
    bool fncSave();

    std::optional<PlanSpan> fSpan; // after Drucken

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    QPushButton* sfDrucken;
    QPushButton* sfAbbrechen;
};

// Opens the window under its name and caption; the span to print, none when cancelled.
std::optional<PlanSpan> fncDlgZeitraum(const QString& name, const QString& caption);

} // namespace tlm
