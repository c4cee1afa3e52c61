#include "app/AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

namespace tlm {

namespace {
// "&Gericht:" is read "Gericht".
QString plain(QString caption)
{
    caption.remove('&');
    caption = caption.trimmed();
    while (caption.endsWith(':') || caption.endsWith(QChar(0x2026)) || caption.endsWith('.'))
        caption.chop(1);
    return caption.trimmed();
}

// "…", "|<", "<": signs a reader cannot speak as what the button does.
bool onlyAnIcon(const QString& name)
{
    for (const QChar c : name)
        if (c.isLetterOrNumber())
            return false;
    return true;
}

QRect placeIn(const QWidget* w, const QWidget* window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

// How far c stands left of r on r's row (across r's middle); -1 when it does not.
int gapLeftOnRow(const QRect& c, const QRect& r)
{
    const bool onRow = c.top() <= r.center().y() && c.bottom() >= r.center().y();
    return onRow && c.right() <= r.left() + 2 ? qMax(0, r.left() - c.right()) : -1;
}

// A control that only captions the one at its right: a label, or a radio button or check box
// standing in front of a field of its own.
QString captionOf(const QWidget* w)
{
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->buddy() ? QString() : plain(l->text());
    if (qobject_cast<const QRadioButton*>(w) || qobject_cast<const QCheckBox*>(w))
        return plain(static_cast<const QAbstractButton*>(w)->text());
    return {};
}

// The caption at the control's left on its row, else the one just above it, else the button right
// after it that acts on what it holds ("3" [Alle N Tage]).
QString nearbyCaption(QWidget* control, QWidget* window)
{
    const QRect r = placeIn(control, window);
    QString left, above, right;
    int leftGap = INT_MAX, aboveGap = INT_MAX, rightGap = 20;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w == control || !w->isVisibleTo(window))
            continue;
        const QRect c = placeIn(w, window);
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            const int gap = gapLeftOnRow(r, c); // the control left of the button
            if (gap >= 0 && gap < rightGap && !plain(b->text()).isEmpty()) {
                rightGap = gap;
                right = plain(b->text());
            }
            continue;
        }
        const QString caption = captionOf(w);
        if (caption.isEmpty())
            continue;
        if (const int gap = gapLeftOnRow(c, r); gap >= 0 && gap < leftGap) {
            leftGap = gap;
            left = caption;
        } else if (c.bottom() <= r.top() + 2 && c.left() < r.right() && c.right() > r.left() &&
                   r.top() - c.bottom() < qMin(aboveGap, 40)) {
            aboveGap = r.top() - c.bottom();
            above = caption;
        }
    }
    return !left.isEmpty() ? left : !above.isEmpty() ? above : right;
}

// The input at the button's left on its row: "…" chooses for it.
QWidget* fieldBefore(QWidget* button, QWidget* window)
{
    const QRect r = placeIn(button, window);
    QWidget* best = nullptr;
    int gap = INT_MAX;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w == button || !isInput(w) || qobject_cast<QAbstractButton*>(w) || !w->isVisibleTo(window))
            continue;
        if (const int g = gapLeftOnRow(placeIn(w, window), r); g >= 0 && g < gap) {
            gap = g;
            best = w;
        }
    }
    return best;
}
} // namespace

QString spokenName(QWidget* control)
{
    // Not the accessible interface's Name: on Linux a combo box's is its current text, and a label
    // reaches the reader as a relation.
    if (!control->accessibleName().isEmpty())
        return control->accessibleName();
    if (QWidget* window = control->window())
        for (const QLabel* l : window->findChildren<QLabel*>())
            if (l->buddy() == control && !plain(l->text()).isEmpty())
                return plain(l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(control); b && !onlyAnIcon(b->text()))
        return plain(b->text());
    return {};
}

bool isInput(const QWidget* control)
{
    const QString name = control->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
        return false;
    return qobject_cast<const QLineEdit*>(control) || qobject_cast<const QAbstractSpinBox*>(control) ||
           qobject_cast<const QComboBox*>(control) || qobject_cast<const QAbstractButton*>(control) ||
           qobject_cast<const QAbstractItemView*>(control) || qobject_cast<const QTextEdit*>(control) ||
           qobject_cast<const QPlainTextEdit*>(control);
}

void nameInputs(QWidget* window)
{
    QList<QWidget*> iconButtons;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!isInput(w) || !w->accessibleName().isEmpty())
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (onlyAnIcon(b->text()))
                iconButtons << b; // after the fields have their names
            continue;
        }
        if (!plain(spokenName(w)).isEmpty())
            continue; // a buddy label already speaks for it
        QString name = nearbyCaption(w, window);
        if (name.isEmpty())
            name = plain(w->toolTip());
        if (name.isEmpty())
            if (auto* line = qobject_cast<QLineEdit*>(w))
                name = line->placeholderText();
        if (name.isEmpty() && qobject_cast<QAbstractItemView*>(w))
            name = window->windowTitle();
        if (!name.isEmpty())
            w->setAccessibleName(name);
    }
    for (QWidget* b : iconButtons) {
        QString name = plain(b->toolTip());
        if (name.isEmpty())
            if (QWidget* field = fieldBefore(b, window))
                name = plain(spokenName(field)) + QStringLiteral(" wählen");
        if (!name.isEmpty())
            b->setAccessibleName(name);
    }
}

} // namespace tlm
