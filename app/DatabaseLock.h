#pragma once

#include "app/InstanceGuard.h"

#include <QObject>
#include <memory>

namespace tlm {

// The one-program-per-database lock of the database the window works on: taken at the start and
// handed over when another database is chosen, so that the file worked on is the file locked. A
// server, there for several programs at once, takes none.
class DatabaseLock : public QObject
{
    Q_OBJECT
public:
    DatabaseLock();
    ~DatabaseLock() override;
    // The program's lock; nullptr without a window (the command line, which only reads).
    static DatabaseLock* current();

    // Locks location besides the lock held. First when it may be worked on (already the one held, a
    // server, or locked now); Raised or Refused (refusal() says why) leave everything as it was.
    // A plan file given, a program that holds the file already is asked to offer it for loading.
    InstanceGuard::Result lock(const QString& location, const QString& planFile = QString());
    QString refusal() const { return m_refusal; }
    // The program works on the database locked last now: the lock held before goes.
    void keepLast();
    // The database locked last is not used after all: its lock goes, the one held stays.
    void dropLast();

signals:
    // A second start asked this program to come to the front.
    void raiseRequested();
    void planFileRequested(const QString& path);

private:
    std::unique_ptr<InstanceGuard> m_held, m_next;
    bool m_nextIsServer = false;
    QString m_refusal;
};

} // namespace tlm
