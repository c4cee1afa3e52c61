#pragma once

#include <QString>

namespace tlm {

enum MsgResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// A message box by the classic style numbers (0 OK, 36 question Yes/No, 48 exclamation OK,
// 64 information OK; 256 added makes the second button the default); a single carriage return
// shows as a line break. An empty title gives the program's title.
int msgBox(const QString& text, int style = 0, const QString& title = QString());

// Without a window (the command line): every box's text goes to the error output instead, and a
// question is answered No.
void setBoxesToErrorOutput(bool on);
bool boxesToErrorOutput();

// One line on the error output: "tlm: " and the text, its line breaks joined.
void tellOnErrorOutput(const QString& text);

// A warning: the exclamation icon, OK, the title "Achtung".
void warn(const QString& text);

// "Soll dieser Eintrag wirklich entfernt werden?" with Yes and No, No the default (Enter deletes
// nothing); true on Yes.
bool confirmDelete();

} // namespace tlm
