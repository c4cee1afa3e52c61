#pragma once

#include <QString>
#include <QStringList>

namespace tlm {

class PgEngine;

// One of the bundled scripts, written for SQLite, as PostgreSQL takes it: the same tables, views and
// rows, each table with the version column the server's programs compare, SQLite's triggers as
// trigger functions.
QString pgScript(const QString& sqliteScript);

// What tells whether a server database is empty, the program's and of which version: the tables
// there, then the version (asked only of the program's).
QStringList schemaQuestions();

// Makes the program's tables, views and indexes in an empty server database (with the sample
// catalogue, as a new file gets it from the template), in one transaction; brings the views and
// indexes of an older one up to date. A database of a later version is marked newer and not changed.
// For a copy an empty database stays empty: the copy makes the tables in its own transaction.
void preparePgDatabase(PgEngine& engine, bool readOnly, bool forCopy, bool* newer);

// Makes the program's empty tables (only the reference rows) in an empty server database, for a
// copy to fill; runs in the caller's transaction, which two programs making them at once share in turn.
void createPgSchema(PgEngine& engine);

} // namespace tlm
