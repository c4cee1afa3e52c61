#pragma once

#include "app/ErrorReporter.h"
#include "data/Connection.h"
#include "data/Globals.h"

#include <memory>
#include <utility>

namespace tlm {

// The one way dialogs are opened: a fresh instance, its f variables set, its Form_Load, shown
// modally, its key read back, the instance released. A failure is reported under the launcher's
// tag and gives the neutral result. A window that reads nothing (kReadsNothing) need not learn first
// whether the server is reachable; one whose lists are known (keptLists()) asks for those not kept
// yet, which learns it as well.
template <class W, class Setup, class Read> auto launchDialog(const char* tag, Setup&& setup, Read&& read)
{
    using R = decltype(read(std::declval<W&>()));
    return guardOr(tag, R{}, [&] {
        if constexpr (requires { W::keptLists(); }) {
            if (!gConnection.keepLists(W::keptLists()))
                gConnection.requireReachable();
        } else if constexpr (!requires { W::kReadsNothing; }) {
            gConnection.requireReachable();
        }
        auto w = std::make_unique<W>();
        setup(*w);
        w->Form_Load();
        w->exec();
        return read(*w);
    });
}
// Each window's launcher is declared in the window's own header.

} // namespace tlm
