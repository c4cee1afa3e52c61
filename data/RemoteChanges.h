#pragma once

#include <QObject>

namespace tlm {

// Tells the windows that another program changed the shared database (a server only), so that the
// plan and the lists follow within a second.
class RemoteChanges : public QObject
{
    Q_OBJECT
signals:
    void changed();
    // The connection to the server is lost: the line for the status bar; an empty text once it is
    // back.
    void connectionState(const QString& text);
};

RemoteChanges& remoteChanges();

} // namespace tlm
