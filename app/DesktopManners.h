#pragma once

#include <QObject>

class QRect;
class QWidget;

namespace tlm {

// What every window of a desktop program does, kept in one place for all of them: it fits on its
// screen at any scale, its inputs have names a screen reader speaks, F1 opens the handbook at the
// window's section, Strg+F goes to the window's search box.
class DesktopManners : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// A window no larger than the room on its screen (the smallest size it insists on included), so
// that a 1366×768 screen at a scale of 2 still holds every window whole.
void fitIntoScreen(QWidget* window, const QRect& available);

} // namespace tlm
