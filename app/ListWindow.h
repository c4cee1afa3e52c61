#pragma once

#include "app/Dialog.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tlm {

class DataGrid;

// The catalogue lists' common frame: the search row on top, the grid, a row of buttons below.
class ListWindow : public Dialog
{
    Q_OBJECT
public:
    ListWindow(const QString& name, const QString& caption, int widthTwips, int heightTwips);

    QLabel* Label1;
    QLineEdit* txSuch;
    QPushButton* sfSuche;
    DataGrid* gd1;

protected:
    QPushButton* addButton(const char* name, const QString& caption);

private:
    QHBoxLayout* m_buttons;
};

// " where COLUMN like 'text%'" for a search text that is not blank, the text kept as typed with
// its apostrophes doubled; otherwise the empty text.
QString likeFilter(const QString& column, const QString& search);

} // namespace tlm
