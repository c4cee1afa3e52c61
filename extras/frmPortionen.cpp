#include "extras/frmPortionen.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Globals.h"
#include "kitchen/TakePortions.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>

namespace tlm {

frmPortionen::frmPortionen()
    : Dialog(QStringLiteral("frmPortionen"), QStringLiteral("Portionen übernehmen"), 5400, 4200)
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    lsTagzeiten = make<QListWidget>("lsTagzeiten");
    sfOK = makeOkButton();
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Von:"), dpVon);
    form->addRow(QStringLiteral("Bis:"), dpBis);
    form->addRow(QStringLiteral("Tagzeiten:"), lsTagzeiten);
    layOutForm(form, makeLine("Line1"), {sfOK, sfAbbrechen}, nullptr, 1);
    tabOrder({dpVon, dpBis, lsTagzeiten, sfOK, sfAbbrechen});
    onOk(sfOK, "frmPortionen/sfOK_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmPortionen::Form_Load()
{
    guard("frmPortionen/Form_Load", [&] {
        proposeSpan(dpVon, dpBis);
        RecordsetPtr rs = gConnection.execute(
            QStringLiteral("select TAGZEITNR, TAGZEIT from TAGZEIT order by TAGZEITSORT"));
        for (int r = 0; r < rs->rowCount(); ++r) {
            auto* item = new QListWidgetItem(rs->value(r, 1).toString(), lsTagzeiten);
            item->setData(Qt::UserRole, rs->value(r, 0).toInt());
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    });
}

bool frmPortionen::fncSave()
{
    return guardOr("frmPortionen/fncSave", false, [&] {
        if (!requireSpan(dpVon, dpBis))
            return false;
        QVector<int> times;
        for (int i = 0; i < lsTagzeiten->count(); ++i)
            if (lsTagzeiten->item(i)->checkState() == Qt::Checked)
                times << lsTagzeiten->item(i)->data(Qt::UserRole).toInt();
        if (times.isEmpty()) {
            warn(QStringLiteral("Bitte mindestens eine Tagzeit wählen."));
            return false;
        }
        const TakenPortions taken = takePortions(dpVon->date(), dpBis->date(), times);
        if (!taken.refusal.isEmpty()) {
            warn(taken.refusal);
            return false;
        }
        fGeaendert = taken.changed;
        msgBox(fGeaendert == 1 ? QStringLiteral("1 Eintrag geändert.")
                               : QStringLiteral("%1 Einträge geändert.").arg(fGeaendert));
        return true;
    });
}

qint32 fncDlgPortionen()
{
    return launchDialog<frmPortionen>(
        "tlm/fncDlgPortionen", [](frmPortionen&) {}, [](frmPortionen& w) { return w.fGeaendert; });
}

} // namespace tlm
