#include "app/DatabaseLock.h"

#include "data/Connection.h"

namespace tlm {

namespace {
DatabaseLock* g_current = nullptr;
}

DatabaseLock::DatabaseLock()
{
    g_current = this;
}

DatabaseLock::~DatabaseLock()
{
    if (g_current == this)
        g_current = nullptr;
}

DatabaseLock* DatabaseLock::current()
{
    return g_current;
}

InstanceGuard::Result DatabaseLock::lock(const QString& location, const QString& planFile)
{
    m_next.reset();
    m_nextIsServer = isServerLocation(location);
    if (m_nextIsServer)
        return InstanceGuard::First;
    auto guard = std::make_unique<InstanceGuard>(location);
    guard->setPlanFile(planFile);
    // The file held already, under whatever name: asking ourselves would wait for an answer that
    // cannot come.
    if (m_held && guard->name() == m_held->name())
        return InstanceGuard::First;
    const InstanceGuard::Result result = guard->acquire();
    if (result != InstanceGuard::First) {
        m_refusal = result == InstanceGuard::Refused
                        ? guard->refusal()
                        : QStringLiteral("Das Programm läuft bereits mit dieser Datenbank.");
        return result;
    }
    connect(guard.get(), &InstanceGuard::raiseRequested, this, &DatabaseLock::raiseRequested);
    connect(guard.get(), &InstanceGuard::planFileRequested, this, &DatabaseLock::planFileRequested);
    m_next = std::move(guard);
    return InstanceGuard::First;
}

void DatabaseLock::keepLast()
{
    if (m_next || m_nextIsServer)
        m_held = std::move(m_next); // the lock before goes with it
    m_next.reset();
    m_nextIsServer = false;
}

void DatabaseLock::dropLast()
{
    m_next.reset();
    m_nextIsServer = false;
}

} // namespace tlm
