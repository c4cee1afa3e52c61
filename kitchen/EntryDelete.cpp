#include "kitchen/EntryDelete.h"

#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/Undo.h"

#include <QStringList>

namespace tlm {

namespace {
constexpr int kNamed = 3;

// "KEY in (1,2,3)": the keys are numbers, so they go into the text as they are.
QString keyList(const QVector<qint32>& keys)
{
    QStringList texts;
    for (qint32 k : keys)
        texts << QString::number(k);
    return "KEY in (" + texts.join(',') + ")";
}
} // namespace

QString deleteQuestion(const QVector<qint32>& keys)
{
    RecordsetPtr rs =
        gConnection.execute(QStringLiteral("select TAG,TAGZEIT,GERICHT from VW_SPEISEPLAN where %1 order by "
                                           "TAG,TAGZEITSORT,GTYPSORT,KEY limit %2")
                                .arg(keyList(keys))
                                .arg(kNamed));
    QStringList named;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const QDate day = rs->value(r, 0).toDate();
        const QString date = shortDayDate(day);
        named << date + ' ' + textOf(rs->value(r, 1)) + ": " + textOf(rs->value(r, 2));
    }
    if (keys.size() > kNamed)
        named << QStringLiteral("…");
    return QStringLiteral("%1 Einträge löschen? ").arg(keys.size()) + named.join(QStringLiteral(", "));
}

void deleteEntries(const QVector<qint32>& keys)
{
    if (keys.isEmpty())
        return;
    const QString where = keyList(keys);
    Transaction t(gConnection);
    UndoStep step(keys.size() == 1 ? QStringLiteral("Eintrag löschen")
                                   : QStringLiteral("%1 Einträge löschen").arg(keys.size()));
    step.keepRows(where);
    gConnection.exec("delete from SPEISEPLAN where " + where);
    step.finish();
    t.commit();
}

} // namespace tlm
