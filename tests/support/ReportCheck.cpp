#include "support/ReportCheck.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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

namespace {
QString runTool(const QString& tool, const QStringList& arguments)
{
    QProcess p;
    p.start(tool, arguments);
    const bool ran = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    EXPECT_TRUE(ran) << tool.toStdString() << ": " << p.errorString().toStdString() << " "
                     << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

QString pdfInfo(const QString& path, const QString& field)
{
    const QString info =
        runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path});
    const QRegularExpression line("^" + QRegularExpression::escape(field) + ":\\s*(.*)$",
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

QString pdfText(const QString& path)
{
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, "-"});
}

QString pdfPageText(const QString& path, int page)
{
    const QString n = QString::number(page);
    return runTool(QStringLiteral("pdftotext"), {"-layout", "-f", n, "-l", n, path, "-"});
}

} // namespace tlmtest
