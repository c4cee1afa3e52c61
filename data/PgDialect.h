#pragma once

#include <QString>

namespace tlm {

// A statement of the program, written in SQLite's dialect, as PostgreSQL takes it: "?" numbered,
// "insert or ignore", the German (case-insensitive) like, and Null sorting first as SQLite sorts it.
// Comments are left as they are; appended goes after the statement's last word, before a closing ";".
QString pgStatement(const QString& sql, const QString& appended = QString());

} // namespace tlm
