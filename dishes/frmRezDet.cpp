#include "dishes/frmRezDet.h"

#include "app/DataCombo.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlm {

frmRezDet::frmRezDet() : Dialog(QStringLiteral("frmRezDet"), QStringLiteral("Rezept"), 6600, 2400)
{
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    ddZUTAT = named(new DataCombo(this), "ddZUTAT");
    txMENGE4P = named(new QLineEdit(this), "txMENGE4P");
    txMENGE4P->setMaxLength(20);
    txEINHEIT = named(new QLineEdit(this), "txEINHEIT");
    txEINHEIT->setEnabled(false);
    txEINHEIT->setFixedWidth(tw(900));
    Line1 = named(new QFrame(this), "Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    sfZutatEdit = named(new QPushButton(QStringLiteral("Zutat bearbeiten"), this), "sfZutatEdit");
    sfOK = named(new QPushButton(QStringLiteral("OK"), this), "sfOK");
    sfExit = named(new QPushButton(QStringLiteral("Abbrechen"), this), "sfExit");
    sfOK->setDefault(true);
    sfZutatEdit->setAutoDefault(false);
    sfExit->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(named(new QLabel(QStringLiteral("Zutat:"), this), "Label1"), 0, 0);
    grid->addWidget(ddZUTAT, 0, 1, 1, 2);
    grid->addWidget(named(new QLabel(QStringLiteral("Benötigte Menge für 4 Personen:"), this), "Label1"), 1, 0);
    grid->addWidget(txMENGE4P, 1, 1);
    grid->addWidget(txEINHEIT, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sfZutatEdit);
    buttons->addStretch();
    buttons->addWidget(sfOK);
    buttons->addWidget(sfExit);
    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addStretch();
    box->addWidget(Line1);
    box->addLayout(buttons);
    setTabOrder(txMENGE4P, sfOK);
    setTabOrder(sfOK, sfExit);
    setTabOrder(sfExit, ddZUTAT);
    setTabOrder(ddZUTAT, sfZutatEdit);

    connect(ddZUTAT, &DataCombo::closeUp, this, [this] { guard("frmRezDet/ddZUTAT_CloseUp", [&] { fncReqZutat(); }); });
    connect(sfOK, &QPushButton::clicked, this, [this] {
        guard("frmRezDet/sfOK_Click", [&] {
            if (fncSave())
                unload();
        });
    });
    connect(sfExit, &QPushButton::clicked, this, [this] { guard("frmRezDet/sfExit_Click", [&] { unload(); }); });
    connect(sfZutatEdit, &QPushButton::clicked, this, [this] {
        guard("frmRezDet/sfZutatEdit_Click", [&] { fncDlgZutatDet(toInt32(val(ddZUTAT->value()))); });
    });
}

void frmRezDet::Form_Load()
{
    guard("frmRezDet/Form_Load", [&] {
        fncDDFillbySQL(*ddZUTAT, QStringLiteral("select ZUTNR,ZUTAT from ZUTATEN order by ZUTAT"), QString(), QString(),
                       false);
        fncReq();
    });
}

void frmRezDet::fncReq()
{
    guard("frmRezDet/fncReq", [&] {
        if (fREZNR < 1) {
            fREZNR = fncGetMaxIDfromTab(QStringLiteral("REZEPTE"), QStringLiteral("REZNR"), 100) + 1;
            return;
        }
        RecordsetPtr rs = gConnection.execute("select REZNR,GERNR,ZUTNR,MENGE4P from REZEPTE where REZNR = " +
                                              QString::number(fREZNR));
        if (!rs->eof()) {
            ddZUTAT->setValue(textOf(rs->field(QStringLiteral("ZUTNR"))));
            txMENGE4P->setText(textOf(rs->field(QStringLiteral("MENGE4P"))));
            rs->close();
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
        rs->close();
    });
}

bool frmRezDet::fncSave()
{
    return guardOr("frmRezDet/fncSave", false, [&] {
        if (fREZNR < 1)
            return false;
        saveRecord(QStringLiteral("REZEPTE"), QStringLiteral("REZNR"), fREZNR,
                   QStringLiteral("REZNR,GERNR,ZUTNR,MENGE4P"), [&](Recordset& rs) {
                       rs.setField(QStringLiteral("GERNR"), fGERNR);
                       rs.setField(QStringLiteral("ZUTNR"), ddZUTAT->value());
                       rs.setField(QStringLiteral("MENGE4P"), xCToD(txMENGE4P->text()));
                   });
        return true;
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
