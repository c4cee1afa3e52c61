#include "app/CurrencyEdit.h"

#include "app/TextLimit.h"
#include "data/Convert.h"

#include <cmath>

namespace tlm {

CurrencyEdit::CurrencyEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(20);
    connect(this, &QLineEdit::editingFinished, this, &CurrencyEdit::reformat);
}

void CurrencyEdit::setText(const QString& text)
{
    showStored(this, text);
    reformat();
}

void CurrencyEdit::reformat()
{
    double d = 0;
    if (!parseNumber(text(), &d))
        return;
    // Cents as usual; a price stored with finer decimals keeps them, so saving never changes it.
    const bool cents = std::abs(d * 100 - std::round(d * 100)) < 1e-7;
    showStored(this, currencyText(d, cents ? 2 : 4));
}

} // namespace tlm
