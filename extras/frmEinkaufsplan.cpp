#include "extras/frmEinkaufsplan.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "extras/CampPlanning.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <set>

namespace tlm {

frmEinkaufsplan::frmEinkaufsplan()
    : Dialog(QStringLiteral("frmEinkaufsplan"), QStringLiteral("Einkauf planen"), 6000, 7200)
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    lsEinkaufstage = make<QListWidget>("lsEinkaufstage");
    txAlleNTage = make<QLineEdit>("txAlleNTage", QStringLiteral("3"));
    txAlleNTage->setMaxLength(3);
    txAlleNTage->setFixedWidth(tw(700));
    sfAlleNTage = makeButton("sfAlleNTage", QStringLiteral("Alle N Tage"));
    cbHaltbaresZuerst = make<QCheckBox>("cbHaltbaresZuerst", QStringLiteral("Haltbares beim ersten Einkauf"));
    cbHaltbaresZuerst->setChecked(true);
    sfDrucken = makeButton("sfDrucken", QStringLiteral("Drucken"));
    sfDrucken->setDefault(true);
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));

    auto* every = new QHBoxLayout;
    every->addWidget(txAlleNTage);
    every->addWidget(sfAlleNTage);
    every->addStretch();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Von:"), dpVon);
    form->addRow(QStringLiteral("Bis:"), dpBis);
    form->addRow(QStringLiteral("Einkaufstage:"), lsEinkaufstage);
    form->addRow(QString(), every);
    form->addRow(QString(), cbHaltbaresZuerst);
    layOutForm(form, makeLine("Line1"), {sfDrucken, sfAbbrechen}, nullptr, 1);
    tabOrder(
        {dpVon, dpBis, lsEinkaufstage, txAlleNTage, sfAlleNTage, cbHaltbaresZuerst, sfDrucken, sfAbbrechen});

    connect(dpVon, &QDateEdit::dateChanged, this,
            [this] { guard("frmEinkaufsplan/dpVon_Change", [&] { fncReqTage(); }); });
    connect(dpBis, &QDateEdit::dateChanged, this,
            [this] { guard("frmEinkaufsplan/dpBis_Change", [&] { fncReqTage(); }); });
    connect(sfAlleNTage, &QPushButton::clicked, this, [this] { sfAlleNTage_Click(); });
    onOk(sfDrucken, "frmEinkaufsplan/sfDrucken_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmEinkaufsplan::Form_Load()
{
    guard("frmEinkaufsplan/Form_Load", [&] {
        const PlanSpan span = planSpan();
        const QSignalBlocker a(dpVon), b(dpBis);
        if (span.first.isValid()) {
            dpVon->setDate(span.first);
            dpBis->setDate(span.last);
        }
        fncReqTage();
    });
}

void frmEinkaufsplan::fncReqTage()
{
    std::set<QDate> checked;
    for (int i = 0; i < lsEinkaufstage->count(); ++i)
        if (lsEinkaufstage->item(i)->checkState() == Qt::Checked)
            checked.insert(lsEinkaufstage->item(i)->data(Qt::UserRole).toDate());
    lsEinkaufstage->clear();
    for (QDate d = dpVon->date(); d <= dpBis->date(); d = d.addDays(1)) {
        auto* item = new QListWidgetItem(longDayDate(d), lsEinkaufstage);
        item->setData(Qt::UserRole, d);
        const bool first = d == dpVon->date();
        // The first day is always a shopping day: there is nothing to eat before it.
        item->setFlags(first ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(first || checked.count(d) ? Qt::Checked : Qt::Unchecked);
    }
}

void frmEinkaufsplan::sfAlleNTage_Click()
{
    guard("frmEinkaufsplan/sfAlleNTage_Click", [&] {
        bool whole = false;
        const int n = txAlleNTage->text().trimmed().toInt(&whole);
        if (!whole || n < 1) {
            warn(QStringLiteral("Bitte eine ganze Zahl von Tagen ab 1 eingeben."));
            txAlleNTage->setFocus();
            return;
        }
        for (int i = 0; i < lsEinkaufstage->count(); ++i)
            lsEinkaufstage->item(i)->setCheckState(i % n == 0 ? Qt::Checked : Qt::Unchecked);
    });
}

ShoppingPlan frmEinkaufsplan::plan() const
{
    ShoppingPlan p{dpVon->date(), dpBis->date(), {}, cbHaltbaresZuerst->isChecked()};
    for (int i = 0; i < lsEinkaufstage->count(); ++i)
        if (lsEinkaufstage->item(i)->checkState() == Qt::Checked)
            p.runs << lsEinkaufstage->item(i)->data(Qt::UserRole).toDate();
    return p;
}

bool frmEinkaufsplan::fncSave()
{
    if (dpBis->date() < dpVon->date()) {
        warn(QStringLiteral("Das Datum bei „Bis:“ liegt vor dem bei „Von:“."));
        return false;
    }
    fPlan = plan();
    return true;
}

std::optional<ShoppingPlan> fncDlgEinkaufsplan()
{
    return launchDialog<frmEinkaufsplan>(
        "tlm/fncDlgEinkaufsplan", [](frmEinkaufsplan&) {}, [](frmEinkaufsplan& w) { return w.fPlan; });
}

} // namespace tlm
