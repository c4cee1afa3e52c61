#pragma once

#include <QDate>
#include <QString>

namespace tlm {

// What a run from the command line writes: every report as PDF into a folder, and/or the shopping
// list as CSV; the cost report restricted to von..bis where given.
struct BatchRun
{
    QString pdfFolder;
    QString csvFile;
    QDate von;
    QDate bis;
};

// Opens the database read-only (and takes no lock: it runs beside an open window), writes the
// files and prints each one written, one a line. On any failure the German message goes to the
// error output, no file is written and the result is 1; otherwise 0.
int runBatch(const BatchRun& run);

} // namespace tlm
