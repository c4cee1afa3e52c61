#include "app/TextLimit.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace tlm {

void limitLength(QPlainTextEdit* edit, int maxChars)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maxChars] {
        const QString text = edit->toPlainText();
        if (text.size() <= maxChars)
            return;
        // What was just typed or pasted before the cursor is cut back; the text already there stays.
        const int excess = text.size() - maxChars;
        const int pos = edit->textCursor().position();
        const int cut = qMax(0, pos - excess);
        const QSignalBlocker block(edit);
        edit->setPlainText(QString(text).remove(cut, excess));
        QTextCursor c = edit->textCursor();
        c.setPosition(cut);
        edit->setTextCursor(c);
    });
}

} // namespace tlm
