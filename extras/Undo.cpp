#include "extras/Undo.h"

#include "data/Globals.h"

#include <QStringList>
#include <limits>

namespace tlm {

namespace {
constexpr int kSteps = 20;

// A table whose rows belong to a plan entry and go back with it, and its copy for the steps.
struct KeptTable
{
    QString table;
    QString keyColumn;
    QString columns;
};

// The plan first; tables keyed by the plan's KEY follow it.
const QVector<KeptTable>& keptTables()
{
    static const QVector<KeptTable> tables{
        {QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"),
         QStringLiteral("KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK")},
        {QStringLiteral("ERSATZ"), QStringLiteral("KEY"), QStringLiteral("KEY, GRUPPENR")},
    };
    return tables;
}

QString copyOf(const KeptTable& t)
{
    return QStringLiteral("TLM_UNDO_") + t.table;
}

QVector<QVariant> withStep(int step, const QVector<QVariant>& values)
{
    QVector<QVariant> all{step};
    all += values;
    return all;
}
void dropSteps(int upTo)
{
    gConnection.exec(QStringLiteral("delete from TLM_UNDO where SCHRITT <= ?"), {upTo});
    gConnection.exec(QStringLiteral("delete from TLM_UNDO_KEY where SCHRITT <= ?"), {upTo});
    for (const KeptTable& t : keptTables())
        gConnection.exec("delete from " + copyOf(t) + " where SCHRITT <= ?", {upTo});
}
} // namespace

UndoStep::UndoStep(const QString& what)
{
    m_step = gConnection.newKey(QStringLiteral("TLM_UNDO"), QStringLiteral("SCHRITT"), 0);
    gConnection.exec(QStringLiteral("insert into TLM_UNDO (SCHRITT, WAS) values (?, ?)"), {m_step, what});
    dropSteps(m_step - kSteps);
}

void forgetUndo()
{
    dropSteps(std::numeric_limits<int>::max());
}

void UndoStep::keepNew(const QString& where, const QVector<QVariant>& values)
{
    gConnection.exec("insert into TLM_UNDO_KEY (SCHRITT, KEY) select ?, KEY from SPEISEPLAN where " + where,
                     withStep(m_step, values));
}

void UndoStep::keepRows(const QString& where, const QVector<QVariant>& values)
{
    keepNew(where, values);
    for (const KeptTable& t : keptTables())
        gConnection.exec("insert into " + copyOf(t) + " (SCHRITT, " + t.columns + ") select ?, " + t.columns +
                             " from " + t.table + " where " + t.keyColumn +
                             " in (select KEY from SPEISEPLAN where " + where + ")",
                         withStep(m_step, values));
}

std::optional<QString> lastUndo()
{
    RecordsetPtr rs =
        gConnection.execute(QStringLiteral("select WAS from TLM_UNDO order by SCHRITT desc limit 1"));
    if (rs->eof())
        return std::nullopt;
    return rs->value(0, 0).toString();
}

QString undoLast()
{
    Transaction t(gConnection);
    RecordsetPtr rs = gConnection.execute(QStringLiteral("select max(SCHRITT) from TLM_UNDO"));
    if (rs->value(0, 0).isNull())
        return QStringLiteral("Es gibt nichts rückgängig zu machen.");
    const int step = rs->value(0, 0).toInt();
    const QString keys = QStringLiteral(" in (select KEY from TLM_UNDO_KEY where SCHRITT = %1)").arg(step);
    const QVector<KeptTable>& tables = keptTables();
    // The rows that depend on an entry go before it and come back after it.
    int removed = 0;
    for (auto it = tables.rbegin(); it != tables.rend(); ++it)
        removed = gConnection.exec("delete from " + it->table + " where " + it->keyColumn + keys);
    int restored = 0;
    for (const KeptTable& kept : tables) {
        const int n = gConnection.exec("insert into " + kept.table + " (" + kept.columns + ") select " +
                                           kept.columns + " from " + copyOf(kept) + " where SCHRITT = ?",
                                       {step});
        if (kept.table == tables.first().table)
            restored = n;
        gConnection.exec("delete from " + copyOf(kept) + " where SCHRITT = ?", {step});
    }
    gConnection.exec(QStringLiteral("delete from TLM_UNDO_KEY where SCHRITT = ?"), {step});
    gConnection.exec(QStringLiteral("delete from TLM_UNDO where SCHRITT = ?"), {step});
    t.commit();
    if (restored == 0)
        return removed == 1 ? QStringLiteral("1 Eintrag entfernt.")
                            : QStringLiteral("%1 Einträge entfernt.").arg(removed);
    return restored == 1 ? QStringLiteral("1 Eintrag wiederhergestellt.")
                         : QStringLiteral("%1 Einträge wiederhergestellt.").arg(restored);
}

} // namespace tlm
