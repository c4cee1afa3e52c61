#include "dishes/frmRezDet.h"

#include "app/DataCombo.h"
#include "app/DataProcedures.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/TextLimit.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"
#include "ingredients/frmZutatDet.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tlm {

frmRezDet::frmRezDet() : Dialog(QStringLiteral("frmRezDet"), QStringLiteral("Rezept"), 6600, 2400)
{
    ddZUTAT = make<DataCombo>("ddZUTAT");
    txMENGE4P = make<QLineEdit>("txMENGE4P");
    txMENGE4P->setMaxLength(20);
    txEINHEIT = make<QLineEdit>("txEINHEIT");
    txEINHEIT->setAccessibleName(QStringLiteral("Einheit")); // shares the amount's label
    txEINHEIT->setEnabled(false);
    txEINHEIT->setFixedWidth(tw(900));
    Line1 = makeLine("Line1");
    sfZutatEdit = makeButton("sfZutatEdit", QStringLiteral("Zutat bearbeiten"));
    sfOK = makeOkButton();
    sfExit = makeButton("sfExit", QStringLiteral("Abbrechen"));

    auto* grid = new QGridLayout;
    grid->addWidget(make<QLabel>("Label1", QStringLiteral("Zutat:")), 0, 0);
    grid->addWidget(ddZUTAT, 0, 1, 1, 2);
    grid->addWidget(make<QLabel>("Label1", QStringLiteral("Benötigte Menge für 4 Personen:")), 1, 0);
    grid->addWidget(txMENGE4P, 1, 1);
    grid->addWidget(txEINHEIT, 1, 2);
    grid->setColumnStretch(1, 1);
    layOutForm(grid, Line1, {sfOK, sfExit}, sfZutatEdit);
    tabOrder({txMENGE4P, sfOK, sfExit, ddZUTAT, sfZutatEdit});

    connect(ddZUTAT, &DataCombo::closeUp, this,
            [this] { guard("frmRezDet/ddZUTAT_CloseUp", [&] { fncReqZutat(); }); });
    onOk(sfOK, "frmRezDet/sfOK_Click", [this] { return fncSave(); });
    connect(sfExit, &QPushButton::clicked, this,
            [this] { guard("frmRezDet/sfExit_Click", [&] { unload(); }); });
    connect(sfZutatEdit, &QPushButton::clicked, this, [this] {
        guard("frmRezDet/sfZutatEdit_Click", [&] { fncDlgZutatDet(toInt32(val(ddZUTAT->value()))); });
    });
}

void frmRezDet::Form_Load()
{
    guard("frmRezDet/Form_Load", [&] {
        fncDDFillbySQL(*ddZUTAT, QStringLiteral("select ZUTNR,ZUTAT from ZUTATEN order by ZUTAT"), QString(),
                       QString(), false);
        fncReq();
    });
}

void frmRezDet::fncReq()
{
    guard("frmRezDet/fncReq", [&] {
        if (fREZNR < 1) {
            fREZNR = fncNewKey(QStringLiteral("REZEPTE"), QStringLiteral("REZNR"), 100);
            return;
        }
        fVersion = recordVersion(QStringLiteral("REZEPTE"), QStringLiteral("REZNR"), fREZNR);
        RecordsetPtr rs = gConnection.execute("select REZNR,GERNR,ZUTNR,MENGE4P from REZEPTE where REZNR = " +
                                              QString::number(fREZNR));
        if (!rs->eof()) {
            ddZUTAT->setValue(textOf(rs->field(QStringLiteral("ZUTNR"))));
            showStored(txMENGE4P, textOf(rs->field(QStringLiteral("MENGE4P"))));
            fncReqZutat();
        }
    });
}

void frmRezDet::fncReqZutat()
{
    guard("frmRezDet/fncReqZutat", [&] {
        RecordsetPtr rs =
            gConnection.execute("select ZUTNR,EINHEIT from ZUTATEN where ZUTNR = " + ddZUTAT->value());
        if (!rs->eof())
            txEINHEIT->setText(textOf(rs->field(QStringLiteral("EINHEIT"))));
    });
}

bool frmRezDet::fncSave()
{
    return guardOr("frmRezDet/fncSave", false, [&] {
        if (fREZNR < 1 || !requireNumber(txMENGE4P))
            return false;
        return saveEditedRecord(
            QStringLiteral("REZEPTE"), QStringLiteral("REZNR"), fREZNR,
            QStringLiteral("REZNR,GERNR,ZUTNR,MENGE4P"),
            [&](Recordset& rs) {
                rs.setField(QStringLiteral("GERNR"), fGERNR);
                rs.setField(QStringLiteral("ZUTNR"), ddZUTAT->value());
                rs.setField(QStringLiteral("MENGE4P"), xCToD(txMENGE4P->text()));
            },
            fVersion, [this] { fncReq(); });
    });
}

qint32 fncDlgRezDet(qint32 rezNr, qint32 gerNr)
{
    return launchDialog<frmRezDet>(
        "tlm/fncDlgRezDet",
        [&](frmRezDet& w) {
            w.fREZNR = rezNr;
            w.fGERNR = gerNr;
        },
        [](frmRezDet& w) { return w.fREZNR; });
}

} // namespace tlm
