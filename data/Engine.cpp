#include "data/Engine.h"

namespace tlm {

QString Engine::insertStatement(const QString& table, const QStringList& cols)
{
    if (cols.isEmpty())
        return QStringLiteral("insert into %1 default values").arg(table);
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(table, cols.join(','), QStringList(cols.size(), QStringLiteral("?")).join(','));
}

} // namespace tlm
