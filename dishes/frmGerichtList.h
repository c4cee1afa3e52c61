#pragma once

#include "app/ListWindow.h"

namespace tlm {

// The dish catalogue: search by the beginning of the name, edit, add, remove unless planned.
class frmGerichtList : public ListWindow
{
    Q_OBJECT
public:
    frmGerichtList();
};

} // namespace tlm
