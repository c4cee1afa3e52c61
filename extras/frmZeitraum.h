#pragma once

#include "app/Dialog.h"

#include <QDate>
#include <optional>

class QDateEdit;
class QPushButton;

namespace tlm {

struct DateSpan
{
    QDate von;
    QDate bis;
};

// Asks for the span a report covers; it starts as the plan's days.
class frmZeitraum : public Dialog
{
    Q_OBJECT
public:
    frmZeitraum(const QString& name, const QString& caption);

    void Form_Load();
    bool fncSave();

    std::optional<DateSpan> fSpan; // after Drucken

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    QPushButton* sfDrucken;
    QPushButton* sfAbbrechen;
};

// Opens the window under its name and caption; the span to print, none when cancelled.
std::optional<DateSpan> fncDlgZeitraum(const QString& name, const QString& caption);

} // namespace tlm
