#pragma once

#include <QString>

struct sqlite3;

namespace tlm {
class Connection;
}

namespace tlm {

// Keeps copies of the database beside it: tlm.mdb.bak1 (newest) ... tlm.mdb.bak5 (oldest), at most
// one new copy per calendar day. Each copy is made with SQLite's backup API under a temporary name
// and renamed only when complete. Returns the new copy's path, or the empty text when today's
// copy already exists.
QString backupDatabase(sqlite3* db, const QString& dbPath);

// The whole database copied to target with the backup API, under a temporary name first and put in
// place by a rename, replacing an older copy of that name.
void copyDatabase(sqlite3* db, const QString& target);

// The newest copy that opens and passes its check, or the empty text.
QString newestGoodBackup(const QString& dbPath);

QString backupPath(const QString& dbPath, int n);

// The same for the open database: a file only; a server keeps its own backups (nothing is done, the
// empty text comes back).
QString backupDatabase(const Connection& c, const QString& dbPath);
void copyDatabase(const Connection& c, const QString& target);

} // namespace tlm
