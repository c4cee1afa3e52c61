#include "app/ReadOnlyNotice.h"

#include "app/MessageBox.h"
#include "data/Globals.h"

namespace tlm {

void tellWhenReadOnly(const QString& location)
{
    if (gConnection.isNewer())
        msgBox(QStringLiteral(
                   "Die Datenbank '%1' wurde mit einer neueren Version angelegt und wird nur gelesen.")
                   .arg(location),
               48, QStringLiteral("Achtung"));
    else if (gConnection.isReadOnly())
        msgBox(QStringLiteral("Die Datenbank '%1' ist schreibgeschützt. Speiseplan, Gerichte und Zutaten "
                              "können angesehen und gedruckt, aber nicht geändert werden.")
                   .arg(location),
               48, QStringLiteral("Achtung"));
}

} // namespace tlm
