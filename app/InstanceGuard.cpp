#include "app/InstanceGuard.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>

namespace tlm {

namespace {
const QByteArray kRaise = "raise\n";
const QByteArray kDone = "ok\n";
constexpr int kAnswerMs = 1000; // a second start waits at most this long to connect, and as long again
} // namespace

InstanceGuard::InstanceGuard(const QString& dbPath, QObject* parent)
    : QObject(parent), m_dbPath(QFileInfo(dbPath).absoluteFilePath()), m_lock(m_dbPath + ".lock")
{
    // A lock is stale only when its process is gone; a program may run for days.
    m_lock.setStaleLockTime(0);
    m_serverName =
        QStringLiteral("fennor-tellomat-") +
        QString::fromLatin1(
            QCryptographicHash::hash(m_dbPath.toUtf8(), QCryptographicHash::Sha1).toHex().left(20));
}

InstanceGuard::~InstanceGuard() = default; // the lock file goes with m_lock

InstanceGuard::Result InstanceGuard::acquire()
{
    if (m_lock.tryLock(0)) {
        listen();
        return First;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        // No lock file where nothing can be written (a read-only medium): no program writes there.
        listen();
        return First;
    }
    qint64 pid = 0;
    QString host, app;
    m_lock.getLockInfo(&pid, &host, &app);
    if ((host.isEmpty() || host == QSysInfo::machineHostName()) && askHolderToRaise())
        return Raised;
    m_refusal =
        QStringLiteral("Das Programm läuft bereits mit dieser Datenbank (Rechner %1, seit %2).")
            .arg(host.isEmpty() ? QStringLiteral("?") : host,
                 QFileInfo(m_dbPath + ".lock").lastModified().toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    return Refused;
}

void InstanceGuard::listen()
{
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(m_serverName); // left behind by a program that crashed
    if (!m_server->listen(m_serverName))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (!s->canReadLine())
                    return;
                if (s->readLine() == kRaise) {
                    emit raiseRequested();
                    s->write(kDone);
                    s->flush();
                }
                s->disconnectFromServer();
            });
        }
    });
}

bool InstanceGuard::askHolderToRaise() const
{
    QLocalSocket s;
    // The holder may have taken the lock a moment ago and not be listening yet.
    const QDeadlineTimer connectBy(kAnswerMs);
    for (;;) {
        s.connectToServer(m_serverName);
        if (s.waitForConnected(100))
            break;
        if (connectBy.hasExpired())
            return false;
        s.abort();
        QThread::msleep(50);
    }
    s.write(kRaise);
    if (!s.waitForBytesWritten(kAnswerMs))
        return false;
    while (!s.canReadLine())
        if (!s.waitForReadyRead(kAnswerMs))
            return false;
    return s.readLine() == kDone;
}

} // namespace tlm
