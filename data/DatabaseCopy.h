#pragma once

#include <QString>

namespace tlm {

// Copies a whole database, every table and row, from a file or server to a new file or an empty
// server database: all or nothing. A target that holds data is refused, the source only read.
// Returns the number of rows copied; errors raise.
qint64 copyWholeDatabase(const QString& source, const QString& target);

} // namespace tlm
