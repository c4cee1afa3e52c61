#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

namespace tlm {

// Taking back changes to the plan, kept in the database so that it lasts across a restart. A change
// opens a step inside its own Transaction, before it writes: the step then commits or rolls back
// with the change.
class UndoStep
{
public:
    // Opens a step named what ("Personen ändern"); only the last 20 steps are kept.
    explicit UndoStep(const QString& what);
    // Keeps the plan rows matching where (a condition on SPEISEPLAN) and the rows of the tables keyed
    // by their KEY as they are now; taking back restores them exactly, keys included.
    void keepRows(const QString& where, const QVector<QVariant>& values = {});
    // Marks the plan rows matching where as new: taking back removes them.
    void keepNew(const QString& where, const QVector<QVariant>& values = {});

private:
    int m_step;
};

// What the last step changed, none when there is nothing to take back.
std::optional<QString> lastUndo();
// Forgets every step, inside the caller's transaction: a loaded plan replaces the rows the steps
// would take back.
void forgetUndo();
// Takes back the last step in one transaction; what it did ("18 Einträge wiederhergestellt.").
QString undoLast();

} // namespace tlm
