#pragma once

#include "cli/Batch.h"

#include <QString>
#include <QStringList>

namespace tlm {

// Exit codes of the command line, as GNU tools have them.
enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

// What the options ask for; the program name is not among the arguments.
struct CommandLine
{
    enum Action { Window, Batch, Copy, Help, Version, Usage };
    Action action = Window;
    QString db;                     // as given, empty for the usual database
    BatchRun run;                   // the targets as given (relative to the current folder)
    QString refusal;                // for Usage: why, one German line without the "tlm: " in front
    QString copySource, copyTarget; // for Copy, as given
    QString planFile;               // for Window: a plan file to offer for loading, as given
};
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace tlm
