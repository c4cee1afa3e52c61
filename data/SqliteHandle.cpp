#include "data/SqliteHandle.h"

#include <QStringList>
#include <sqlite3.h>

namespace tlm {

void SqliteCloser::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

SqliteHandle openSqlite(const QString& path, int flags, int* rc)
{
    sqlite3* db = nullptr;
    *rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    return SqliteHandle(db);
}

bool QuickCheck::passed() const
{
    return rc == SQLITE_DONE && findings == QLatin1String("ok");
}

QuickCheck quickCheck(sqlite3* db)
{
    QuickCheck check;
    QStringList lines;
    sqlite3_stmt* st = nullptr;
    check.rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr);
    if (check.rc == SQLITE_OK)
        while ((check.rc = sqlite3_step(st)) == SQLITE_ROW)
            lines << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    if (check.rc != SQLITE_DONE)
        check.engineText = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    check.findings = lines.join(' ');
    return check;
}

} // namespace tlm
