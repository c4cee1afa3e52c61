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

void setProgramGlobals()
{
    gAppTitle = QStringLiteral("Fennor Tellomat V1.01");
    gFontName = QStringLiteral("Verdana");
    gUnitList = QStringLiteral("g,g;kg,kg;L,L;ml,ml;Paar,Paar;Pkg,Pkg;Stk,Stk");
}

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
