#include "app/Handbook.h"

#include "app/Dialog.h"
#include "app/MessageBox.h"
#include "data/Globals.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tlm {

namespace {
const QString kFile = QStringLiteral("handbuch.html");

QString& folderOverride()
{
    static QString folder;
    return folder;
}

class frmHandbuch : public Dialog
{
public:
    frmHandbuch() : Dialog(QStringLiteral("frmHandbuch"), QStringLiteral("Handbuch"), 10800, 9000)
    {
        txHandbuch = make<QTextBrowser>("txHandbuch");
        txHandbuch->setAccessibleName(QStringLiteral("Handbuch"));
        // Links to the web go to the desktop's browser; the handbook itself stays here.
        txHandbuch->setOpenExternalLinks(true);
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(txHandbuch);
        keepSize();
        setAttribute(Qt::WA_DeleteOnClose);
    }
    QTextBrowser* txHandbuch;
};
} // namespace

QString handbookFile()
{
    QStringList candidates;
    if (!folderOverride().isEmpty())
        candidates << QDir(folderOverride()).filePath(kFile);
    const QDir program(applicationDirectory());
    candidates << program.filePath(QStringLiteral("handbuch/") + kFile)
               << program.filePath(QStringLiteral("../share/fennor-tellomat/handbuch/") + kFile);
    for (const QString& c : candidates)
        if (QFileInfo(c).isFile())
            return QFileInfo(c).absoluteFilePath();
    return {};
}

void setHandbookFolder(const QString& folder)
{
    folderOverride() = folder;
}

void showHandbook(const QString& section)
{
    const QString file = handbookFile();
    if (file.isEmpty()) {
        warn(QStringLiteral("Das Handbuch ist nicht installiert (%1 fehlt).").arg(kFile));
        return;
    }
    // A window of a modal dialog is not blocked by it: the handbook opens over the window in front.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    if (owner && owner->objectName() == QLatin1String("frmHandbuch"))
        owner = owner->parentWidget();
    auto* w = static_cast<frmHandbuch*>(
        owner ? owner->findChild<QDialog*>(QStringLiteral("frmHandbuch"), Qt::FindDirectChildrenOnly)
              : nullptr);
    if (!w) {
        w = new frmHandbuch;
        if (owner)
            w->setParent(owner, w->windowFlags());
    }
    QUrl url = QUrl::fromLocalFile(file);
    if (!section.isEmpty())
        url.setFragment(section);
    w->txHandbuch->setSource(url);
    if (!section.isEmpty())
        w->txHandbuch->scrollToAnchor(section);
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace tlm
