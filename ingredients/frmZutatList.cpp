#include "ingredients/frmZutatList.h"

#include "app/DataGrid.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "data/Convert.h"
#include "ingredients/frmZutatDet.h"

#include <QPushButton>

namespace tlm {

frmZutatList::frmZutatList()
    : ListWindow(
          QStringLiteral("frmZutatList"), QStringLiteral("Liste Zutaten"), 8400, 6600,
          {QStringLiteral("frmZutatListe"),
           QStringLiteral("select ZUTNR,ZUTAT,MENGE,EINHEIT,PREIS,FRISCH from ZUTATEN"),
           QStringLiteral("ZUTAT"),
           QStringLiteral("ZUTNR"),
           fncDlgZutatDet,
           QStringLiteral("select GERICHT from VW_REZEPTE where ZUTNR="),
           {QStringLiteral("GERICHT")},
           QStringLiteral("Diese Zutat kann nicht entfernt werden!\rSie ist noch in folgenden Gerichten "
                          "enthalten:\r"),
           {QStringLiteral("delete from ZUTATEN where ZUTNR = ")},
           QStringLiteral(" order by REZNR")})
{
    gd1->setColumns({{"ZUTNR", "ZutNr", "", false, true, false, 50},
                     {"ZUTAT", "Zutat", "", false, true, false, 220},
                     {"MENGE", "Menge", "", false, true, false, 60},
                     {"EINHEIT", "Einheit", "", false, true, false, 55},
                     {"PREIS", "Preis", "Currency", false, true, false, 75},
                     {"FRISCH", "Frisch", "", true, true, false, 50}});
    sfSelect = addButton("sfSelect", QStringLiteral("&Wählen"));
    setTabOrder(sfExit, sfSelect);
    handle(sfSelect, &QPushButton::clicked, "sfSelect_Click", [this] { fncSelect(); });
}

void frmZutatList::gd1_DblClick()
{
    if (fLOV)
        fncSelect();
    else
        fncEdit();
}

void frmZutatList::fncSelect()
{
    guard(tagOf("fncSelect"), [&] {
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
