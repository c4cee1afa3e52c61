#include "extras/frmZeitraum.h"

#include "app/ErrorReporter.h"
#include "app/MessageBox.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QPushButton>
#include <memory>

namespace tlm {

frmZeitraum::frmZeitraum(const QString& name, const QString& caption) : Dialog(name, caption, 4800, 2200)
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
    onOk(sfDrucken, "frmZeitraum/sfDrucken_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmZeitraum::Form_Load()
{
    guard("frmZeitraum/Form_Load", [&] { proposeSpan(dpVon, dpBis); });
}

bool frmZeitraum::fncSave()
{
    if (!requireSpan(dpVon, dpBis))
        return false;
    fSpan = PlanSpan{dpVon->date(), dpBis->date()};
    return true;
}

std::optional<PlanSpan> fncDlgZeitraum(const QString& name, const QString& caption)
{
    return guardOr("tlm/fncDlgZeitraum", std::optional<PlanSpan>{}, [&] {
        auto w = std::make_unique<frmZeitraum>(name, caption);
        w->Form_Load();
        w->exec();
        return w->fSpan;
    });
}

} // namespace tlm
