#include "reports/frmDlgDruck.h"

#include "app/Dialog.h"
#include "app/ErrorReporter.h"
#include "reports/ReportPrinter.h"

#include <QAction>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace tlm {

namespace {
QPointer<frmDlgDruck>& instance()
{
    static QPointer<frmDlgDruck> p;
    return p;
}
} // namespace

frmDlgDruck::frmDlgDruck() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmDlgDruck"));
    setWindowTitle(QStringLiteral("Druckvorschau"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false); // the program ends with its main window, preview or not
    vp = new ReportPrinter(this);
    vp->move(tw(120), tw(120));
    auto* escape = new QAction(this); // Esc closes the preview as it closes every window
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, this, &QWidget::close);
    addAction(escape);
    resize(tw(7755), tw(8415));
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void frmDlgDruck::Form_Resize()
{
    guard("frmDlgDruck/Form_Resize", [&] {
        const int h = height() - 2 * vp->y();
        if (h > 0)
            vp->resize(vp->width(), h);
        const int w = width() - vp->x() - vp->y();
        if (w > 0)
            vp->resize(w, vp->height());
    });
}

void frmDlgDruck::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Form_Resize();
}

frmDlgDruck* frmDlgDruck::shared()
{
    return instance();
}

frmDlgDruck* frmDlgDruck::showShared()
{
    if (!instance())
        instance() = new frmDlgDruck();
    instance()->show();
    instance()->raise();
    instance()->activateWindow();
    return instance();
}

} // namespace tlm
