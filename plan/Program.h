#pragma once

#include <QString>

class QApplication;

namespace tlm {

// The program as the user starts it: the one-program-per-database guard, then the main window with
// its start-up, then the event loop. A plan file given is offered for loading, by the program already
// running on the database when there is one. The exit code.
int runProgram(QApplication& app, const QString& planFile = QString());

} // namespace tlm
