#include "app/UpDown.h"

#include "app/Named.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace tlm {

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    auto make = [&](Qt::ArrowType arrow, const char* name) {
        auto* b = makeNamed<QToolButton>(this, name);
        b->setArrowType(arrow);
        // An arrow alone says nothing to a screen reader.
        b->setAccessibleName(arrow == Qt::UpArrow ? QStringLiteral("Mehr") : QStringLiteral("Weniger"));
        b->setAutoRepeat(true);
        b->setFixedSize(18, 11);
        b->setFocusPolicy(Qt::NoFocus);
        box->addWidget(b);
        return b;
    };
    connect(make(Qt::UpArrow, "up"), &QToolButton::clicked, this, &UpDown::upClick);
    connect(make(Qt::DownArrow, "down"), &QToolButton::clicked, this, &UpDown::downClick);
}

} // namespace tlm
