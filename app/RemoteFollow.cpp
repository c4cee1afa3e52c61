#include "app/RemoteFollow.h"

#include "app/DataGrid.h"
#include "data/Convert.h"
#include "data/RemoteChanges.h"

#include <QWidget>

namespace tlm {

void followRemoteChanges(QWidget* window, DataGrid* grid, const QString& keyColumn,
                         std::function<void(qint32)> reload)
{
    QObject::connect(&remoteChanges(), &RemoteChanges::changed, window,
                     [=] { reload(grid->noCurrentRow() ? 0 : toInt32(grid->columnValue(keyColumn))); });
}

} // namespace tlm
