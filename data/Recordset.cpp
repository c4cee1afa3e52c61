#include "data/Recordset.h"

#include "data/Connection.h"
#include "data/Convert.h"
#include "data/Error.h"
#include "data/Statement.h"

#include <QRegularExpression>
#include <cmath>

namespace tlm {

namespace {
[[noreturn]] void raiseNoCurrentRecord()
{
    raise(ErrNoCurrentRecord);
}

bool toBool(const QVariant& v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("Wahr"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("Falsch"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toDouble(v) != 0;
}

QDate toDate(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QString) {
        const QDate d = parseDate(v.toString());
        if (!d.isValid())
            raise(ErrTypeMismatch);
        return d;
    }
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(toDouble(v))));
}

// The value as the column stores it, converted the way Jet converts on assignment.
QVariant convertForColumn(const QVariant& v, int kind, int textLength)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (kind) {
    case KindInt32:
        return QVariant::fromValue(toInt32(v));
    case KindInt16:
        return QVariant::fromValue(toInt16(v));
    case KindDouble:
        return toDouble(v);
    case KindCurrency:
        return std::round(toDouble(v) * 10000.0) / 10000.0;
    case KindDate:
        return toDate(v);
    case KindBool:
        return toBool(v);
    case KindText: {
        const QString s = textOf(v);
        if (s.size() > textLength)
            raise(ErrFieldTooSmall);
        return s;
    }
    case KindMemo:
        return textOf(v);
    default:
        return v;
    }
}
} // namespace

int Recordset::columnIndex(const QString& name) const
{
    for (size_t i = 0; i < m_names.size(); ++i) // callers mostly spell names as the query does
        if (m_names[i] == name)
            return static_cast<int>(i);
    for (size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int Recordset::requireColumn(const QString& name) const
{
    if (!m_open)
        raise(ErrObjectClosed);
    const int c = columnIndex(name);
    if (c < 0)
        raise(ErrItemNotFound, name);
    return c;
}

QVariant Recordset::value(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= columnCount())
        raiseNoCurrentRecord();
    const size_t i = index(row, column);
    if (i < m_isSet.size() && m_isSet[i])
        return m_set[i];
    return converted(m_cells[i], m_kinds[column]);
}

namespace {
// yyyy-mm-dd at the start of a text, as dates are stored.
QDate isoDate(const char* p, quint32 n)
{
    if (n < 10 || p[4] != '-' || p[7] != '-')
        return {};
    auto digits = [&](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i) {
            if (p[i] < '0' || p[i] > '9')
                return -1;
            v = v * 10 + (p[i] - '0');
        }
        return v;
    };
    const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
    return y < 0 || m < 0 || d < 0 ? QDate() : QDate(y, m, d);
}
} // namespace

QVariant Recordset::converted(const Cell& cell, int kind) const
{
    if (cell.type == Cell::Null)
        return {};
    const char* text = cell.type == Cell::Text ? m_bytes.constData() + cell.text.offset : nullptr;
    switch (kind) {
    case KindInt32:
        if (cell.type == Cell::Integer)
            return QVariant::fromValue(static_cast<qint32>(cell.integer));
        break;
    case KindInt16:
        if (cell.type == Cell::Integer)
            return QVariant::fromValue(static_cast<qint16>(cell.integer));
        break;
    case KindDouble:
    case KindCurrency:
        if (cell.type == Cell::Integer)
            return double(cell.integer);
        if (cell.type == Cell::Real)
            return cell.real;
        break;
    case KindBool:
        if (cell.type == Cell::Integer)
            return cell.integer != 0;
        if (cell.type == Cell::Real)
            return static_cast<qint64>(cell.real) != 0;
        break;
    case KindDate:
        if (text) {
            const QDate d = isoDate(text, cell.text.length);
            if (d.isValid())
                return d;
        }
        break;
    default:
        break;
    }
    // Computed columns, and stored values that do not fit their declared type, keep SQLite's type.
    switch (cell.type) {
    case Cell::Integer:
        if (cell.integer >= INT32_MIN && cell.integer <= INT32_MAX)
            return QVariant::fromValue(static_cast<qint32>(cell.integer));
        return QVariant::fromValue(cell.integer);
    case Cell::Real:
        return cell.real;
    default:
        return QString::fromUtf8(text, cell.text.length);
    }
}

void Recordset::setCell(int row, int column, const QVariant& v)
{
    const size_t i = index(row, column);
    if (m_isSet.size() < m_cells.size()) {
        m_isSet.resize(m_cells.size(), false);
        m_set.resize(m_cells.size());
    }
    m_set[i] = v;
    m_isSet[i] = true;
}

void Recordset::setPosition(int row)
{
    m_pos = qBound(0, row, m_rows);
}

void Recordset::moveNext()
{
    if (eof())
        raiseNoCurrentRecord();
    ++m_pos;
}

QVariant Recordset::field(const QString& name) const
{
    const int c = requireColumn(name);
    if (eof())
        raiseNoCurrentRecord();
    return value(m_pos, c);
}

bool Recordset::find(const QString& criterion)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\w+)\\s*=\\s*(-?[0-9.]+)\\s*$"));
    const QRegularExpressionMatch m = re.match(criterion);
    if (!m.hasMatch())
        raise(ErrArguments);
    const int c = requireColumn(m.captured(1));
    const double wanted = m.captured(2).toDouble();
    for (int r = m_pos; r < m_rows; ++r) {
        const size_t i = index(r, c);
        const Cell& cell = m_cells[i];
        bool found = false;
        if (i < m_isSet.size() && m_isSet[i]) {
            bool ok = false;
            found = !m_set[i].isNull() && m_set[i].toDouble(&ok) == wanted && ok;
        } else if (cell.type == Cell::Integer) { // keys: compared as they are stored
            found = double(cell.integer) == wanted;
        } else if (cell.type != Cell::Null) {
            bool ok = false;
            const double d = converted(cell, m_kinds[c]).toDouble(&ok);
            found = ok && d == wanted;
        }
        if (found) {
            m_pos = r;
            return true;
        }
    }
    m_pos = m_rows;
    return false;
}

void Recordset::close()
{
    m_open = false;
    m_cells.clear();
    m_bytes.clear();
    m_set.clear();
    m_isSet.clear();
    m_rowids.clear();
    m_versions.clear();
    m_rows = 0;
    m_pos = 0;
}

void Recordset::addNew()
{
    if (!m_writable)
        raise(ErrNotSupported);
    m_cells.resize(m_cells.size() + m_names.size());
    m_rowids.push_back(0);
    if (!m_versions.empty())
        m_versions.push_back(0);
    m_pos = m_rows++;
    m_editRow = m_pos;
    m_editNew = true;
    m_dirty.assign(m_names.size(), false);
}

void Recordset::setField(const QString& name, const QVariant& v)
{
    if (!m_writable)
        raise(ErrNotSupported);
    const int c = requireColumn(name);
    if (eof())
        raiseNoCurrentRecord();
    // A text that stays as stored is written back whole, even when it is longer than its column.
    const QVariant stored = value(m_pos, c);
    const bool unchanged = m_kinds[c] == KindText && stored.typeId() == QMetaType::QString &&
                           v.typeId() == QMetaType::QString && v.toString() == stored.toString();
    const QVariant toStore = unchanged ? stored : convertForColumn(v, m_kinds[c], m_textLengths[c]);
    if (m_editRow != m_pos) {
        m_editRow = m_pos;
        m_editNew = false;
        m_dirty.assign(m_names.size(), false);
    }
    setCell(m_pos, c, toStore);
    m_dirty[c] = true;
}

void Recordset::update()
{
    if (!m_writable)
        raise(ErrNotSupported);
    if (m_editRow < 0)
        return;
    QStringList cols;
    QVector<QVariant> values;
    for (size_t c = 0; c < m_names.size(); ++c)
        if (m_dirty[c]) {
            cols << m_names[c];
            values << value(m_editRow, static_cast<int>(c));
        }
    if (m_editNew) {
        m_rowids[m_editRow] = m_conn->insertRow(m_table, cols, values);
    } else if (!cols.isEmpty()) {
        const qint64 version = size_t(m_editRow) < m_versions.size() ? m_versions[m_editRow] : 0;
        m_conn->updateRow(m_table, m_rowids[m_editRow], version, cols, values);
        if (size_t(m_editRow) < m_versions.size())
            ++m_versions[m_editRow];
    }
    m_editRow = -1;
    m_editNew = false;
}

qint64 Recordset::version() const
{
    if (eof())
        raiseNoCurrentRecord();
    return size_t(m_pos) < m_versions.size() ? m_versions[m_pos] : 0;
}

} // namespace tlm
