#include "data/Backup.h"

#include "data/Error.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace tlm {

namespace {
constexpr int kCopies = 5;

bool passesCheck(const QString& path)
{
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return false;
    sqlite3* db = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            ok = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok";
        sqlite3_finalize(st);
    }
    sqlite3_close_v2(db);
    return ok;
}
} // namespace

QString backupPath(const QString& dbPath, int n)
{
    return dbPath + ".bak" + QString::number(n);
}

QString backupDatabase(sqlite3* db, const QString& dbPath)
{
    const QFileInfo newest(backupPath(dbPath, 1));
    if (newest.exists() && newest.lastModified().date() == QDate::currentDate())
        return {};
    const QString temp = dbPath + ".bak.new";
    QFile::remove(temp);
    sqlite3* copy = nullptr;
    int rc = sqlite3_open_v2(temp.toUtf8().constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* b = sqlite3_backup_init(copy, "main", db, "main");
        if (b) {
            sqlite3_backup_step(b, -1);
            rc = sqlite3_backup_finish(b);
        } else {
            rc = sqlite3_errcode(copy);
        }
    }
    const QString message = QString::fromUtf8(copy ? sqlite3_errmsg(copy) : sqlite3_errstr(rc));
    sqlite3_close_v2(copy);
    if (rc != SQLITE_OK) {
        QFile::remove(temp);
        raise(rc, QStringLiteral("Die Sicherung '%1' kann nicht angelegt werden: %2")
                      .arg(backupPath(dbPath, 1), message));
    }
    QFile::remove(backupPath(dbPath, kCopies));
    for (int n = kCopies - 1; n >= 1; --n)
        if (QFile::exists(backupPath(dbPath, n)))
            QFile::rename(backupPath(dbPath, n), backupPath(dbPath, n + 1));
    if (!QFile::rename(temp, backupPath(dbPath, 1))) {
        QFile::remove(temp);
        raise(75,
              QStringLiteral("Die Sicherung '%1' kann nicht angelegt werden.").arg(backupPath(dbPath, 1)));
    }
    return backupPath(dbPath, 1);
}

QString newestGoodBackup(const QString& dbPath)
{
    for (int n = 1; n <= kCopies; ++n)
        if (passesCheck(backupPath(dbPath, n)))
            return backupPath(dbPath, n);
    return {};
}

} // namespace tlm
