#pragma once

#include <QString>
#include <functional>

class QMainWindow;
class QWidget;

namespace tlm {

class DataGrid;

// A window whose grid follows what other workstations change on a shared server: reload is called
// with the key of the grid's current row (0 when there is none), so that the same row stays current.
void followRemoteChanges(QWidget* window, DataGrid* grid, const QString& keyColumn,
                         std::function<void(qint32)> reload);

// While the connection to the server is lost, the window's status line says so and when the next
// try comes; it goes again once the connection is back.
void showConnectionState(QMainWindow* window);

} // namespace tlm
