#pragma once

#include <QString>

namespace tlm {

class ReportPrinter;

// Shows the shared preview and starts a new document under the page header with the title, in the
// margins and fonts every report uses; the cursor stands at 1000 twips.
ReportPrinter& startReport(const QString& title);

} // namespace tlm
