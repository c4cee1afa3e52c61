#include "app/InstanceGuard.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace tlm {

namespace {
const QByteArray kRaise = "raise\n";
const QByteArray kOpen = "open "; // and the plan file's path, percent-encoded, then a line end
const QByteArray kDone = "ok\n";
constexpr int kConnectMs = 1000; // a holder that took the lock a moment ago starts listening within this
constexpr int kAnswerMs = 10000; // a holder busy with a backup of a large file answers within this

// Through a symbolic link the file has one name: its canonical one.
QString canonicalOrAbsolute(const QString& path)
{
    const QFileInfo fi(path);
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? fi.absoluteFilePath() : canonical;
}

// What the system calls the file whatever its names (hard links share it); empty where it has none.
QString fileIdentity(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return QStringLiteral("%1:%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
#else
    Q_UNUSED(path);
#endif
    return QString();
}
} // namespace

InstanceGuard::InstanceGuard(const QString& dbPath, QObject* parent)
    : QObject(parent), m_dbPath(canonicalOrAbsolute(dbPath)), m_lock(m_dbPath + ".lock")
{
    // A lock is stale only when its process is gone; a program may run for days.
    m_lock.setStaleLockTime(0);
    // Named after the file rather than a name of it: a second hard link finds the first program.
    const QString identity = fileIdentity(m_dbPath);
    m_serverName =
        QStringLiteral("fennor-tellomat-") +
        QString::fromLatin1(QCryptographicHash::hash((identity.isEmpty() ? m_dbPath : identity).toUtf8(),
                                                     QCryptographicHash::Sha1)
                                .toHex()
                                .left(20));
}

InstanceGuard::~InstanceGuard()
{
    delete m_server; // no longer answering before the lock file goes with m_lock
    m_server = nullptr;
}

InstanceGuard::Result InstanceGuard::acquire()
{
    const bool locked = m_lock.tryLock(0);
    // No lock file where nothing can be written (a read-only medium): no program writes there.
    if (locked || m_lock.error() != QLockFile::LockFailedError) {
        if (listen())
            return First;
        // The same file under another name (a second hard link) is held by a program here.
        if (locked)
            m_lock.unlock();
        if (askHolderToRaise())
            return Raised;
        m_refusal = QStringLiteral("Das Programm läuft bereits mit dieser Datenbank (Rechner %1).")
                        .arg(QSysInfo::machineHostName());
        return Refused;
    }
    // A holder writes its name into the lock file a moment after it made the file.
    qint64 pid = 0;
    QString host, app;
    const QDeadlineTimer readBy(kConnectMs);
    while (!m_lock.getLockInfo(&pid, &host, &app) && !readBy.hasExpired())
        QThread::msleep(20);
    if ((host.isEmpty() || host == QSysInfo::machineHostName()) && askHolderToRaise())
        return Raised;
    const QString since =
        QFileInfo(m_dbPath + ".lock").lastModified().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    m_refusal = host.isEmpty()
                    ? QStringLiteral("Das Programm läuft bereits mit dieser Datenbank (seit %1).").arg(since)
                    : QStringLiteral("Das Programm läuft bereits mit dieser Datenbank (Rechner %1, seit %2).")
                          .arg(host, since);
    return Refused;
}

bool InstanceGuard::listen()
{
    m_server = new QLocalServer(this);
    if (!m_server->listen(m_serverName)) {
        // Left behind by a program that crashed, or held by one that runs: only the living answer.
        QLocalSocket probe;
        probe.connectToServer(m_serverName);
        if (probe.waitForConnected(kConnectMs))
            return false;
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName))
            return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (!s->canReadLine())
                    return;
                const QByteArray line = s->readLine();
                if (line == kRaise || (line.startsWith(kOpen) && line.endsWith('\n'))) {
                    emit raiseRequested();
                    if (line != kRaise)
                        emit planFileRequested(QString::fromUtf8(
                            QByteArray::fromPercentEncoding(line.mid(kOpen.size()).chopped(1))));
                    s->write(kDone);
                    s->flush();
                }
                s->disconnectFromServer();
            });
        }
    });
    return true;
}

bool InstanceGuard::askHolderToRaise() const
{
    QLocalSocket s;
    // The holder may have taken the lock a moment ago and not be listening yet.
    const QDeadlineTimer connectBy(kConnectMs);
    for (;;) {
        s.connectToServer(m_serverName);
        if (s.waitForConnected(100))
            break;
        if (connectBy.hasExpired())
            return false;
        s.abort();
        QThread::msleep(50);
    }
    s.write(m_planFile.isEmpty() ? kRaise : kOpen + m_planFile.toUtf8().toPercentEncoding() + '\n');
    if (!s.waitForBytesWritten(kAnswerMs))
        return false;
    const QDeadlineTimer answerBy(kAnswerMs);
    while (!s.canReadLine())
        if (answerBy.hasExpired() || !s.waitForReadyRead(int(answerBy.remainingTime())))
            return false;
    return s.readLine() == kDone;
}

} // namespace tlm
