#pragma once

#include <QDialog>

namespace tlm {

// 15 twips are one pixel at 96 dpi; the windows keep their designed sizes.
constexpr int tw(int twips) { return twips / 15; }

// What every dialog of the program shares: its name, caption and designed size; Enter presses the
// default button (OK), Escape closes without saving; "unload" closes it.
class Dialog : public QDialog
{
    Q_OBJECT
public:
    Dialog(const QString& name, const QString& caption, int widthTwips, int heightTwips);
    void unload() { done(0); }
};

} // namespace tlm
