#pragma once

#include <QString>

namespace tlm {

// Makes a new database file from the schema (and the sample catalogue); never replaces an
// existing file. Returns an empty text on success, otherwise what went wrong.
QString createDatabase(const QString& path, bool withSample);

// The text of one of the bundled scripts (":/data/schema.sql", ":/data/sample.sql").
QString bundledScript(const QString& name);

} // namespace tlm
