// Export and import of the plan file from the main window.
#include "app/ErrorReporter.h"
#include "app/FileDialogs.h"
#include "app/MessageBox.h"
#include "data/Globals.h"
#include "plan/PlanFile.h"
#include "plan/frmMain.h"

#include <QFileInfo>

namespace tlm {

namespace {
const QString kDefaultName = QStringLiteral("speiseplan_export.tlm");
const QString kFilter = QStringLiteral("Speiseplan-Datei (*.tlm)|*.tlm");
const QString kExt = QStringLiteral("tlm");
} // namespace

void frmMain::fncSave()
{
    guard("frmMain/fncSave", [&] {
        fFileName = fncFileSave(this, gAppPath, kDefaultName, kFilter, kExt);
        if (fFileName.isEmpty())
            return;
        exportPlan(fFileName);
        setWindowTitle(gAppTitle + "  " + fFileName);
        msgBox("Speichern nach '" + fFileName + "' fertiggestellt!", 0);
    });
}

void frmMain::fncLoad()
{
    guard("frmMain/fncLoad", [&] {
        fFileName = fncFileOpen(this, gAppPath, kDefaultName, kFilter, kExt);
        if (fFileName.isEmpty())
            return;
        if (!QFileInfo(fFileName).isFile()) {
            msgBox("Datei '" + fFileName + "' nicht gefunden!", 48, QStringLiteral("Achtung"));
            return;
        }
        importPlan(fFileName);
        setWindowTitle(gAppTitle + "  " + fFileName);
    });
}

} // namespace tlm
