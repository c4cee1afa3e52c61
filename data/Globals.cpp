#include "data/Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

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
// Where "Datenbank wählen" keeps its choice.
const QString kChoice = QStringLiteral("Local/Datenbank");

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

QString userDataFolder()
{
    const QString home = qEnvironmentVariable("XDG_DATA_HOME");
    const QString base =
        home.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) : home;
    return QDir(base).filePath(QStringLiteral("fennor-tellomat"));
}

QString databasePath()
{
    if (!databaseOverride().isEmpty())
        return databaseOverride();
    const QString chosen = QSettings(QStringLiteral("TLM"), QStringLiteral("TLM")).value(kChoice).toString();
    if (!chosen.isEmpty())
        return chosen;
    // Started from a folder the user can write (a build tree, a USB stick), or from one that holds
    // a database (a read-only medium): the file beside the program. An installed program keeps each
    // user's database in the user's own data folder, also for root, who could write /usr/bin.
    const QString beside = QDir(applicationDirectory()).filePath(QStringLiteral("tlm.mdb"));
    if (!isInstalledProgram() &&
        (QFileInfo::exists(beside) || QFileInfo(applicationDirectory()).isWritable()))
        return beside;
    return QDir(userDataFolder()).filePath(QStringLiteral("tlm.mdb"));
}

bool isInstalledProgram()
{
    return QFileInfo::exists(templateDatabase());
}

QString templateDatabase()
{
    return QDir(applicationDirectory()).filePath(QStringLiteral("../share/fennor-tellomat/tlm.mdb"));
}

QString provideUserDatabase(const QString& path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).absolutePath() != QDir(userDataFolder()).absolutePath())
        return {};
    const QString source = templateDatabase();
    if (!QFileInfo::exists(source) || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return {};
    // Copied under a temporary name and renamed, so a half-made file never carries the real name.
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    if (!QFile::copy(source, temp) || !QFile::rename(temp, path)) {
        QFile::remove(temp);
        return {};
    }
    // A plan may name children's diets: the owner alone reads it.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return QStringLiteral("Ihre Datenbank wurde aus der Vorlage des Programms neu angelegt: '%1'.")
        .arg(QDir::toNativeSeparators(path));
}

void setDatabasePath(const QString& path)
{
    databaseOverride() = path;
}

void storeDatabaseChoice(const QString& location)
{
    QSettings settings(QStringLiteral("TLM"), QStringLiteral("TLM"));
    if (location.isEmpty())
        settings.remove(kChoice);
    else
        settings.setValue(kChoice, location);
    // What the command line named is left behind with it.
    databaseOverride() = location;
}

} // namespace tlm
