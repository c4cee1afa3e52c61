#pragma once

#include <QString>

namespace tlm {

// The whole plan to a file, and a file to the whole plan (checked whole first, then replacing the
// plan in one transaction: a faulty line raises its error with the line number and changes nothing).
void exportPlan(const QString& path);
void importPlan(const QString& path);

} // namespace tlm
