// The ingredient editor's list of the dishes that use it opens their windows from here: the dish
// windows open the ingredient windows, so the way back lives beside them, not in ingredients/.
#include "app/DataGrid.h"
#include "app/ErrorReporter.h"
#include "data/Convert.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmRezDet.h"
#include "ingredients/frmZutatDet.h"

namespace tlm {

void frmZutatDet::fncEditRezDet()
{
    guard("frmZutatDet/fncEditRezDet", [&] {
        if (gd1->noCurrentRow())
            return;
        const qint32 gerNr = toInt32(gd1->columnValue(QStringLiteral("GERNR")));
        const qint32 rezNr = toInt32(gd1->columnValue(QStringLiteral("REZNR")));
        fncDlgRezDet(rezNr, gerNr);
        fncReqGerichte(gerNr);
    });
}

void frmZutatDet::fncEditGerichtDet()
{
    guard("frmZutatDet/fncEditGerichtDet", [&] {
        if (gd1->noCurrentRow())
            return;
        fncDlgGerichtDet(toInt32(gd1->columnValue(QStringLiteral("GERNR"))));
    });
}

} // namespace tlm
