#include "app/PendingEdits.h"

#include "app/ErrorReporter.h"
#include "app/MessageBox.h"
#include "data/Globals.h"

#include <QMetaObject>

namespace tlm {

PendingEdits::PendingEdits(const char* tag, Steps steps) : m_tag(tag), m_steps(std::move(steps)) {}

bool PendingEdits::mayLeave()
{
    if (!changed() || gConnection.isReadOnly())
        return true;
    switch (msgBox(m_steps.question(), 35, QStringLiteral("Ihre Wahl ..."))) {
    case vbYes:
        return guardOr(m_tag, false, [&] { return m_steps.save(); });
    case vbNo:
        shown();
        return true;
    default:
        return false;
    }
}

void PendingEdits::leaveLater(QObject* context, std::function<void()> go)
{
    QMetaObject::invokeMethod(
        context,
        [this, go = std::move(go)] {
            if (mayLeave())
                guard(m_tag, go);
        },
        Qt::QueuedConnection);
}

} // namespace tlm
