#include "data/RemoteChanges.h"

namespace tlm {

RemoteChanges& remoteChanges()
{
    static RemoteChanges changes;
    return changes;
}

} // namespace tlm
