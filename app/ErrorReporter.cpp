#include "app/ErrorReporter.h"

#include "app/MessageBox.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "data/Win1252.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <new>

namespace tlm {

namespace {
int g_nesting = 0;
int g_reports = 0;

void appendToLog(const QString& line)
{
    const QString path = errorLogPath();
    if (isServerLocation(databasePath()))
        QDir().mkpath(QFileInfo(path).absolutePath()); // the user's data folder may be new
    QFile f(path);
    const QByteArray bytes = toWin1252(line + QStringLiteral("\r\n"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(bytes) != bytes.size() || !f.flush())
        raise(ErrFileAccess, f.fileName());
}
} // namespace

QString errorLogPath()
{
    // Beside the database file in use: an installed program's own folder cannot be written. With a
    // server, beside the program where that can be written, else in the user's own data folder.
    QString dir = QFileInfo(databasePath()).absolutePath();
    if (isServerLocation(databasePath())) {
        dir = applicationDirectory();
        if (isInstalledProgram() || !QFileInfo(dir).isWritable())
            dir = userDataFolder();
    }
    return QDir(dir).filePath(QStringLiteral("tlm_err.txt"));
}

QString errorLogLine(const QString& tag, const QString& text)
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HH:mm")) +
           QStringLiteral("/Modul=") + tag + QStringLiteral("/Name=/Desc=") + text;
}

int reportsMade()
{
    return g_reports;
}

void fncErr(const QString& tag, const QString& text, const QString& detail)
{
    ++g_reports;
    if (boxesToErrorOutput()) {
        // A run from the command line: the description alone, on the error output; no log file
        // beside a database that is only read.
        static const QRegularExpression number(QStringLiteral("^-?\\d+/"));
        tellOnErrorOutput(QString(text).remove(number));
        return;
    }
    msgBox(QStringLiteral("Die angeforderte Funktion kann nicht ausgeführt werden:\rModul: ") + tag + "," +
               text,
           64, QStringLiteral("Hinweis"));
    try {
        appendToLog(errorLogLine(tag, detail.isEmpty() ? text : text + " (" + detail + ")"));
    } catch (const Error& e) {
        // The one nested report of the reporter's own failure; if that fails too, the log is given up.
        if (g_nesting == 0) {
            ++g_nesting;
            fncErr(QStringLiteral("tlm/fncErr"), e.text());
            --g_nesting;
        }
    }
}

void reportCurrentException(const QString& tag)
{
    QString text, detail;
    try {
        throw;
    } catch (const Error& e) {
        text = e.text();
        detail = e.detail;
    } catch (const std::bad_alloc&) {
        text = QStringLiteral("7/Nicht genügend Speicher");
    } catch (const std::exception& e) {
        text = QStringLiteral("5/") + QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("5/Unzulässiger Prozeduraufruf oder ungültiges Argument");
    }
    fncErr(tag, text, detail);
}

} // namespace tlm
