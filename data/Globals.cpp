#include "data/Globals.h"

#include <QCoreApplication>
#include <QDir>

namespace tlm {

QString gAppTitle;
QString gFontName;
QString gUnitList;
QString gAppPath;
qint32 gDBVersion = 0;
Connection gConnection;

namespace {
QString& appDirOverride()
{
    static QString dir;
    return dir;
}
QString& databaseOverride()
{
    static QString path;
    return path;
}
} // namespace

QString applicationDirectory()
{
    if (!appDirOverride().isEmpty())
        return appDirOverride();
    return QCoreApplication::applicationDirPath();
}

void setApplicationDirectory(const QString& dir)
{
    appDirOverride() = dir;
}

QString databasePath()
{
    if (!databaseOverride().isEmpty())
        return databaseOverride();
    return QDir(applicationDirectory()).filePath(QStringLiteral("tlm.mdb"));
}

void setDatabasePath(const QString& path)
{
    databaseOverride() = path;
}

} // namespace tlm
