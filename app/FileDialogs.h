#pragma once

#include <QString>

class QWidget;

namespace tlm {

// Save and open dialogs with a VB-style filter ("Name (*.x)|*.x"), all files offered second.
// The chosen path, or the empty text on cancel.
QString fncFileSave(QWidget* owner, const QString& dir, const QString& name, const QString& filter,
                    const QString& defaultExt);
QString fncFileOpen(QWidget* owner, const QString& dir, const QString& name, const QString& filter,
                    const QString& defaultExt);

} // namespace tlm
