#include "extras/frmRezeptkarten.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QPushButton>

namespace tlm {

frmRezeptkarten::frmRezeptkarten()
    : Dialog(QStringLiteral("frmRezeptkarten"), QStringLiteral("Rezeptkarten"), 4800, 1900)
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    sfDrucken = makeButton("sfDrucken", QStringLiteral("Drucken"));
    sfDrucken->setDefault(true);
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Von:"), dpVon);
    form->addRow(QStringLiteral("Bis:"), dpBis);
    layOutForm(form, makeLine("Line1"), {sfDrucken, sfAbbrechen});
    tabOrder({dpVon, dpBis, sfDrucken, sfAbbrechen});
    onOk(sfDrucken, "frmRezeptkarten/sfDrucken_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmRezeptkarten::Form_Load()
{
    guard("frmRezeptkarten/Form_Load", [&] {
        const PlanSpan span = planSpan();
        if (span.first.isValid()) {
            dpVon->setDate(span.first);
            dpBis->setDate(span.last);
        }
    });
}

bool frmRezeptkarten::fncSave()
{
    if (dpBis->date() < dpVon->date()) {
        warn(QStringLiteral("Das Datum bei „Bis:“ liegt vor dem bei „Von:“."));
        return false;
    }
    fSpan = PlanSpan{dpVon->date(), dpBis->date()};
    return true;
}

std::optional<PlanSpan> fncDlgRezeptkarten()
{
    return launchDialog<frmRezeptkarten>(
        "tlm/fncDlgRezeptkarten", [](frmRezeptkarten&) {}, [](frmRezeptkarten& w) { return w.fSpan; });
}

} // namespace tlm
