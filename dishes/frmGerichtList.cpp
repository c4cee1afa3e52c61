#include "dishes/frmGerichtList.h"

#include "app/DataGrid.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "dishes/frmGerichtDet.h"

#include <QLineEdit>
#include <QPushButton>

namespace tlm {

frmGerichtList::frmGerichtList()
    : ListWindow(QStringLiteral("frmGerichtList"), QStringLiteral("Liste Gerichte"), 7200, 6600)
{
    gd1->setColumns({{"GERNR", "GerNr", "", false, true, false, 50},
                     {"GERICHT", "Gericht", "", false, true, false, 280},
                     {"GTYP", "Typ", "", false, true, false, 100}});
    sfEdit = addButton("sfEdit", QStringLiteral("&Bearbeiten"));
    sfAdd = addButton("sfAdd", QStringLiteral("&Zufügen"));
    sfDel = addButton("sfDel", QStringLiteral("&Entfernen"));
    sfExit = addButton("sfExit", QStringLiteral("Been&den"));
    setTabOrder(txSuch, sfSuche);
    setTabOrder(sfSuche, gd1);
    setTabOrder(gd1, sfEdit);

    connect(txSuch, &QLineEdit::textChanged, this,
            [this](const QString& t) { guard("frmGerichtList/txSuch_Change", [&] { fncReq(0, t); }); });
    connect(gd1, &DataGrid::dblClick, this,
            [this] { guard("frmGerichtList/gd1_DblClick", [&] { fncEdit(); }); });
    connect(sfEdit, &QPushButton::clicked, this,
            [this] { guard("frmGerichtList/sfEdit_Click", [&] { fncEdit(); }); });
    connect(sfAdd, &QPushButton::clicked, this,
            [this] { guard("frmGerichtList/sfAdd_Click", [&] { fncReq(fncDlgGerichtDet(0), QString()); }); });
    connect(sfDel, &QPushButton::clicked, this,
            [this] { guard("frmGerichtList/sfDel_Click", [&] { fncDel(); }); });
    connect(sfExit, &QPushButton::clicked, this,
            [this] { guard("frmGerichtList/sfExit_Click", [&] { unload(); }); });
}

void frmGerichtList::Form_Load()
{
    guard("frmGerichtList/Form_Load", [&] { fncReq(0, QString()); });
}

void frmGerichtList::fncReq(qint32 key, const QString& filter)
{
    guard("frmGerichtList/fncReq", [&] {
        RecordsetPtr rs =
            gConnection.execute("select GERNR,GTYP,GERICHT from VW_GERICHTE" +
                                likeFilter(QStringLiteral("GERICHT"), filter) + " order by GERICHT");
        gd1->setDataSource(rs);
        if (rs->rowCount() > 0 && key >= 1)
            gd1->find("GERNR = " + QString::number(key));
    });
}

void frmGerichtList::fncEdit()
{
    guard("frmGerichtList/fncEdit", [&] {
        if (gd1->noCurrentRow())
            return;
        const qint32 key = toInt32(gd1->columnValue(QStringLiteral("GERNR")));
        fncDlgGerichtDet(key);
        fncReq(key, QString());
    });
}

void frmGerichtList::fncDel()
{
    guard("frmGerichtList/fncDel", [&] {
        if (gd1->noCurrentRow())
            return;
        const QString key = QString::number(toInt32(gd1->columnValue(QStringLiteral("GERNR"))));
        RecordsetPtr used =
            gConnection.execute("select GERICHT,TAG,TAGZEIT from VW_SPEISEPLAN where GERNR=" + key);
        if (used->eof()) {
            if (msgBox(QStringLiteral("Soll dieser Eintrag wirklich entfernt werden?"), 36,
                       QStringLiteral("Ihre Wahl ...")) == vbYes) {
                // The dish and its recipe lines go together or not at all.
                Transaction t(gConnection);
                gConnection.execute("delete from GERICHTE where GERNR = " + key);
                gConnection.execute("delete from REZEPTE where GERNR = " + key);
                t.commit();
                fncReq(0, QString());
            }
        } else {
            QString text =
                QStringLiteral("Dieses Gericht kann nicht entfernt werden!\rSie ist noch in folgenden "
                               "Speiseplänen enthalten:\r");
            for (; !used->eof(); used->moveNext())
                text += " - " + textOf(used->field(QStringLiteral("GERICHT"))) + "," +
                        textOf(used->field(QStringLiteral("TAG"))) + "," +
                        textOf(used->field(QStringLiteral("TAGZEIT"))) + "\r";
            msgBox(text, 48, QStringLiteral("Achtung"));
        }
        used->close();
    });
}

} // namespace tlm
