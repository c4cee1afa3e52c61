#pragma once

#include <QtGlobal>

namespace tlm {

class ReportPrinter;

void fncDruckSpeiseplan();
// Kind 1 everything, 2 what keeps, 3 fresh produce per day.
void fncDruckEinkauf(qint16 kind);
void fncDruckKochbuch();

// Shows the shared preview and starts a new document under the page header with the title.
ReportPrinter& startReport(const QString& title);

} // namespace tlm
