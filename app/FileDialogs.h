#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace tlm {

// Save and open dialogs with a VB-style filter ("Name (*.x)|*.x"), all files offered second.
// The chosen path, or the empty text on cancel. A save dialog asks before it replaces a file.
QString fncFileSave(QWidget* owner, const QString& dir, const QString& name, const QString& filter,
                    const QString& defaultExt);
QString fncFileOpen(QWidget* owner, const QString& dir, const QString& name, const QString& filter,
                    const QString& defaultExt);

// Where a file dialog of a kind ("tlm", "csv", "pdf") opens: the folder used last for that kind, else
// the caller's folder when it can be written and is not the installed program's own, else the
// user's documents folder, else home. Never a folder that cannot be written.
QString fileDialogFolder(const QString& kind, const QString& proposed);
// The folder of a file chosen in a dialog of that kind, for the next one.
void keepFileDialogFolder(const QString& kind, const QString& chosenFile);

// Runs a save dialog until the user picks a name that is new or agrees to replace its file
// ("„Sommerlager.tlm“ gibt es schon. Ersetzen?", No the default). The path, or empty on cancel.
QString execSaveDialog(QFileDialog& dialog);

} // namespace tlm
