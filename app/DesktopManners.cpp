#include "app/DesktopManners.h"

#include "app/AccessibleNames.h"
#include "app/Handbook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

namespace tlm {

void fitIntoScreen(QWidget* window, const QRect& available)
{
    // The frame around the window: its title bar and borders, when the window system told us.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    const QSize room = (available.size() - frame).expandedTo(QSize(1, 1));
    if (window->minimumWidth() > room.width() || window->minimumHeight() > room.height())
        window->setMinimumSize(window->minimumSize().boundedTo(room));
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
}

bool DesktopManners::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
        if (auto* w = qobject_cast<QWidget*>(watched);
            w && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog)) {
            if (const QScreen* screen = w->screen())
                fitIntoScreen(w, screen->availableGeometry());
            nameInputs(w);
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || !w->window())
            break;
        QWidget* window = w->window();
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier &&
            window->objectName() != QLatin1String("frmHandbuch")) {
            // The main window's F1 is its menu entry "Handbuch"; every other window opens its section.
            showHandbook(window->objectName());
            return true;
        }
        if (key->matches(QKeySequence::Find))
            if (auto* search = window->findChild<QLineEdit*>(QStringLiteral("txSuch"))) {
                search->setFocus(Qt::ShortcutFocusReason);
                search->selectAll();
                return true;
            }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tlm
