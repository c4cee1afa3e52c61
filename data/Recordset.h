#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>
#include <vector>

namespace tlm {

class Connection;

// A query result fetched at once (client-side cursor) with a current-row position. A writable one
// remembers its table and each row's key (and version, on a server) and writes through
// parameterised INSERT / UPDATE. The rows are kept as the engine gave them (numbers, UTF-8 text) and become
// values of their declared type when they are read: a grid of thirty thousand rows converts only the rows it
// shows.
class Recordset
{
public:
    int columnCount() const { return static_cast<int>(m_names.size()); }
    int rowCount() const { return m_rows; }
    QString columnName(int c) const { return m_names[c]; }
    int columnIndex(const QString& name) const; // case-insensitive, -1 when missing

    int position() const { return m_pos; }
    void setPosition(int row);
    bool eof() const { return m_pos >= m_rows; }
    void moveFirst() { setPosition(0); }
    void moveNext();

    // The current row's value; error 3021 at the end, error 3265 for an unknown name.
    QVariant field(const QString& name) const;
    QVariant value(int row, int column) const;

    // Forward search from the current row for "COLUMN = number"; at the end when nothing matches.
    bool find(const QString& criterion);

    void close();
    bool isOpen() const { return m_open; }

    // Writable recordsets only.
    void addNew();
    void setField(const QString& name, const QVariant& value); // converts to the column's type at once
    // Writes the row; a row another program changed or deleted since it was read is not written and
    // raises ErrChangedElsewhere.
    void update();
    // The current row's version as read (0 where the engine keeps none).
    qint64 version() const;

private:
    friend class Connection;
    friend class SqliteEngine;
    friend class PgEngine;
    // One value as the engine gave it; text lies in the result's byte store.
    struct Cell
    {
        enum Type : quint8 { Null, Integer, Real, Text };
        Type type = Null;
        union {
            qint64 integer;
            double real;
            struct
            {
                quint32 offset;
                quint32 length;
            } text;
        };
        Cell() : integer(0) {}
    };
    int requireColumn(const QString& name) const;
    // An engine's text: kept in the byte store, the cell pointing at it.
    void storeText(Cell& cell, const char* text, int length)
    {
        cell.type = Cell::Text;
        cell.text.offset = quint32(m_bytes.size());
        cell.text.length = quint32(length);
        m_bytes.append(text, length);
    }
    size_t index(int row, int column) const { return static_cast<size_t>(row) * m_names.size() + column; }
    QVariant converted(const Cell& cell, int kind) const;
    void setCell(int row, int column, const QVariant& value);

    Connection* m_conn = nullptr;
    std::vector<QString> m_names;
    std::vector<int> m_kinds;
    std::vector<int> m_textLengths;
    std::vector<Cell> m_cells;
    QByteArray m_bytes;
    // Values a writable recordset was given, by cell index; the fetched cells stay as they were.
    std::vector<QVariant> m_set;
    std::vector<bool> m_isSet;
    int m_rows = 0;
    int m_pos = 0;
    bool m_open = true;

    bool m_writable = false;
    QString m_table;
    std::vector<qint64> m_rowids;
    std::vector<qint64> m_versions; // on a server: each row's version as read
    int m_editRow = -1;
    bool m_editNew = false;
    std::vector<bool> m_dirty;
};

using RecordsetPtr = std::shared_ptr<Recordset>;

} // namespace tlm
