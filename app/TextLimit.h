#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace tlm {

// Keeps a multi-line box at most maxChars long while the user types or pastes.
void limitLength(QPlainTextEdit* edit, int maxChars);

// Shows a stored value whole: a box's length limit holds for typing and pasting, never for what the
// database already holds, so that opening and saving a record leaves its texts as they were.
void showStored(QLineEdit* box, const QString& text);
void showStored(QPlainTextEdit* box, const QString& text);

} // namespace tlm
