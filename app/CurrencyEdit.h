#pragma once

#include <QLineEdit>

namespace tlm {

// A price box: shows its number in currency format and reads back the same number.
class CurrencyEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CurrencyEdit(QWidget* parent = nullptr);
    // Sets the number (as text) and shows it in currency format when it is one.
    void setText(const QString& text);

private:
    void reformat();
};

} // namespace tlm
