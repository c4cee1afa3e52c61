#include "ingredients/frmZutatDet.h"

#include "app/CurrencyEdit.h"
#include "app/DataCombo.h"
#include "app/DataGrid.h"
#include "app/DataProcedures.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "app/TextLimit.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlm {

frmZutatDet::frmZutatDet()
    : Dialog(QStringLiteral("frmZutatDet"), QStringLiteral("Zutat bearbeiten"), 7200, 6900)
{
    txZUTAT = make<QLineEdit>("txZUTAT");
    txZUTAT->setMaxLength(50);
    txMENGE = make<QLineEdit>("txMENGE");
    txMENGE->setMaxLength(20);
    ddEINHEIT = make<DataCombo>("ddEINHEIT");
    ddEINHEIT->setAccessibleName(QStringLiteral("Einheit")); // shares the amount's label
    mxPREIS = make<CurrencyEdit>("mxPREIS");
    cbFRISCH = make<QCheckBox>("cbFRISCH", QStringLiteral("Frisch"));
    cbNOKAUF = make<QCheckBox>("cbNOKAUF",
                               QStringLiteral("Nicht auf Einkaufsliste (in Grundausstattung enthalten)"));
    gd1 = make<DataGrid>("gd1");
    gd1->setColumns({{"GERNR", "Nr", "", false, true, false, 45},
                     {"REZNR", "REZNR", "", false, true, false, 50},
                     {"GERICHT", "Gericht", "", false, true, false, 230},
                     {"MENGE4P", "Menge 4 Pers.", "", false, true, false, 90},
                     {"EINHEIT", "Einheit", "", false, true, false, 55}});
    Line1 = makeLine("Line1");
    sfGericht = makeButton("sfGericht", QStringLiteral("Gericht bearbeiten"));
    sfOK = makeOkButton();
    sfExit = makeButton("sfExit", QStringLiteral("Abbrechen"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Zutat:"), this), 0, 0);
    grid->addWidget(txZUTAT, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Menge:"), this), 1, 0);
    grid->addWidget(txMENGE, 1, 1);
    grid->addWidget(ddEINHEIT, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Preis:"), this), 2, 0);
    grid->addWidget(mxPREIS, 2, 1);
    grid->addWidget(cbFRISCH, 3, 1, 1, 2);
    grid->addWidget(cbNOKAUF, 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sfGericht);
    buttons->addStretch();
    buttons->addWidget(sfOK);
    buttons->addWidget(sfExit);
    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addWidget(new QLabel(QStringLiteral("Enthalten in folgenden Gerichten:"), this));
    box->addWidget(gd1, 1);
    box->addWidget(Line1);
    box->addLayout(buttons);
    tabOrder({txZUTAT, txMENGE, ddEINHEIT, mxPREIS, cbFRISCH, cbNOKAUF, sfGericht, sfOK, sfExit, gd1});

    connect(gd1, &DataGrid::dblClick, this,
            [this] { guard("frmZutatDet/gd1_DblClick", [&] { fncEditRezDet(); }); });
    connect(sfGericht, &QPushButton::clicked, this,
            [this] { guard("frmZutatDet/sfGericht_Click", [&] { fncEditGerichtDet(); }); });
    onOk(sfOK, "frmZutatDet/sfOK_Click", [this] { return fncSave(); });
    connect(sfExit, &QPushButton::clicked, this,
            [this] { guard("frmZutatDet/sfExit_Click", [&] { unload(); }); });
}

void frmZutatDet::Form_Load()
{
    guard("frmZutatDet/Form_Load", [&] {
        fncDDFillbyCTab(*ddEINHEIT, gUnitList, QStringLiteral("Stk"));
        fncReq();
        fncReqGerichte(0);
    });
}

void frmZutatDet::fncReq()
{
    guard("frmZutatDet/fncReq", [&] {
        if (fZUTNR < 1) {
            fZUTNR = fncNewKey(QStringLiteral("ZUTATEN"), QStringLiteral("ZUTNR"), 100);
            return;
        }
        fVersion = recordVersion(QStringLiteral("ZUTATEN"), QStringLiteral("ZUTNR"), fZUTNR);
        RecordsetPtr rs = gConnection.execute(
            "select ZUTNR,ZUTAT,MENGE,EINHEIT,PREIS,FRISCH,NOKAUF from ZUTATEN where ZUTNR = " +
            QString::number(fZUTNR));
        if (!rs->eof()) {
            showStored(txZUTAT, textOf(rs->field(QStringLiteral("ZUTAT"))));
            showStored(txMENGE, textOf(rs->field(QStringLiteral("MENGE"))));
            ddEINHEIT->setValue(textOf(rs->field(QStringLiteral("EINHEIT"))));
            mxPREIS->setText(textOf(rs->field(QStringLiteral("PREIS"))));
            cbFRISCH->setChecked(fncFalseTrueto01(rs->field(QStringLiteral("FRISCH")).toBool() ? -1 : 0) ==
                                 1);
            cbNOKAUF->setChecked(fncFalseTrueto01(rs->field(QStringLiteral("NOKAUF")).toBool() ? -1 : 0) ==
                                 1);
        }
    });
}

void frmZutatDet::fncReqGerichte(qint32 gerNr)
{
    guard("frmZutatDet/fncReqGerichte", [&] {
        if (fZUTNR < 1)
            return;
        RecordsetPtr rs =
            gConnection.execute("select GERNR,REZNR,GERICHT,MENGE4P,EINHEIT from VW_REZEPTE where ZUTNR = " +
                                QString::number(fZUTNR) + " order by REZNR");
        gd1->setDataSource(rs);
        if (rs->rowCount() > 0 && gerNr >= 1) {
            rs->moveFirst();
            gd1->find("GERNR=" + QString::number(gerNr));
        }
    });
}

bool frmZutatDet::fncSave()
{
    return guardOr("frmZutatDet/fncSave", false, [&] {
        if (fZUTNR < 1 || !requireNumber(txMENGE) || !requireNumber(mxPREIS))
            return false;
        // The shopping lists count packages by this size.
        if (!cbNOKAUF->isChecked() && !(xCToD(txMENGE->text()) > 0)) {
            warn(QStringLiteral(
                "Bitte bei „Menge:“ die Größe einer Packung eingeben (mehr als 0): eine Zutat, "
                "die eingekauft wird, braucht sie für die Einkaufsliste."));
            txMENGE->setFocus();
            return false;
        }
        return saveEditedRecord(
            QStringLiteral("ZUTATEN"), QStringLiteral("ZUTNR"), fZUTNR,
            QStringLiteral("ZUTNR,ZUTAT,MENGE,EINHEIT,PREIS,FRISCH,NOKAUF"),
            [&](Recordset& rs) {
                rs.setField(QStringLiteral("ZUTAT"), txZUTAT->text());
                rs.setField(QStringLiteral("MENGE"), xCToD(txMENGE->text()));
                rs.setField(QStringLiteral("EINHEIT"), ddEINHEIT->value());
                rs.setField(QStringLiteral("PREIS"), xCToD(mxPREIS->text()));
                rs.setField(QStringLiteral("FRISCH"), fnc01toFalseTrue(cbFRISCH->isChecked() ? 1 : 0));
                rs.setField(QStringLiteral("NOKAUF"), fnc01toFalseTrue(cbNOKAUF->isChecked() ? 1 : 0));
            },
            fVersion, [this] { fncReq(); });
    });
}

qint32 fncDlgZutatDet(qint32 zutNr)
{
    return launchDialog<frmZutatDet>(
        "tlm/fncDlgZutatDet", [&](frmZutatDet& w) { w.fZUTNR = zutNr; },
        [](frmZutatDet& w) { return w.fZUTNR; });
}

} // namespace tlm
