#pragma once

#include "data/Connection.h"

#include <QString>

// The shared globals of module tlm, given their values once by the start-up.
namespace tlm {

extern QString gAppTitle;
extern QString gFontName;
extern QString gUnitList;
extern QString gAppPath;
extern qint32 gDBVersion;
extern Connection gConnection;

// Sets gAppTitle, gFontName and gUnitList to the program's values.
void setProgramGlobals();

// The application directory: the program's directory unless a test or benchmark points it elsewhere.
QString applicationDirectory();
void setApplicationDirectory(const QString& dir);
// The database: the one the command line names, else the one chosen in "Datenbank wählen", else
// tlm.mdb in the application directory when it is there or the directory can be written (a portable
// copy), else and always for an installed program in the user's data folder
// (XDG_DATA_HOME/fennor-tellomat).
QString databasePath();
QString userDataFolder();
// An installed program (its template database in ../share/fennor-tellomat): it never writes beside
// itself, whoever runs it, root included.
bool isInstalledProgram();
// The database installed with the program: the sample catalogue with an empty plan.
QString templateDatabase();
// Makes a missing database in the user's data folder from the template; the notice that says where,
// or an empty text when nothing was made.
QString provideUserDatabase(const QString& path);
void setDatabasePath(const QString& path);
// The database chosen in "Datenbank wählen" (a file or a server address), kept for the next start
// and taken from now on; the empty text goes back to the usual tlm.mdb.
void storeDatabaseChoice(const QString& location);

} // namespace tlm
