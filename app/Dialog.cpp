#include "app/Dialog.h"

#include "app/DateBox.h"
#include "app/ErrorReporter.h"
#include "app/MessageBox.h"
#include "app/WindowSettings.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Error.h"

#include <QDateEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace tlm {

Dialog::Dialog(const QString& name, const QString& caption, int widthTwips, int heightTwips)
{
    setObjectName(name);
    setWindowTitle(caption);
    resize(tw(widthTwips), tw(heightTwips));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void Dialog::keepSize()
{
    m_keepSize = true;
    setMinimumSize(size());
    restoreSize(this);
}

void Dialog::done(int result)
{
    if (m_keepSize)
        storeSize(this);
    QDialog::done(result);
}

QFrame* Dialog::makeLine(const char* name)
{
    auto* line = make<QFrame>(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void Dialog::layOutForm(QLayout* fields, QWidget* line, std::initializer_list<QWidget*> right, QWidget* left,
                        int stretch)
{
    auto* buttons = new QHBoxLayout;
    if (left)
        buttons->addWidget(left);
    buttons->addStretch();
    for (QWidget* b : right)
        buttons->addWidget(b);
    auto* box = new QVBoxLayout(this);
    box->addLayout(fields, stretch);
    if (stretch == 0)
        box->addStretch();
    box->addWidget(line);
    box->addLayout(buttons);
}

QDateEdit* Dialog::makeDatePicker(const char* name)
{
    return make<DateBox>(name);
}

bool Dialog::requireDate(QDateEdit* box)
{
    if (isPlannableDate(box->date()))
        return true;
    warn(QStringLiteral("Bitte ein Datum aus den Jahren %1 bis %2 eingeben.").arg(kFirstYear).arg(kLastYear));
    box->setFocus();
    box->setSelectedSection(QDateTimeEdit::YearSection);
    return false;
}

void Dialog::proposeSpan(QDateEdit* von, QDateEdit* bis)
{
    const PlanSpan span = proposedSpan();
    if (span.first.isValid()) {
        von->setDate(span.first);
        bis->setDate(span.last);
    }
}

bool Dialog::requireSpan(QDateEdit* von, QDateEdit* bis, const QString& tooLong)
{
    if (!requireDate(von) || !requireDate(bis))
        return false;
    if (bis->date() < von->date()) {
        warn(QStringLiteral("Das Datum bei „Bis:“ liegt vor dem bei „Von:“."));
        return false;
    }
    if (von->date().daysTo(bis->date()) >= kLongestSpan) {
        warn(tooLong.isEmpty()
                 ? QStringLiteral("Der Zeitraum darf höchstens %1 Tage lang sein.").arg(kLongestSpan)
                 : tooLong);
        bis->setFocus();
        return false;
    }
    return true;
}

QPushButton* Dialog::makeButton(const char* name, const QString& caption)
{
    auto* b = make<QPushButton>(name, caption);
    b->setAutoDefault(false);
    return b;
}

QPushButton* Dialog::makeOkButton()
{
    auto* b = make<QPushButton>("sfOK", QStringLiteral("OK"));
    b->setDefault(true);
    return b;
}

void Dialog::tabOrder(std::initializer_list<QWidget*> order)
{
    const QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (previous)
            setTabOrder(const_cast<QWidget*>(previous), w);
        previous = w;
    }
}

bool Dialog::requireNumber(QLineEdit* box)
{
    double d = 0;
    if (box->text().trimmed().isEmpty() || parseNumber(box->text(), &d))
        return true;
    msgBox(QStringLiteral("Bitte eine Zahl eingeben, zum Beispiel 2,50."), 48, QStringLiteral("Achtung"));
    box->setFocus();
    return false;
}

bool Dialog::requireWholeNumber(QLineEdit* box, int lowest, int highest, const QString& outOfRange,
                                bool emptyAllowed)
{
    double d = 0;
    const QString text = box->text().trimmed();
    QString refusal;
    if (text.isEmpty() && emptyAllowed)
        return true;
    if (!parseNumber(text, &d) || d != std::floor(d))
        refusal = QStringLiteral("Bitte eine ganze Zahl eingeben.");
    else if (d < lowest || d > highest)
        refusal = outOfRange;
    if (refusal.isEmpty())
        return true;
    msgBox(refusal, 48, QStringLiteral("Achtung"));
    box->setFocus();
    return false;
}

bool Dialog::saveEditedRecord(const QString& table, const QString& keyColumn, qint32 key,
                              const QString& columns, const std::function<void(Recordset&)>& assign,
                              qint64& version, const std::function<void()>& reload)
{
    try {
        version = saveRecord(table, keyColumn, key, columns, assign, version);
        return true;
    } catch (const Error& e) {
        if (e.number != ErrChangedElsewhere)
            throw;
        msgBox(e.description, 48, QStringLiteral("Achtung"));
    }
    reload();
    if (version < 0) {
        m_recordGone = true;
        unload();
    }
    return false;
}

void Dialog::onOk(QPushButton* ok, const char* tag, std::function<bool()> save)
{
    connect(ok, &QPushButton::clicked, this, [this, tag, save = std::move(save)] {
        guard(tag, [&] {
            if (save())
                unload();
        });
    });
}

} // namespace tlm
