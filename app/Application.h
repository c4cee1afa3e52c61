#pragma once

class QApplication;

namespace tlm {

// German texts in Qt's own dialogs and buttons, and the logo as every window's icon.
void setUpApplication(QApplication& app);

} // namespace tlm
