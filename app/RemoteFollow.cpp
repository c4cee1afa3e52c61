#include "app/RemoteFollow.h"

#include "app/DataGrid.h"
#include "data/Convert.h"
#include "data/RemoteChanges.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QWidget>

namespace tlm {

void followRemoteChanges(QWidget* window, DataGrid* grid, const QString& keyColumn,
                         std::function<void(qint32)> reload)
{
    QObject::connect(&remoteChanges(), &RemoteChanges::changed, window,
                     [=] { reload(grid->noCurrentRow() ? 0 : toInt32(grid->columnValue(keyColumn))); });
}

void showConnectionState(QMainWindow* window)
{
    QObject::connect(&remoteChanges(), &RemoteChanges::connectionState, window,
                     [window](const QString& text) {
                         window->statusBar()->setVisible(!text.isEmpty());
                         window->statusBar()->showMessage(text);
                     });
}

} // namespace tlm
