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
// The database file: tlm.mdb in the application directory unless the command line names another.
QString databasePath();
void setDatabasePath(const QString& path);

} // namespace tlm
