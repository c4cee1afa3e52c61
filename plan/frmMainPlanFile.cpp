// Export and import of the plan file from the main window.
#include "app/DataGrid.h"
#include "app/ErrorReporter.h"
#include "app/FileDialogs.h"
#include "app/MessageBox.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "plan/PlanFile.h"
#include "plan/frmMain.h"

#include <QFile>
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
        // Checked before anything is written: the target's directory must take the new file.
        const QFileInfo target(fFileName);
        if (!QFileInfo(target.absolutePath()).isWritable())
            tlm::raise(75, QStringLiteral("Fehler beim Zugriff auf Pfad/Datei: ") + fFileName);
        RecordsetPtr rs = gConnection.execute(
            QStringLiteral("select KEY,TAG,TAGZEITNR,TAGZEITKURZ,GTYPNR,GTYP,GERNR,GERICHT,PERSONEN,NODRUCK"
                           " from VW_SPEISEPLAN order by TAG,TAGZEITNR,GTYPNR"));
        static const char* const fields[] = {"TAG",  "TAGZEITNR", "TAGZEITKURZ", "GTYPNR",  "GTYP",
                                             "GERNR", "GERICHT",  "PERSONEN",    "NODRUCK"};
        QVector<int> cols;
        for (const char* f : fields)
            cols << rs->columnIndex(QString::fromLatin1(f));
        QStringList lines;
        lines.reserve(rs->rowCount());
        QVector<QVariant> values(cols.size());
        for (; !rs->eof(); rs->moveNext()) {
            for (int i = 0; i < cols.size(); ++i)
                values[i] = rs->value(rs->position(), cols[i]);
            lines << planLine(values);
        }
        rs->close();
        writeFileAtomically(fFileName, joinPlanLines(lines));
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
        QFile file(fFileName);
        if (!file.open(QIODevice::ReadOnly))
            tlm::raise(75, QStringLiteral("Fehler beim Zugriff auf Pfad/Datei: ") + fFileName);
        const QStringList lines = splitPlanText(file.readAll());
        file.close();

        // The whole file is checked first; only a file whose every line is valid replaces the plan.
        QVector<PlanEntry> entries;
        entries.reserve(lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            try {
                entries << parsePlanLine(lines[i]);
            } catch (const Error& e) {
                tlm::raise(e.number, e.description + QStringLiteral(" (Zeile %1)").arg(i + 1));
            }
        }

        Transaction t(gConnection);
        gConnection.execute(QStringLiteral("delete from SPEISEPLAN"));
        RecordsetPtr rs =
            gConnection.openWritable(QStringLiteral("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN"));
        qint32 counter = 0;
        for (const PlanEntry& e : entries) {
            ++counter;
            rs->addNew();
            rs->setField(QStringLiteral("Key"), counter);
            rs->setField(QStringLiteral("Tag"), e.tag);
            rs->setField(QStringLiteral("TAGZEITNR"), e.tagZeitNr);
            rs->setField(QStringLiteral("GTYPNR"), e.gTypNr);
            rs->setField(QStringLiteral("GERNR"), e.gerNr);
            rs->setField(QStringLiteral("PERSONEN"), e.personen);
            rs->setField(QStringLiteral("NODRUCK"), e.noDruck);
            rs->update();
        }
        rs->close();
        t.commit();
        setWindowTitle(gAppTitle + "  " + fFileName);
    });
}

} // namespace tlm
