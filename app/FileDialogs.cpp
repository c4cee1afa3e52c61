#include "app/FileDialogs.h"

#include "app/ErrorReporter.h"
#include "app/MessageBox.h"
#include "data/Globals.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tlm {

namespace {
QStringList qtFilters(const QString& vbFilter)
{
    const QStringList parts = (vbFilter + QStringLiteral("|Alle Dateien (*.*)|*.*")).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        if (patterns == QLatin1String("*.*"))
            out << QStringLiteral("Alle Dateien (*)"); // on this platform names need no dot
        else
            out << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + patterns + ")");
    }
    return out;
}

QString folderKey(const QString& kind)
{
    return QStringLiteral("Dateidialog/") + (kind.isEmpty() ? QStringLiteral("alle") : kind);
}

bool writableFolder(const QString& folder)
{
    const QFileInfo fi(folder);
    return !folder.isEmpty() && fi.isDir() && fi.isWritable();
}

bool ownFolderOfInstalledProgram(const QString& folder)
{
    return isInstalledProgram() &&
           QDir(folder).canonicalPath() == QDir(applicationDirectory()).canonicalPath();
}

QString runDialog(const char* tag, bool save, QWidget* owner, const QString& dir, const QString& name,
                  const QString& filter, const QString& ext)
{
    std::unique_ptr<QFileDialog> dlg;
    const bool prepared = guardOr(tag, false, [&] {
        dlg = std::make_unique<QFileDialog>(owner);
        dlg->setObjectName(QStringLiteral("cd"));
        dlg->setOption(QFileDialog::DontUseNativeDialog);
        dlg->setDirectory(fileDialogFolder(ext, dir));
        dlg->selectFile(name);
        dlg->setNameFilters(qtFilters(filter));
        dlg->setDefaultSuffix(ext);
        if (save) {
            dlg->setAcceptMode(QFileDialog::AcceptSave);
            dlg->setFileMode(QFileDialog::AnyFile);
        } else {
            dlg->setAcceptMode(QFileDialog::AcceptOpen);
            dlg->setFileMode(QFileDialog::ExistingFile);
        }
        return true;
    });
    if (!prepared)
        return {};
    // From here on anything but a chosen file counts as cancel, without a message.
    QString path;
    if (save)
        path = execSaveDialog(*dlg);
    else if (dlg->exec() == QDialog::Accepted && !dlg->selectedFiles().isEmpty())
        path = dlg->selectedFiles().first();
    if (!path.isEmpty())
        keepFileDialogFolder(ext, path);
    return path;
}
} // namespace

QString fncFileSave(QWidget* owner, const QString& dir, const QString& name, const QString& filter,
                    const QString& defaultExt)
{
    return runDialog("tlm/fncFileSave", true, owner, dir, name, filter, defaultExt);
}

QString fncFileOpen(QWidget* owner, const QString& dir, const QString& name, const QString& filter,
                    const QString& defaultExt)
{
    return runDialog("tlm/fncFileOpen", false, owner, dir, name, filter, defaultExt);
}

QString fileDialogFolder(const QString& kind, const QString& proposed)
{
    const QString last = QSettings().value(folderKey(kind)).toString();
    if (writableFolder(last))
        return last;
    // A portable copy opens where it lies, as it always did; an installed one never in /usr/bin.
    if (writableFolder(proposed) && !ownFolderOfInstalledProgram(proposed))
        return proposed;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (writableFolder(documents))
        return documents;
    return QDir::homePath();
}

void keepFileDialogFolder(const QString& kind, const QString& chosenFile)
{
    QSettings().setValue(folderKey(kind), QFileInfo(chosenFile).absolutePath());
}

QString execSaveDialog(QFileDialog& dialog)
{
    // The dialog's own question would be English where Qt's translations are missing, and Yes its
    // default: ours has No.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString path = dialog.selectedFiles().first();
        if (!QFileInfo::exists(path) ||
            msgBox(QStringLiteral("„%1“ gibt es schon. Ersetzen?").arg(QFileInfo(path).fileName()), 36 + 256,
                   QStringLiteral("Ihre Wahl ...")) == vbYes)
            return path;
    }
    return {};
}

} // namespace tlm
