#include "ingredients/frmZutatList.h"

#include "app/DataGrid.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "ingredients/frmZutatDet.h"

#include <QLineEdit>
#include <QPushButton>

namespace tlm {

frmZutatList::frmZutatList()
    : ListWindow(QStringLiteral("frmZutatList"), QStringLiteral("Liste Zutaten"), 8400, 6600)
{
    gd1->setColumns({{"ZUTNR", "ZutNr", "", false, true, false, 50},
                     {"ZUTAT", "Zutat", "", false, true, false, 220},
                     {"MENGE", "Menge", "", false, true, false, 60},
                     {"EINHEIT", "Einheit", "", false, true, false, 55},
                     {"PREIS", "Preis", "Currency", false, true, false, 75},
                     {"FRISCH", "Frisch", "", true, true, false, 50}});
    sfEdit = addButton("sfEdit", QStringLiteral("&Bearbeiten"));
    sfAdd = addButton("sfAdd", QStringLiteral("&Zufügen"));
    sfDel = addButton("sfDel", QStringLiteral("&Entfernen"));
    sfSelect = addButton("sfSelect", QStringLiteral("&Wählen"));
    sfExit = addButton("sfExit", QStringLiteral("Been&den"));
    setTabOrder(txSuch, sfSuche);
    setTabOrder(sfSuche, gd1);
    setTabOrder(gd1, sfEdit);
    setTabOrder(sfDel, sfExit);
    setTabOrder(sfExit, sfSelect);

    connect(txSuch, &QLineEdit::textChanged, this,
            [this](const QString& t) { guard("frmZutatListe/txSuch_Change", [&] { fncReq(0, t); }); });
    connect(gd1, &DataGrid::dblClick, this, [this] {
        guard("frmZutatListe/gd1_DblClick", [&] {
            if (fLOV)
                fncSelect();
            else
                fncEdit();
        });
    });
    connect(sfEdit, &QPushButton::clicked, this,
            [this] { guard("frmZutatListe/sfEdit_Click", [&] { fncEdit(); }); });
    connect(sfAdd, &QPushButton::clicked, this,
            [this] { guard("frmZutatListe/sfAdd_Click", [&] { fncReq(fncDlgZutatDet(0), QString()); }); });
    connect(sfDel, &QPushButton::clicked, this,
            [this] { guard("frmZutatListe/sfDel_Click", [&] { fncDel(); }); });
    connect(sfSelect, &QPushButton::clicked, this,
            [this] { guard("frmZutatListe/sfSelect_Click", [&] { fncSelect(); }); });
    connect(sfExit, &QPushButton::clicked, this,
            [this] { guard("frmZutatListe/sfExit_Click", [&] { unload(); }); });
}

void frmZutatList::Form_Load()
{
    guard("frmZutatListe/Form_Load", [&] { fncReq(0, QString()); });
}

void frmZutatList::fncReq(qint32 key, const QString& search)
{
    guard("frmZutatListe/fncReq", [&] {
        RecordsetPtr rs =
            gConnection.execute("select ZUTNR,ZUTAT,MENGE,EINHEIT,PREIS,FRISCH from ZUTATEN" +
                                likeFilter(QStringLiteral("ZUTAT"), search) + " order by ZUTAT");
        gd1->setDataSource(rs);
        if (rs->rowCount() > 0 && key >= 1)
            gd1->find("ZUTNR = " + QString::number(key));
    });
}

void frmZutatList::fncEdit()
{
    guard("frmZutatListe/fncEdit", [&] {
        if (gd1->noCurrentRow())
            return;
        const qint32 key = toInt32(gd1->columnValue(QStringLiteral("ZUTNR")));
        fncDlgZutatDet(key);
        fncReq(key, QString());
    });
}

void frmZutatList::fncDel()
{
    guard("frmZutatListe/fncDel", [&] {
        if (gd1->noCurrentRow())
            return;
        const QString key = QString::number(toInt32(gd1->columnValue(QStringLiteral("ZUTNR"))));
        RecordsetPtr used = gConnection.execute("select GERICHT from VW_REZEPTE where ZUTNR=" + key);
        if (used->eof()) {
            if (msgBox(QStringLiteral("Soll dieser Eintrag wirklich entfernt werden?"), 36,
                       QStringLiteral("Ihre Wahl ...")) == vbYes) {
                gConnection.execute("delete from ZUTATEN where ZUTNR = " + key);
                fncReq(0, QString());
            }
        } else {
            QString text = QStringLiteral(
                "Diese Zutat kann nicht entfernt werden!\rSie ist noch in folgenden Gerichten enthalten:\r");
            for (; !used->eof(); used->moveNext())
                text += " - " + textOf(used->field(QStringLiteral("GERICHT"))) + "\r";
            msgBox(text, 48, QStringLiteral("Achtung"));
        }
        used->close();
    });
}

void frmZutatList::fncSelect()
{
    guard("frmZutatListe/fncSelect", [&] {
        if (gd1->noCurrentRow())
            return; // nothing chosen: the window stays open, the key as it was
        fZUTNR = toInt32(gd1->columnValue(QStringLiteral("ZUTNR")));
        unload();
    });
}

qint32 fncDlgZutatList(qint32 zutNr, bool lov)
{
    return launchDialog<frmZutatList>(
        "tlm/fncDlgZutatList",
        [&](frmZutatList& w) {
            w.fZUTNR = zutNr;
            w.fLOV = lov;
        },
        [](frmZutatList& w) { return w.fZUTNR; });
}

} // namespace tlm
