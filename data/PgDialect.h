#pragma once

#include <QString>

namespace tlm {

// A statement of the program, written in SQLite's dialect, as PostgreSQL takes it: "?" numbered,
// "insert or ignore", the German (case-insensitive) like, and Null sorting first as SQLite sorts it.
QString pgStatement(const QString& sql);

} // namespace tlm
