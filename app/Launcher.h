#pragma once

#include "app/ErrorReporter.h"

#include <memory>
#include <utility>

namespace tlm {

// The one way dialogs are opened: a fresh instance, its f variables set, its Form_Load, shown
// modally, its key read back, the instance released. A failure is reported under the launcher's
// tag and gives the neutral result.
template <class W, class Setup, class Read> auto launchDialog(const char* tag, Setup&& setup, Read&& read)
{
    using R = decltype(read(std::declval<W&>()));
    return guardOr(tag, R{}, [&] {
        auto w = std::make_unique<W>();
        setup(*w);
        w->Form_Load();
        w->exec();
        return read(*w);
    });
}

qint32 fncDlgSpeiseplanDet(qint32 key, const QDate& tag, qint16 tagZeitNr, qint16 gTypNr, qint16 personen);
qint32 fncDlgGerichtDet(qint32 gerNr);
qint32 fncDlgRezDet(qint32 rezNr, qint32 gerNr);
qint32 fncDlgZutatList(qint32 zutNr, bool lov);
qint32 fncDlgZutatDet(qint32 zutNr);
void fncDlgAbout(qint32 milliseconds);

} // namespace tlm
