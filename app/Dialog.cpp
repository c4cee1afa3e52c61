#include "app/Dialog.h"

namespace tlm {

Dialog::Dialog(const QString& name, const QString& caption, int widthTwips, int heightTwips)
{
    setObjectName(name);
    setWindowTitle(caption);
    resize(tw(widthTwips), tw(heightTwips));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

} // namespace tlm
