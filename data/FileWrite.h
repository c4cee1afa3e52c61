#pragma once

#include <QByteArray>
#include <QString>

namespace tlm {

// A complete file written under a temporary name and put in place only when it is complete (in place
// only where the folder takes no new file but the file itself may be written).
void writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace tlm
