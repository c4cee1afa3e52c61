#include "data/Globals.h"

#include <QCoreApplication>

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

} // namespace tlm
