#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tlm {

class DataGrid;

// A window whose grid follows what other workstations change on a shared server: reload is called
// with the key of the grid's current row (0 when there is none), so that the same row stays current.
void followRemoteChanges(QWidget* window, DataGrid* grid, const QString& keyColumn,
                         std::function<void(qint32)> reload);

} // namespace tlm
