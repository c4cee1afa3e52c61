#include "app/FileDialogs.h"

#include "app/ErrorReporter.h"

#include <QFileDialog>

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

QString runDialog(const char* tag, bool save, QWidget* owner, const QString& dir, const QString& name,
                  const QString& filter, const QString& ext)
{
    std::unique_ptr<QFileDialog> dlg;
    const bool prepared = guardOr(tag, false, [&] {
        dlg = std::make_unique<QFileDialog>(owner);
        dlg->setObjectName(QStringLiteral("cd"));
        dlg->setOption(QFileDialog::DontUseNativeDialog);
        dlg->setDirectory(dir);
        dlg->selectFile(name);
        dlg->setNameFilters(qtFilters(filter));
        dlg->setDefaultSuffix(ext);
        if (save) {
            dlg->setAcceptMode(QFileDialog::AcceptSave);
            dlg->setFileMode(QFileDialog::AnyFile);
            dlg->setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dlg->setAcceptMode(QFileDialog::AcceptOpen);
            dlg->setFileMode(QFileDialog::ExistingFile);
        }
        return true;
    });
    if (!prepared)
        return {};
    // From here on anything but a chosen file counts as cancel, without a message.
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty())
        return {};
    return dlg->selectedFiles().first();
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

} // namespace tlm
