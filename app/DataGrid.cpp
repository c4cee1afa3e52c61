#include "app/DataGrid.h"

#include "data/Convert.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace tlm {

class GridModel : public QAbstractTableModel
{
public:
    explicit GridModel(DataGrid* grid) : QAbstractTableModel(grid), m_grid(grid) {}

    void setColumns(const QVector<GridColumn>& c)
    {
        beginResetModel();
        m_columns = c;
        bindColumns();
        endResetModel();
    }
    void setRecordset(RecordsetPtr rs)
    {
        beginResetModel();
        m_rs = std::move(rs);
        bindColumns();
        endResetModel();
    }
    const QVector<GridColumn>& columns() const { return m_columns; }
    int sourceColumn(int gridColumn) const { return m_source.value(gridColumn, -1); }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() || !m_rs || !m_rs->isOpen() ? 0 : m_rs->rowCount();
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const int src = sourceColumn(index.column());
        if (!m_rs || src < 0 || index.row() >= m_rs->rowCount())
            return {};
        const GridColumn& col = m_columns[index.column()];
        const QVariant& v = m_rs->value(index.row(), src);
        switch (role) {
        case Qt::DisplayRole:
            if (col.checkBox)
                return {};
            return display(v, col.format);
        case Qt::CheckStateRole:
            if (!col.checkBox)
                return {};
            return v.toBool() ? Qt::Checked : Qt::Unchecked;
        case Qt::BackgroundRole:
        case Qt::ForegroundRole:
            if (col.fetchStyle && m_grid->cellStyleCallback()) {
                CellStyle style;
                m_grid->cellStyleCallback()(index.row(), index.column(), style);
                const QColor& c = role == Qt::BackgroundRole ? style.background : style.foreground;
                if (c.isValid())
                    return c;
            }
            return {};
        case Qt::ToolTipRole:
            if (m_grid->rowToolTip()) {
                const QString tip = m_grid->rowToolTip()(index.row());
                if (!tip.isEmpty())
                    return tip;
            }
            return {};
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
            return m_columns[section].caption;
        return {};
    }

private:
    static QString display(const QVariant& v, const QString& format)
    {
        if (v.isNull())
            return {};
        if (format.compare(QLatin1String("Currency"), Qt::CaseInsensitive) == 0 &&
            v.typeId() != QMetaType::QString)
            return currencyText(v.toDouble());
        if (format == QLatin1String("ddd dd.mm.yy") && v.typeId() == QMetaType::QDate)
            return gridDate(v.toDate());
        return textOf(v);
    }
    void bindColumns()
    {
        m_source.clear();
        for (const GridColumn& c : m_columns)
            m_source << (m_rs ? m_rs->columnIndex(c.field) : -1);
    }

    DataGrid* m_grid;
    QVector<GridColumn> m_columns;
    QVector<int> m_source;
    RecordsetPtr m_rs;
};

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), m_model(new GridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    setTabKeyNavigation(false); // Tab leaves the grid for the next control
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& cur) {
        if (m_rs && cur.isValid())
            m_rs->setPosition(cur.row());
    });
}

void DataGrid::setColumns(const QVector<GridColumn>& columns)
{
    m_model->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i) {
        setColumnHidden(i, !columns[i].visible);
        if (columns[i].width > 0)
            setColumnWidth(i, columns[i].width);
    }
}

const QVector<GridColumn>& DataGrid::columns() const
{
    return m_model->columns();
}

void DataGrid::setDataSource(RecordsetPtr rs)
{
    m_rs = std::move(rs);
    m_model->setRecordset(m_rs);
    for (int i = 0; i < columns().size(); ++i)
        setColumnHidden(i, !columns()[i].visible);
    syncCurrentRow();
}

bool DataGrid::noCurrentRow() const
{
    return !m_rs || !m_rs->isOpen() || m_rs->eof();
}

int DataGrid::columnIndex(const QString& name) const
{
    const QVector<GridColumn>& cols = columns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].caption.compare(name, Qt::CaseInsensitive) == 0 ||
            cols[i].field.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant DataGrid::columnValue(const QString& name) const
{
    if (noCurrentRow())
        return {};
    return valueAt(m_rs->position(), columnIndex(name));
}

QVariant DataGrid::valueAt(int row, int column) const
{
    const int src = m_model->sourceColumn(column);
    if (!m_rs || src < 0 || row < 0 || row >= m_rs->rowCount())
        return {};
    return m_rs->value(row, src);
}

bool DataGrid::find(const QString& criterion)
{
    if (!m_rs)
        return false;
    const bool found = m_rs->find(criterion);
    syncCurrentRow();
    return found;
}

void DataGrid::syncCurrentRow()
{
    const QSignalBlocker block(selectionModel());
    if (noCurrentRow()) {
        selectionModel()->clear();
        viewport()->update();
        return;
    }
    // In a shown column: Shift+arrow selects from the current cell's place, which a hidden one lacks.
    int column = 0;
    while (column + 1 < m_model->columnCount() && isColumnHidden(column))
        ++column;
    const QModelIndex idx = m_model->index(m_rs->position(), column);
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(idx);
    viewport()->update();
}

void DataGrid::setCurrentRow(int row)
{
    if (!m_rs)
        return;
    m_rs->setPosition(row);
    syncCurrentRow();
}

void DataGrid::setCellStyleCallback(CellStyleFn fn)
{
    m_styleFn = std::move(fn);
}

void DataGrid::setRowToolTip(RowTipFn fn)
{
    m_tipFn = std::move(fn);
}

void DataGrid::setMultiSelect(bool on)
{
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QVector<int> DataGrid::selectedRows() const
{
    QVector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DataGrid::stretchColumn(int column)
{
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(column, QHeaderView::Stretch);
}

void DataGrid::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        // What a double click does; taken here, so that a dialog's OK is not pressed instead.
        if (!noCurrentRow())
            emit dblClick();
        e->accept();
        return;
    case Qt::Key_Delete:
        emit deleteKey();
        e->accept();
        return;
    default:
        QTableView::keyPressEvent(e);
    }
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    QTableView::mouseDoubleClickEvent(e);
    if (indexAt(e->position().toPoint()).isValid())
        emit dblClick();
}

} // namespace tlm
