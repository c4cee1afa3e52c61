#include "support/ReportCheck.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

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

QString pdfPageText(const QString& path, int page)
{
    QProcess p;
    const QString n = QString::number(page);
    p.start(QStringLiteral("pdftotext"), {"-layout", "-f", n, "-l", n, path, "-"});
    const bool finished = p.waitForFinished(60000);
    EXPECT_TRUE(finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        << "pdftotext: " << p.errorString().toStdString() << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace tlmtest
