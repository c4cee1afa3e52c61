#include "extras/frmKosten.h"

#include "app/CurrencyEdit.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/Costs.h"
#include "reports/CostReport.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QPushButton>

namespace tlm {

frmKosten::frmKosten() : Dialog(QStringLiteral("frmKosten"), QStringLiteral("Kosten"), 5400, 2700)
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    mxTagessatz = make<CurrencyEdit>("mxTagessatz");
    sfDrucken = makeButton("sfDrucken", QStringLiteral("Drucken"));
    sfDrucken->setDefault(true);
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Von:"), dpVon);
    form->addRow(QStringLiteral("Bis:"), dpBis);
    form->addRow(QStringLiteral("Tagessatz pro Person:"), mxTagessatz);
    layOutForm(form, makeLine("Line1"), {sfDrucken, sfAbbrechen});
    tabOrder({dpVon, dpBis, mxTagessatz, sfDrucken, sfAbbrechen});
    onOk(sfDrucken, "frmKosten/sfDrucken_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmKosten::Form_Load()
{
    guard("frmKosten/Form_Load", [&] {
        proposeSpan(dpVon, dpBis);
        if (const std::optional<double> t = storedTagessatz())
            mxTagessatz->setText(numberText(*t));
    });
}

bool frmKosten::fncSave()
{
    if (!requireNumber(mxTagessatz))
        return false;
    CostRequest r{dpVon->date(), dpBis->date(), std::nullopt};
    double d = 0;
    if (parseNumber(mxTagessatz->text(), &d))
        r.tagessatz = d;
    if (d < 0) {
        warn(QStringLiteral("Der Tagessatz kann nicht unter 0 liegen."));
        mxTagessatz->setFocus();
        return false;
    }
    if (!requireSpan(dpVon, dpBis))
        return false;
    // Kept for the next time where the database takes it; a read-only one still prints.
    if (!gConnection.isReadOnly())
        storeTagessatz(r.tagessatz);
    fRequest = r;
    return true;
}

std::optional<CostRequest> fncDlgKosten()
{
    return launchDialog<frmKosten>(
        "tlm/fncDlgKosten", [](frmKosten&) {}, [](frmKosten& w) { return w.fRequest; });
}

} // namespace tlm
