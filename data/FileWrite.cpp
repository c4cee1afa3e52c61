#include "data/FileWrite.h"

#include "data/Error.h"

#include <QFile>
#include <QSaveFile>

namespace tlm {

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        if (f.write(bytes) != bytes.size() || !f.commit())
            raise(ErrFileWrite, path + " (" + f.errorString() + ")");
        return;
    }
    // A folder that takes no new file (read-only, a read-only medium): an existing file that may be
    // written is written in place.
    QFile direct(path);
    if (!direct.exists() || !direct.open(QIODevice::WriteOnly | QIODevice::Truncate))
        raise(ErrFileAccess, path + " (" + f.errorString() + ")");
    if (direct.write(bytes) != bytes.size() || !direct.flush())
        raise(ErrFileWrite, path + " (" + direct.errorString() + ")");
}

} // namespace tlm
