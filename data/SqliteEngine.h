#pragma once

#include "data/Engine.h"
#include "data/SqliteHandle.h"

namespace tlm {

// A database file, the program's own: opened only when it passes its check, read-only when it cannot
// be written or comes from a later version of the program.
class SqliteEngine : public Engine
{
public:
    SqliteEngine(const QString& path, bool readOnly);

    bool isServer() const override { return false; }
    bool isReadOnly() const override { return m_readOnly; }
    bool isNewer() const override { return m_newer; }

    void fetch(const QString& sql, Recordset& rs, int columnsAt, const QString& table,
               const QVector<QVariant>& values = {}) override;
    int exec(const QString& sql, const QVector<QVariant>& values) override;
    qint64 insertRow(const QString& table, const QStringList& cols, const QVector<QVariant>& values) override;
    bool updateRow(const QString& table, qint64 key, qint64 version, const QStringList& cols,
                   const QVector<QVariant>& values) override;
    qint32 newKey(const QString& table, const QString& column, qint32 fallback, int count) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    void beginSnapshot() override;
    qint64 changeCount() override;
    QStringList tableNames() override;

    sqlite3* handle() const { return m_db.get(); }

private:
    SqliteHandle m_db;
    bool m_readOnly = false;
    bool m_newer = false;
};

} // namespace tlm
