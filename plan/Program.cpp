#include "plan/Program.h"

#include "app/DatabaseLock.h"
#include "app/MessageBox.h"
#include "data/Connection.h"
#include "data/Globals.h"
#include "plan/frmMain.h"

#include <QApplication>
#include <QTimer>

namespace tlm {

int runProgram(QApplication& app, const QString& planFile)
{
    // Before the database is opened and before its backup: one program per database file. A server
    // is there for several programs at once.
    DatabaseLock lock;
    switch (lock.lock(databasePath(), planFile)) {
    case InstanceGuard::Raised:
        return 0;
    case InstanceGuard::Refused:
        msgBox(lock.refusal(), 48, QStringLiteral("Achtung"));
        return 1;
    case InstanceGuard::First:
        lock.keepLast();
        break;
    }
    frmMain w;
    QObject::connect(&lock, &DatabaseLock::raiseRequested, &w, &frmMain::bringToFront);
    QObject::connect(&lock, &DatabaseLock::planFileRequested, &w, &frmMain::offerPlanFile);
    w.Form_Load();
    w.show();
    if (!planFile.isEmpty())
        QTimer::singleShot(0, &w, [&w, planFile] { w.offerPlanFile(planFile); });
    return app.exec();
}

} // namespace tlm
