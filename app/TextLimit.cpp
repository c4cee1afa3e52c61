#include "app/TextLimit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVariant>

namespace tlm {

namespace {
const char* const kLimit = "tlmLimit";   // the limit for typing
const char* const kStored = "tlmStored"; // the length of the value shown from the database
} // namespace

void limitLength(QPlainTextEdit* edit, int maxChars)
{
    edit->setProperty(kLimit, maxChars);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit] {
        const QString text = edit->toPlainText();
        const int limit = qMax(edit->property(kLimit).toInt(), edit->property(kStored).toInt());
        if (text.size() <= limit)
            return;
        // What was just typed or pasted before the cursor is cut back; the text already there stays.
        const int excess = text.size() - limit;
        const int pos = edit->textCursor().position();
        const int cut = qMax(0, pos - excess);
        const QSignalBlocker block(edit);
        edit->setPlainText(QString(text).remove(cut, excess));
        QTextCursor c = edit->textCursor();
        c.setPosition(cut);
        edit->setTextCursor(c);
    });
}

void showStored(QLineEdit* box, const QString& text)
{
    if (!box->property(kLimit).isValid())
        box->setProperty(kLimit, box->maxLength());
    box->setMaxLength(qMax(box->property(kLimit).toInt(), int(text.size())));
    box->setText(text);
}

void showStored(QPlainTextEdit* box, const QString& text)
{
    box->setProperty(kStored, int(text.size()));
    box->setPlainText(text);
}

} // namespace tlm
