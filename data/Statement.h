#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace tlm {

// One prepared statement, owned and finalised here; values are always bound, never spliced.
class Statement
{
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value); // 1-based, as SQLite counts
    bool step();                                 // true while a row is there
    void reset();

    int columnCount() const;
    QString columnName(int i) const;
    QString declType(int i) const; // lower case, empty for computed columns
    sqlite3_stmt* handle() const { return m_stmt; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// How a column's declared type maps to the value read.
enum ColumnKind {
    KindNone,
    KindInt32,
    KindInt16,
    KindDouble,
    KindCurrency,
    KindDate,
    KindBool,
    KindText,
    KindMemo
};
ColumnKind kindOf(const QString& declType, int* textLength = nullptr);

// Throws the SQLite error of db as a tlm::Error: the result code, a German description for the
// failures a user can meet, SQLite's own text kept for the log.
[[noreturn]] void raiseSqlite(sqlite3* db);
QString sqliteDescription(int code, const QString& engineText);

} // namespace tlm
