#pragma once

#include "app/Dialog.h"

#include <QDate>
#include <optional>

class QDateEdit;
class QPushButton;

namespace tlm {

class CurrencyEdit;

// The span and the budget per person and day for the report "Kosten pro Tag und Person".
struct CostRequest
{
    QDate von;
    QDate bis;
    std::optional<double> tagessatz;
};

// "Kosten pro Tag": asks for the span and the Tagessatz (kept for the next time).
class frmKosten : public Dialog
{
    Q_OBJECT
public:
    frmKosten();

    void Form_Load();
    bool fncSave();

    std::optional<CostRequest> fRequest; // after Drucken

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    CurrencyEdit* mxTagessatz;
    QPushButton* sfDrucken;
    QPushButton* sfAbbrechen;
};

// Opens "Kosten"; what to print, none when cancelled.
std::optional<CostRequest> fncDlgKosten();

} // namespace tlm
