#include "data/Backup.h"

#include "data/Connection.h"
#include "data/Error.h"
#include "data/SqliteHandle.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <filesystem>
#include <sqlite3.h>

namespace tlm {

namespace {
constexpr int kCopies = 5;

bool passesCheck(const QString& path)
{
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return false;
    int rc = 0;
    const SqliteHandle db = openSqlite(path, SQLITE_OPEN_READONLY, &rc);
    return rc == SQLITE_OK && quickCheck(db.get()).passed();
}

// A name of this process's own beside the target, so that two programs never write one file.
QString temporaryName(const QString& target)
{
    return target + QStringLiteral(".tmp") + QString::number(QCoreApplication::applicationPid());
}

// The whole database copied into a new file at path; the error text, empty on success.
QString copyInto(sqlite3* db, const QString& path)
{
    QFile::remove(path);
    // Made empty and private before SQLite writes a byte: a plan may name children's diets.
    {
        QFile made(path);
        if (made.open(QIODevice::WriteOnly))
            made.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    int rc = 0;
    QString message;
    {
        const SqliteHandle copy = openSqlite(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &rc);
        if (rc == SQLITE_OK) {
            sqlite3_backup* b = sqlite3_backup_init(copy.get(), "main", db, "main");
            if (b) {
                sqlite3_backup_step(b, -1);
                rc = sqlite3_backup_finish(b);
            } else {
                rc = sqlite3_errcode(copy.get());
            }
        }
        message = QString::fromUtf8(copy ? sqlite3_errmsg(copy.get()) : sqlite3_errstr(rc));
    }
    if (rc == SQLITE_OK)
        return {};
    QFile::remove(path);
    return message;
}

[[noreturn]] void raiseCopyFailed(const QString& target, const QString& why)
{
    raise(ErrFileAccess, QStringLiteral("%1 (%2)").arg(target, why));
}
} // namespace

QString backupPath(const QString& dbPath, int n)
{
    return dbPath + ".bak" + QString::number(n);
}

void copyDatabase(sqlite3* db, const QString& target)
{
    const QString temp = temporaryName(target);
    const QString error = copyInto(db, temp);
    if (!error.isEmpty())
        raiseCopyFailed(target, error);
    std::error_code ec; // a rename replaces the old copy in one step
    std::filesystem::rename(temp.toStdString(), target.toStdString(), ec);
    if (ec) {
        QFile::remove(temp);
        raiseCopyFailed(target, QString::fromStdString(ec.message()));
    }
}

QString backupDatabase(sqlite3* db, const QString& dbPath)
{
    // Two steps at once must not lose a generation: the look at today's copy and the rotation
    // happen under a lock of their own.
    QLockFile lock(dbPath + QStringLiteral(".bak.lock"));
    if (!lock.tryLock(10000))
        raiseCopyFailed(backupPath(dbPath, 1), QStringLiteral("eine andere Sicherung läuft gerade."));
    const QFileInfo newest(backupPath(dbPath, 1));
    if (newest.exists() && newest.lastModified().date() == QDate::currentDate())
        return {};
    const QString temp = temporaryName(backupPath(dbPath, 1));
    const QString error = copyInto(db, temp);
    if (!error.isEmpty())
        raiseCopyFailed(backupPath(dbPath, 1), error);
    QFile::remove(backupPath(dbPath, kCopies));
    for (int n = kCopies - 1; n >= 1; --n)
        if (QFile::exists(backupPath(dbPath, n)))
            QFile::rename(backupPath(dbPath, n), backupPath(dbPath, n + 1));
    if (!QFile::rename(temp, backupPath(dbPath, 1))) {
        QFile::remove(temp);
        raiseCopyFailed(backupPath(dbPath, 1), QStringLiteral("umbenennen fehlgeschlagen"));
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

QString backupDatabase(const Connection& c, const QString& dbPath)
{
    return c.handle() ? backupDatabase(c.handle(), dbPath) : QString();
}

void copyDatabase(const Connection& c, const QString& target)
{
    if (c.handle())
        copyDatabase(c.handle(), target);
}

} // namespace tlm
