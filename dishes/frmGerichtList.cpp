#include "dishes/frmGerichtList.h"

#include "app/DataGrid.h"
#include "dishes/frmGerichtDet.h"

namespace tlm {

frmGerichtList::frmGerichtList()
    : ListWindow(QStringLiteral("frmGerichtList"), QStringLiteral("Liste Gerichte"), 7200, 6600,
                 {QStringLiteral("frmGerichtList"),
                  QStringLiteral("select GERNR,GTYP,GERICHT from VW_GERICHTE"),
                  QStringLiteral("GERICHT"),
                  QStringLiteral("GERNR"),
                  fncDlgGerichtDet,
                  QStringLiteral("select GERICHT,TAG,TAGZEIT from VW_SPEISEPLAN where GERNR="),
                  {QStringLiteral("GERICHT"), QStringLiteral("TAG"), QStringLiteral("TAGZEIT")},
                  QStringLiteral("Dieses Gericht kann nicht entfernt werden!\rSie ist noch in folgenden "
                                 "Speiseplänen enthalten:\r"),
                  // The dish first, then its recipe lines.
                  {QStringLiteral("delete from GERICHTE where GERNR = "),
                   QStringLiteral("delete from REZEPTE where GERNR = ")},
                  QStringLiteral(" order by KEY")})
{
    gd1->setColumns({{"GERNR", "GerNr", "", false, true, false, 50},
                     {"GERICHT", "Gericht", "", false, true, false, 280},
                     {"GTYP", "Typ", "", false, true, false, 100}});
}

} // namespace tlm
