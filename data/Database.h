#pragma once

#include <QString>

struct sqlite3;

namespace tlm {

// Makes a new database file from the schema (and the sample catalogue); never replaces an
// existing file. Returns an empty text on success, otherwise what went wrong.
QString createDatabase(const QString& path, bool withSample);

// The text of one of the bundled scripts ("schema.sql", "derived.sql", "sample.sql").
QString bundledScript(const QString& name);

// The state of derived.sql (indexes and views) a database carries in its user_version.
constexpr int kDerivedVersion = 8;
// Columns of the program's own tables that came after the table: added where an older database
// lacks them, when derived.sql is run again.
struct AddedColumn
{
    const char* table;
    const char* column;
    const char* type;
};
inline constexpr AddedColumn kAddedColumns[] = {{"TLM_UNDO", "PLATZ", "varchar(40) not null default ''"}};
// Makes a writable database's indexes and views anew when they are older than derived.sql; they hold
// no data, so nothing stored changes. Errors raise.
void renewDerived(sqlite3* db);
// An older file only read lacks the tables of the program's own that came after it: they stand in
// empty, as temporary tables of this connection, so that its reports read "none" instead of failing.
// The file is not written.
void standInMissingTables(sqlite3* db);

} // namespace tlm
