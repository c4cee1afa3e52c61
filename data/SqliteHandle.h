#pragma once

#include <QString>
#include <memory>

struct sqlite3;

namespace tlm {

// One owner for every SQLite connection handle: closed when the owner goes.
struct SqliteCloser
{
    void operator()(sqlite3* db) const;
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

// Opens a file with sqlite3_open_v2's flags. The handle comes back even when opening failed
// (SQLite gives one to read the error from); rc tells.
SqliteHandle openSqlite(const QString& path, int flags, int* rc);

// PRAGMA quick_check over the whole file.
struct QuickCheck
{
    int rc = 0;         // SQLite's result of running it (SQLITE_DONE when it ran through)
    QString findings;   // "ok", or what it found
    QString engineText; // SQLite's message when it did not run through
    bool passed() const;
};
QuickCheck quickCheck(sqlite3* db);

} // namespace tlm
