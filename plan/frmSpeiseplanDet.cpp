#include "plan/frmSpeiseplanDet.h"

#include "app/DataCombo.h"
#include "app/DataProcedures.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "app/TextLimit.h"
#include "app/UpDown.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"
#include "dishes/frmGerichtDet.h"
#include "kitchen/Costs.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tlm {

frmSpeiseplanDet::frmSpeiseplanDet()
    : Dialog(QStringLiteral("frmSpeiseplanDet"), QStringLiteral("Speiseplan bearbeiten"), 6000, 3600)
{
    dpTag = makeDatePicker("dpTag");
    ddTagZeit = make<DataCombo>("ddTagZeit");
    ddGTyp = make<DataCombo>("ddGTyp");
    ddGericht = make<DataCombo>("ddGericht");
    txPersonen = make<QLineEdit>("txPersonen");
    txPersonen->setMaxLength(10);
    UpDown1 = make<UpDown>("UpDown1");
    lbKosten = make<QLabel>("lbKosten");
    cbNODRUCK = make<QCheckBox>("cbNODRUCK", QStringLiteral("im Speiseplan unterdrücken"));
    Line1 = makeLine("Line1");
    sfGERICHTEdit = makeButton("sfGERICHTEdit", QStringLiteral("Gericht bearbeiten"));
    sfOK = makeOkButton();
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));

    auto* persons = new QHBoxLayout;
    persons->setSpacing(2);
    persons->addWidget(txPersonen);
    persons->addWidget(UpDown1);
    persons->addStretch();
    txPersonen->setFixedWidth(tw(900));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Datum:"), dpTag);
    form->addRow(QStringLiteral("Tagzeit:"), ddTagZeit);
    form->addRow(QStringLiteral("Gerichttyp:"), ddGTyp);
    form->addRow(QStringLiteral("Gericht:"), ddGericht);
    form->addRow(QStringLiteral("Anzahl Personen:"), persons);
    form->addRow(QString(), lbKosten);
    form->addRow(QString(), cbNODRUCK);
    layOutForm(form, Line1, {sfOK, sfAbbrechen}, sfGERICHTEdit);
    tabOrder({dpTag, ddTagZeit, ddGTyp, ddGericht, txPersonen, cbNODRUCK, sfGERICHTEdit, sfOK, sfAbbrechen});

    onOk(sfOK, "frmDlgSpeiseplan/sfOK_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this,
            [this] { guard("frmDlgSpeiseplan/sfAbbrechen_Click", [&] { unload(); }); });
    connect(sfGERICHTEdit, &QPushButton::clicked, this, [this] { sfGERICHTEdit_Click(); });
    connect(ddGericht, &QComboBox::currentIndexChanged, this, [this] { fncKosten(); });
    connect(txPersonen, &QLineEdit::textChanged, this, [this] { fncKosten(); });
    connect(UpDown1, &UpDown::upClick, this, [this] { UpDown1_UpClick(); });
    connect(UpDown1, &UpDown::downClick, this, [this] { UpDown1_DownClick(); });
}

QStringList frmSpeiseplanDet::keptLists()
{
    return {QStringLiteral("select TAGZEITNR,TAGZEIT from TAGZEIT order by TAGZEITSORT"),
            QStringLiteral("select GTYPNR,GTYP from GTYP order by GTYPSORT"),
            QStringLiteral("select GERNR,GERICHT from GERICHTE order by GERICHT")};
}

void frmSpeiseplanDet::Form_Load()
{
    guard("frmDlgSpeiseplan/Form_Load", [&] {
        const QStringList lists = keptLists();
        fncDDFillbySQL(*ddTagZeit, lists[0], QStringLiteral("1"), QString(), false);
        fncDDFillbySQL(*ddGTyp, lists[1], QStringLiteral("0"), QStringLiteral("0,<Bitte Wählen>"), false);
        fncDDFillbySQL(*ddGericht, lists[2], QStringLiteral("1"), QString(), false);
        fncReq();
    });
}

void frmSpeiseplanDet::fncReq()
{
    guard("frmDlgSpeiseplan/fncReq", [&] {
        if (fKEY < 1) {
            // The key is only reserved here; nothing is written before OK.
            fKEY = toInt16(double(fncNewKey(QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"), 100)));
            dpTag->setDate(fTag.isValid() ? fTag : QDate::currentDate());
            ddTagZeit->setValue(QString::number(fTagZeitNr));
            ddGTyp->setValue(QString::number(fGTypNr));
            ddGericht->setValue(QStringLiteral("0"));
            txPersonen->setText(QString::number(fPersonen));
            fncKosten();
            return;
        }
        fVersion = recordVersion(QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"), fKEY);
        RecordsetPtr rs = gConnection.execute(
            "select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN where KEY = " +
            QString::number(fKEY));
        if (!rs->eof()) {
            const QDate tag = rs->field(QStringLiteral("TAG")).toDate();
            if (tag.isValid())
                dpTag->setDate(tag);
            ddTagZeit->setValue(textOf(rs->field(QStringLiteral("TAGZEITNR"))));
            ddGTyp->setValue(textOf(rs->field(QStringLiteral("GTYPNR"))));
            ddGericht->setValue(textOf(rs->field(QStringLiteral("GERNR"))));
            showStored(txPersonen, textOf(rs->field(QStringLiteral("PERSONEN"))));
            cbNODRUCK->setChecked(fncFalseTrueto01(rs->field(QStringLiteral("NODRUCK")).toBool() ? -1 : 0) ==
                                  1);
        }
    });
}

bool frmSpeiseplanDet::fncSave()
{
    return guardOr("frmDlgSpeiseplan/fncSave", false, [&] {
        if (fKEY < 1)
            return false;
        if (!(val(ddGericht->value()) > 0)) {
            msgBox(QStringLiteral("Bitte Gericht wählen!"), 48, QStringLiteral("Achtung"));
            return false;
        }
        // The program proposes persons as 16-bit numbers; a larger count is refused here, clearly,
        // rather than stored and failing at the next "Zufügen". No one is fed by fewer than none.
        if (!requireWholeNumber(txPersonen, 0, 32767,
                                QStringLiteral("Bitte eine Anzahl Personen von 0 bis 32767 eingeben!")) ||
            !requireDate(dpTag))
            return false;
        return saveEditedRecord(
            QStringLiteral("SPEISEPLAN"), QStringLiteral("Key"), fKEY,
            QStringLiteral("KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK"),
            [&](Recordset& rs) {
                rs.setField(QStringLiteral("Tag"), dpTag->date());
                rs.setField(QStringLiteral("TAGZEITNR"), ddTagZeit->value());
                rs.setField(QStringLiteral("GTYPNR"), ddGTyp->value());
                rs.setField(QStringLiteral("GERNR"), ddGericht->value());
                rs.setField(QStringLiteral("PERSONEN"), txPersonen->text());
                rs.setField(QStringLiteral("NODRUCK"), fnc01toFalseTrue(cbNODRUCK->isChecked() ? 1 : 0));
            },
            fVersion, [this] { fncReq(); });
    });
}

void frmSpeiseplanDet::sfGERICHTEdit_Click()
{
    guard("frmDlgSpeiseplan/sfGERICHTEdit_Click",
          [&] { fncDlgGerichtDet(toInt32(val(ddGericht->value()))); });
}

void frmSpeiseplanDet::fncKosten()
{
    guard("frmDlgSpeiseplan/fncKosten", [&] {
        const qint32 dish = qint32(val(ddGericht->value()));
        double persons = 0;
        if (dish <= 0 || !parseNumber(txPersonen->text(), &persons)) {
            lbKosten->clear();
            return;
        }
        const Cost cost = entryCost(dish, persons);
        if (!cost.known())
            lbKosten->setText(QStringLiteral("Kosten: unbekannt (%1)").arg(cost.missing));
        else if (persons > 0)
            lbKosten->setText(
                QStringLiteral("Kosten: %1 (%2 pro Person)")
                    .arg(currencyText(cost.value), currencyText(cost.value.dividedBy(persons))));
        else
            lbKosten->setText(QStringLiteral("Kosten: %1").arg(currencyText(cost.value)));
    });
}

void frmSpeiseplanDet::spin(int delta)
{
    // Exactly one step per click, no bounds; a text that is no number stays as it is, silently.
    double d = 0;
    if (parseNumber(txPersonen->text(), &d))
        txPersonen->setText(numberText(d + delta));
}

void frmSpeiseplanDet::UpDown1_UpClick()
{
    spin(1);
}
void frmSpeiseplanDet::UpDown1_DownClick()
{
    spin(-1);
}

qint32 fncDlgSpeiseplanDet(qint32 key, const QDate& tag, qint16 tagZeitNr, qint16 gTypNr, qint16 personen)
{
    return launchDialog<frmSpeiseplanDet>(
        "tlm/fncDlgSpeiseplanDet",
        [&](frmSpeiseplanDet& w) {
            w.fKEY = toInt16(double(key)); // plan keys are 16 bits wide here
            w.fTag = tag;
            w.fTagZeitNr = tagZeitNr;
            w.fGTypNr = gTypNr;
            w.fPersonen = personen;
        },
        [](frmSpeiseplanDet& w) { return qint32(w.fKEY); });
}

} // namespace tlm
