#include "app/WindowSettings.h"

#include "app/DesktopManners.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace tlm {

namespace {
QString key(const QWidget* window, const char* what)
{
    return QStringLiteral("Fenster/") + window->objectName() + '/' + QLatin1String(what);
}

// The screen that shows the middle of the frame's top edge (its title bar, where the window is taken
// to move it) within the room left by the panels; nullptr when that is on no screen.
const QScreen* screenShowingTop(const QRect& frame)
{
    const QPoint top(frame.center().x(), frame.top() + 8);
    for (const QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().contains(top))
            return s;
    return nullptr;
}
} // namespace

void restorePlace(QWidget* window)
{
    const QSettings settings;
    const QRect place = settings.value(key(window, "Platz")).toRect();
    // A place stored at another scale or with another screen may lie off every screen now: then the
    // window goes to the middle of the primary screen, no larger than it.
    if (place.isValid())
        window->resize(place.size().expandedTo(window->minimumSize()));
    const QScreen* screen = place.isValid() ? screenShowingTop(place) : nullptr;
    if (screen) {
        window->move(place.topLeft());
    } else if ((screen = QGuiApplication::primaryScreen())) {
        const QRect room = screen->availableGeometry();
        fitIntoScreen(window, room);
        const QPoint middle = room.center() - window->rect().center();
        window->move(qMax(middle.x(), room.left()), qMax(middle.y(), room.top()));
    }
    if (settings.value(key(window, "Maximiert")).toBool())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void storePlace(const QWidget* window)
{
    QSettings settings;
    settings.setValue(key(window, "Maximiert"), window->isMaximized());
    // The normal place, so that a maximised window comes back to it when made smaller again: the
    // frame's corner, which is what move() places, with the inner size, which is what resize() takes.
    // The inner corner would bring the window back lower by its title bar at every start.
    const QRect normal = window->isMaximized() ? window->normalGeometry() : window->geometry();
    const QPoint frame = window->geometry().topLeft() - window->frameGeometry().topLeft();
    if (normal.isValid())
        settings.setValue(key(window, "Platz"), QRect(normal.topLeft() - frame, normal.size()));
}

void restoreSize(QWidget* window)
{
    const QSize size = QSettings().value(key(window, "Groesse")).toSize();
    if (size.isValid())
        window->resize(size.expandedTo(window->minimumSize()));
}

void storeSize(const QWidget* window)
{
    QSettings().setValue(key(window, "Groesse"), window->size());
}

} // namespace tlm
