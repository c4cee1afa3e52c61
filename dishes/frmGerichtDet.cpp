#include "dishes/frmGerichtDet.h"

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
#include "dishes/frmRezDet.h"
#include "ingredients/frmZutatList.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlm {

frmGerichtDet::frmGerichtDet()
    : Dialog(QStringLiteral("frmGerichtDet"), QStringLiteral("Gericht bearbeiten"), 7800, 8400)
{
    auto label = [&](const QString& text) { return make<QLabel>("Label1", text); };
    ddGTyp = make<DataCombo>("ddGTyp");
    txGERICHT = make<QLineEdit>("txGERICHT");
    txGERICHT->setMaxLength(100);
    gd1 = make<DataGrid>("gd1");
    gd1->setColumns({{"REZNR", "REZNR", "", false, true, false, 50},
                     {"ZUTAT", "Zutat", "", false, true, false, 250},
                     {"MENGE4P", "Menge", "", false, true, false, 70},
                     {"EINHEIT", "Einheit", "", false, true, false, 60}});
    sfEdit = makeButton("sfEdit", QStringLiteral("&Bearbeiten"));
    sfAdd = makeButton("sfAdd", QStringLiteral("&Zufügen"));
    sfDel = makeButton("sfDel", QStringLiteral("&Entfernen"));
    lbA18 = make<QLabel>("lbA18", QStringLiteral("Zubereitung:"));
    txZubereitung = make<QPlainTextEdit>("txZubereitung");
    txZubereitung->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txZubereitung->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txZubereitung->setTabChangesFocus(true);
    limitLength(txZubereitung, 2000);
    Line1 = makeLine("Line1");
    sfOK = makeOkButton();
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));

    auto* top = new QGridLayout;
    top->addWidget(label(QStringLiteral("Typ:")), 0, 0);
    top->addWidget(ddGTyp, 0, 1);
    top->addWidget(label(QStringLiteral("Gericht:")), 1, 0);
    top->addWidget(txGERICHT, 1, 1);
    top->setColumnStretch(1, 1);
    auto* lineButtons = new QHBoxLayout;
    lineButtons->addWidget(sfEdit);
    lineButtons->addWidget(sfAdd);
    lineButtons->addWidget(sfDel);
    lineButtons->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sfOK);
    buttons->addWidget(sfAbbrechen);
    auto* box = new QVBoxLayout(this);
    box->addLayout(top);
    box->addWidget(label(QStringLiteral("Zutaten für 4 Personen:")));
    box->addWidget(gd1, 3);
    box->addLayout(lineButtons);
    box->addWidget(lbA18);
    box->addWidget(txZubereitung, 2);
    box->addWidget(Line1);
    box->addLayout(buttons);
    tabOrder({txGERICHT, txZubereitung, sfOK, sfAbbrechen, sfAdd, sfDel, ddGTyp, sfEdit, gd1});
    keepSize();

    connect(gd1, &DataGrid::dblClick, this,
            [this] { guard("frmDlgGericht/gd1_DblClick", [&] { fncZutatEdit(); }); });
    connect(sfEdit, &QPushButton::clicked, this,
            [this] { guard("frmDlgGericht/sfEdit_Click", [&] { fncZutatEdit(); }); });
    connect(sfAdd, &QPushButton::clicked, this,
            [this] { guard("frmDlgGericht/sfAdd_Click", [&] { fncZutatAdd(); }); });
    connect(gd1, &DataGrid::deleteKey, sfDel, &QPushButton::click);
    connect(sfDel, &QPushButton::clicked, this,
            [this] { guard("frmDlgGericht/sfDel_Click", [&] { fncZutatDel(); }); });
    onOk(sfOK, "frmDlgGericht/sfOK_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this,
            [this] { guard("frmDlgGericht/sfAbbrechen_Click", [&] { unload(); }); });
}

void frmGerichtDet::Form_Load()
{
    guard("frmDlgGericht/Form_Load", [&] {
        fncDDFillbySQL(*ddGTyp, QStringLiteral("select GTYPNR,GTYP from GTYP order by GTYPSORT"),
                       QStringLiteral("2"), QString(), false);
        fncReq();
        fncReqZutaten(0);
    });
}

void frmGerichtDet::fncReq()
{
    guard("frmDlgGericht/fncReq", [&] {
        if (fGERNR < 1) {
            fGERNR = fncNewKey(QStringLiteral("GERICHTE"), QStringLiteral("GERNR"), 100);
            return;
        }
        fVersion = recordVersion(QStringLiteral("GERICHTE"), QStringLiteral("GERNR"), fGERNR);
        RecordsetPtr rs = gConnection.execute(
            "select GERNR,GTYPNR,GERICHT,ZUBEREITUNG from GERICHTE where GERNR = " + QString::number(fGERNR));
        if (!rs->eof()) {
            ddGTyp->setValue(textOf(rs->field(QStringLiteral("GTYPNR"))));
            showStored(txGERICHT, textOf(rs->field(QStringLiteral("GERICHT"))));
            showStored(txZubereitung, textOf(rs->field(QStringLiteral("ZUBEREITUNG"))));
        }
    });
}

void frmGerichtDet::fncReqZutaten(qint32 key)
{
    guard("frmDlgGericht/fncReqZutaten", [&] {
        RecordsetPtr rs = gConnection.execute("select REZNR,GERNR,ZUTNR,ZUTAT,MENGE4P,EINHEIT from VW_REZEPTE"
                                              " where GERNR = " +
                                              QString::number(fGERNR) + " order by ZUTAT");
        gd1->setDataSource(rs);
        if (rs->rowCount() > 0 && key >= 1)
            gd1->find("REZNR = " + QString::number(key));
    });
}

bool frmGerichtDet::fncSave()
{
    return guardOr("frmDlgGericht/fncSave", false, [&] {
        if (fGERNR < 1)
            return false;
        return saveEditedRecord(
            QStringLiteral("GERICHTE"), QStringLiteral("GERNR"), fGERNR,
            QStringLiteral("GERNR,GTYPNR,GERICHT,ZUBEREITUNG"),
            [&](Recordset& rs) {
                rs.setField(QStringLiteral("GTYPNR"), ddGTyp->value());
                rs.setField(QStringLiteral("GERICHT"), txGERICHT->text());
                rs.setField(QStringLiteral("ZUBEREITUNG"), txZubereitung->toPlainText());
            },
            fVersion, [this] { fncReq(); });
    });
}

void frmGerichtDet::fncZutatEdit()
{
    guard("frmDlgGericht/fncZutatEdit", [&] {
        if (gd1->noCurrentRow())
            return;
        const qint32 line = toInt32(gd1->columnValue(QStringLiteral("REZNR")));
        fncReqZutaten(fncDlgRezDet(line, fGERNR));
    });
}

void frmGerichtDet::fncZutatAdd()
{
    guard("frmDlgGericht/fncZutatAdd", [&] {
        // The new line's dish must exist; a failed save does not stop the line, unless the dish was
        // deleted at another workstation and the window closed.
        if (!fncSave() && recordGone())
            return;
        const qint32 ingredient = fncDlgZutatList(0, true);
        if (!(ingredient > 0))
            return;
        const qint32 line = fncNewKey(QStringLiteral("REZEPTE"), QStringLiteral("REZNR"), 100);
        saveRecord(QStringLiteral("REZEPTE"), QStringLiteral("REZNR"), line,
                   QStringLiteral("REZNR,GERNR,ZUTNR,PERSONEN"), [&](Recordset& rs) {
                       rs.setField(QStringLiteral("GERNR"), fGERNR);
                       rs.setField(QStringLiteral("ZUTNR"), ingredient);
                       rs.setField(QStringLiteral("PERSONEN"), QVariant::fromValue(qint16(0)));
                   });
        fncReqZutaten(line);
    });
}

void frmGerichtDet::fncZutatDel()
{
    guard("frmDlgGericht/fncZutatDel", [&] {
        if (gd1->noCurrentRow())
            return;
        if (!confirmDelete())
            return;
        gConnection.execute("delete from REZEPTE where REZNR = " +
                            textOf(gd1->columnValue(QStringLiteral("REZNR"))));
        fncReqZutaten(0);
    });
}

qint32 fncDlgGerichtDet(qint32 gerNr)
{
    return launchDialog<frmGerichtDet>(
        "tlm/fncDlgGerichtDet", [&](frmGerichtDet& w) { w.fGERNR = gerNr; },
        [](frmGerichtDet& w) { return w.fGERNR; });
}

} // namespace tlm
