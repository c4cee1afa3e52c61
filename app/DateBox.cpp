#include "app/DateBox.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace tlm {

bool isPlannableDate(const QDate& d)
{
    return d.isValid() && d.year() >= kFirstYear && d.year() <= kLastYear;
}

DateBox::DateBox(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setDate(QDate::currentDate());
}

void DateBox::focusInEvent(QFocusEvent* e)
{
    QDateEdit::focusInEvent(e);
    m_advanced = false;
    // A click places the cursor where the user clicked.
    if (e->reason() != Qt::MouseFocusReason)
        setSelectedSection(DaySection);
}

void DateBox::keyPressEvent(QKeyEvent* e)
{
    const QString text = e->text();
    const bool separator = text == QLatin1String(".") || text == QLatin1String(",");
    if (separator && m_advanced) {
        m_advanced = false;
        e->accept();
        return;
    }
    const Section before = currentSection();
    QDateEdit::keyPressEvent(e);
    m_advanced = text.size() == 1 && text[0].isDigit() && currentSection() != before;
}

} // namespace tlm
