#pragma once

#include "app/ListWindow.h"

namespace tlm {

// The dish catalogue: search by the beginning of the name, edit, add, remove.
class frmGerichtList : public ListWindow
{
    Q_OBJECT
public:
    frmGerichtList();

    void Form_Load();
    void fncReq(qint32 key, const QString& filter);
    void fncEdit();
    void fncDel();

    QPushButton* sfEdit;
    QPushButton* sfAdd;
    QPushButton* sfDel;
    QPushButton* sfExit;
};

} // namespace tlm
