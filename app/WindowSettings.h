#pragma once

class QWidget;

namespace tlm {

// Window sizes and places kept in the user's settings (group "Fenster", by window name), so that a
// window opens as the user left it.

// The main window: its place (the frame's corner) and size, maximised or not. A place whose title bar is
// on no screen any more is given up for the centre of the primary screen; with nothing stored the
// window keeps its size, centred.
void restorePlace(QWidget* window);
void storePlace(const QWidget* window);

// A dialog's size alone (dialogs open over their owner).
void restoreSize(QWidget* window);
void storeSize(const QWidget* window);

} // namespace tlm
