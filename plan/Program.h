#pragma once

class QApplication;

namespace tlm {

// The program as the user starts it: the one-program-per-database guard, then the main window with
// its start-up, then the event loop. The exit code.
int runProgram(QApplication& app);

} // namespace tlm
