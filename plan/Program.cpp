#include "plan/Program.h"

#include "app/InstanceGuard.h"
#include "app/MessageBox.h"
#include "data/Globals.h"
#include "plan/frmMain.h"

#include <QApplication>

namespace tlm {

int runProgram(QApplication& app)
{
    // Before the database is opened and before its backup: one program per database.
    InstanceGuard guard(databasePath());
    switch (guard.acquire()) {
    case InstanceGuard::Raised:
        return 0;
    case InstanceGuard::Refused:
        msgBox(guard.refusal(), 48, QStringLiteral("Achtung"));
        return 1;
    case InstanceGuard::First:
        break;
    }
    frmMain w;
    QObject::connect(&guard, &InstanceGuard::raiseRequested, &w, &frmMain::bringToFront);
    w.Form_Load();
    w.show();
    return app.exec();
}

} // namespace tlm
