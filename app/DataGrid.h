#pragma once

#include "data/Recordset.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>
#include <functional>

namespace tlm {

struct GridColumn
{
    GridColumn(QString f, QString c, QString fmt = {}, bool check = false, bool vis = true,
               bool style = false, int w = 0)
        : field(std::move(f)), caption(std::move(c)), format(std::move(fmt)), checkBox(check), visible(vis),
          fetchStyle(style), width(w)
    {}
    QString field;
    QString caption;
    QString format; // "", "Currency", "ddd dd.mm.yy"
    bool checkBox;  // yes/no shown as a check box
    bool visible;
    bool fetchStyle; // asks the cell-style callback while drawn
    int width;       // pixels; 0 keeps the default
};

struct CellStyle
{
    QColor background;
    QColor foreground;
};

class GridModel;

// A read-only grid over a recordset; the grid's current row is the recordset's position.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    void setColumns(const QVector<GridColumn>& columns);
    const QVector<GridColumn>& columns() const;
    void setDataSource(RecordsetPtr rs);

    // True when the result is empty or stands past its last row.
    bool noCurrentRow() const;
    // The grid column whose caption or data field is the name (case-insensitive), -1 when none.
    int columnIndex(const QString& name) const;
    // The current row's value of that column; Null when there is no current row.
    QVariant columnValue(const QString& name) const;
    // The value at a row and grid column, as the cell-style callback reads it.
    QVariant valueAt(int row, int column) const;
    // Moves the recordset forward to "COLUMN = number" and the current row with it.
    bool find(const QString& criterion);
    // Puts the grid's current row where the recordset stands.
    void syncCurrentRow();
    // Puts the recordset and the current row on that row, without a row change to tell.
    void setCurrentRow(int row);

    // Several rows selected at once (Shift, Ctrl, Strg+A); the current row stays the recordset's
    // position.
    void setMultiSelect(bool on);
    // The selected rows in grid order.
    QVector<int> selectedRows() const;

    // The column that takes the room a wider grid has.
    void stretchColumn(int column);

    // A row's tooltip, empty for none.
    using RowTipFn = std::function<QString(int row)>;
    void setRowToolTip(RowTipFn fn);
    const RowTipFn& rowToolTip() const { return m_tipFn; }

    using CellStyleFn = std::function<void(int row, int column, CellStyle& style)>;
    void setCellStyleCallback(CellStyleFn fn);
    const CellStyleFn& cellStyleCallback() const { return m_styleFn; }

signals:
    // A double click on a row, or Enter or F2 on the current row.
    void dblClick();
    // The Delete key: the window removes as its "Entfernen" does.
    void deleteKey();

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    GridModel* m_model;
    RecordsetPtr m_rs;
    CellStyleFn m_styleFn;
    RowTipFn m_tipFn;
};

} // namespace tlm
