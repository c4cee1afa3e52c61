#pragma once

#include <QDateEdit>

namespace tlm {

// The years a date box takes; a date outside them is a slip of the keyboard (2707, 8066).
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2999;
bool isPlannableDate(const QDate& d);

// A date box that takes a date typed whole, with or without its dots: the dot after a full day or
// month only confirms the move to the next part. Entering the box by the keyboard selects the day,
// so that typing starts there, also after Shift+Tab.
class DateBox : public QDateEdit
{
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool m_advanced = false; // the last key filled a part and moved on
};

} // namespace tlm
