#pragma once

class QApplication;

namespace tlm {

// German texts in Qt's own dialogs and buttons, the logo as every window's icon, and what every
// window does on a desktop (DesktopManners).
void setUpApplication(QApplication& app);

} // namespace tlm
