#pragma once

#include "app/ListWindow.h"

namespace tlm {

// The ingredient catalogue; with fLOV set it is the picker that hands back the chosen key.
class frmZutatList : public ListWindow
{
    Q_OBJECT
public:
    frmZutatList();

    void fncSelect();

    qint32 fZUTNR = 0;
    bool fLOV = false;

    QPushButton* sfSelect;

protected:
    void gd1_DblClick() override;
};

// Opens the ingredient list, as the picker when lov is set; the chosen key, or the key passed in.
qint32 fncDlgZutatList(qint32 zutNr, bool lov);

} // namespace tlm
