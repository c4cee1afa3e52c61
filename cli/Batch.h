#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace tlm {

// The CSV target that means the standard output.
inline const QString kStandardOutput = QStringLiteral("-");

// What a run from the command line writes: every report as PDF into a folder, and/or the shopping
// list as CSV (kStandardOutput: to the standard output); the cost report restricted to von..bis
// where given.
struct BatchRun
{
    QString pdfFolder;
    QString csvFile;
    QDate von;
    QDate bis;
};

// Checks every target, opens the database read-only (and takes no lock: it runs beside an open
// window), writes the files and prints each one written, one a line (none when the CSV goes to the
// standard output). Every report and the CSV read one state of the data, whatever others change
// meanwhile. On any failure one German line goes to the error output, no file is written and the
// result is 1; otherwise 0.
int runBatch(const BatchRun& run);
// Called with each report's file name once it is written, before the next one is read: a test holds
// the run there. None by default.
void setBetweenReports(std::function<void(const QString&)> hook);
// tlm --kopieren: the whole database from source to target; says the target on the output.
int runCopy(const QString& source, const QString& target);

} // namespace tlm
