#include "app/WindowSettings.h"

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
} // namespace

void restorePlace(QWidget* window)
{
    const QSettings settings;
    const QRect place = settings.value(key(window, "Platz")).toRect();
    if (place.isValid())
        window->resize(place.size().expandedTo(window->minimumSize()));
    if (place.isValid() && QGuiApplication::screenAt(place.center()))
        window->move(place.topLeft());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
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
