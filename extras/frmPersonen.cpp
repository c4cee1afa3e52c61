#include "extras/frmPersonen.h"

#include "app/DataCombo.h"
#include "app/DataProcedures.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "kitchen/CampPlanning.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

namespace tlm {

frmPersonen::frmPersonen()
    : Dialog(QStringLiteral("frmPersonen"), QStringLiteral("Personen ändern"), 5400, 3000)
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    ddTagZeit = make<DataCombo>("ddTagZeit");
    txPersonen = make<QLineEdit>("txPersonen");
    txPersonen->setMaxLength(5);
    sfOK = makeOkButton();
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Von:"), dpVon);
    form->addRow(QStringLiteral("Bis:"), dpBis);
    form->addRow(QStringLiteral("Tagzeit:"), ddTagZeit);
    form->addRow(QStringLiteral("Personen:"), txPersonen);
    layOutForm(form, makeLine("Line1"), {sfOK, sfAbbrechen});
    tabOrder({dpVon, dpBis, ddTagZeit, txPersonen, sfOK, sfAbbrechen});
    onOk(sfOK, "frmPersonen/sfOK_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmPersonen::Form_Load()
{
    guard("frmPersonen/Form_Load", [&] {
        fncDDFillbySQL(*ddTagZeit,
                       QStringLiteral("select TAGZEITNR,TAGZEIT from TAGZEIT order by TAGZEITSORT"),
                       QStringLiteral("0"), QStringLiteral("0,(alle)"), false);
        proposeSpan(dpVon, dpBis);
        txPersonen->setText(QString::number(fPersonen));
    });
}

bool frmPersonen::fncSave()
{
    return guardOr("frmPersonen/fncSave", false, [&] {
        if (!requireWholeNumber(txPersonen, 0, 32767,
                                QStringLiteral("Bitte eine ganze Zahl von 0 bis 32767 Personen eingeben."),
                                false))
            return false;
        double persons = 0;
        parseNumber(txPersonen->text(), &persons);
        if (!requireSpan(dpVon, dpBis))
            return false;
        const int time = ddTagZeit->value().toInt();
        if (entriesBetween(dpVon->date(), dpBis->date(), time) == 0) {
            warn(QStringLiteral("Im gewählten Zeitraum gibt es keinen Eintrag."));
            return false;
        }
        fGeaendert = changePersons(dpVon->date(), dpBis->date(), time, int(persons));
        msgBox(fGeaendert == 1 ? QStringLiteral("1 Eintrag geändert.")
                               : QStringLiteral("%1 Einträge geändert.").arg(fGeaendert));
        return true;
    });
}

qint32 fncDlgPersonen(qint32 personen)
{
    return launchDialog<frmPersonen>(
        "tlm/fncDlgPersonen", [&](frmPersonen& w) { w.fPersonen = personen; },
        [](frmPersonen& w) { return w.fGeaendert; });
}

} // namespace tlm
