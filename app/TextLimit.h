#pragma once

class QPlainTextEdit;

namespace tlm {

// Keeps a multi-line box at most maxChars long, whether typed or pasted.
void limitLength(QPlainTextEdit* edit, int maxChars);

} // namespace tlm
