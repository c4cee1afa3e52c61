#include "data/Engine.h"

namespace tlm {

QString Engine::insertStatement(const QString& table, const QStringList& cols)
{
    if (cols.isEmpty())
        return QStringLiteral("insert into %1 default values").arg(table);
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(table, cols.join(','), QStringList(cols.size(), QStringLiteral("?")).join(','));
}

void Engine::fetchAll(const QStringList& sql, const QVector<QVector<QVariant>>& values,
                      std::vector<Recordset>& out)
{
    out.resize(size_t(sql.size()));
    for (int i = 0; i < sql.size(); ++i)
        fetch(sql[i], out[size_t(i)], -1, {}, values.value(i));
}

} // namespace tlm
