#include "plan/PlanTransfer.h"

#include "data/Backup.h"
#include "data/Error.h"
#include "data/FileWrite.h"
#include "data/Globals.h"
#include "kitchen/EaterList.h"
#include "kitchen/PlanKeys.h"
#include "kitchen/Undo.h"
#include "plan/PlanFile.h"

#include <QFile>

namespace tlm {

void exportPlan(const QString& path)
{
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select KEY,TAG,TAGZEITNR,TAGZEITKURZ,GTYPNR,GTYP,GERNR,GERICHT,PERSONEN,NODRUCK"
                       " from VW_SPEISEPLAN order by TAG,TAGZEITNR,GTYPNR"));
    static const char* const fields[] = {"TAG",   "TAGZEITNR", "TAGZEITKURZ", "GTYPNR", "GTYP",
                                         "GERNR", "GERICHT",   "PERSONEN",    "NODRUCK"};
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
    writeFileAtomically(path, joinPlanLines(lines));
}

void importPlan(const QString& path)
{
    gConnection.requireWritable();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raise(ErrFileAccess, path);
    const QStringList lines = splitPlanText(file.readAll());
    file.close();

    QVector<PlanEntry> entries;
    entries.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        try {
            entries << parsePlanLine(lines[i]);
        } catch (const Error& e) {
            throw Error(e.number, e.description + QStringLiteral(" (Zeile %1)").arg(i + 1));
        }
    }

    // The entries are numbered from 1; the entry window opens none above its 16 bits.
    if (entries.size() > kHighestPlanKey)
        throw Error(ErrArguments,
                    QStringLiteral("Die Datei hat %1 Einträge, der Speiseplan fasst höchstens %2; "
                                   "nichts geändert.")
                        .arg(entries.size())
                        .arg(kHighestPlanKey));
    // The plan as it was stays beside a database file until the next import.
    copyDatabase(gConnection, gConnection.path() + QStringLiteral(".vor-import"));
    Transaction t(gConnection);
    gConnection.execute(QStringLiteral("delete from SPEISEPLAN"));
    forgetUndo();
    RecordsetPtr rs = gConnection.openWritable(
        QStringLiteral("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN"));
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
    markPortionsNotTaken();
    t.commit();
}

} // namespace tlm
