#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

namespace tlm {

// Taking back changes to the plan, kept in the database so that it lasts across a restart. A change
// opens a step inside its own Transaction, before it writes, and finishes it once written: the step
// then commits or rolls back with the change. Each workstation takes back only its own steps, and
// only while the rows are still as its step left them.
class UndoStep
{
public:
    // Opens a step named what ("Personen ändern"); only the last 20 steps are kept.
    explicit UndoStep(const QString& what);
    // Keeps the plan rows matching where (a condition on SPEISEPLAN) and the rows of the tables keyed
    // by their KEY as they are now; taking back restores them exactly, keys included (an entry made
    // since that holds a key of one of them keeps it: that one comes back under a new key).
    void keepRows(const QString& where, const QVector<QVariant>& values = {});
    // Marks the plan rows matching where as new: taking back removes them.
    void keepNew(const QString& where, const QVector<QVariant>& values = {});
    // Keeps the record of "Portionen übernehmen" (PORTIONENSTAND) from von to bis: taking back puts
    // those days' rows back as they are now, and changes nothing once a later run has rewritten them.
    void keepPortionStand(const QDate& von, const QDate& bis);
    // Notes the rows of the step's keys as the change left them and offers the step to this
    // workstation. A step never finished is never offered.
    void finish();

private:
    int m_step;
    QDate m_standVon, m_standBis;
};

// What this workstation's last step changed, none when there is nothing to take back.
std::optional<QString> lastUndo();
// The menu entry's text: "Rückgängig: Tage kopieren", naming the workstation when another one has
// made a step since.
QString undoMenuText();
// Forgets every step, inside the caller's transaction: a loaded plan replaces the rows the steps
// would take back.
void forgetUndo();
// Takes back this workstation's last step in one transaction; what it did ("18 Einträge
// wiederhergestellt."), or, changing nothing, the entries changed since
// ("Rückgängig nicht möglich: Mo 27.07. Frühstück wurde seither geändert.").
QString undoLast();

} // namespace tlm
