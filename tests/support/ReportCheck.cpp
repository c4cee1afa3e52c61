#include "support/ReportCheck.h"

#include <QFile>

namespace tlmtest {

int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    if (!bytes.startsWith("%PDF"))
        return -1;
    return int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "));
}

} // namespace tlmtest
