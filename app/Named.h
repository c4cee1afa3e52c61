#pragma once

#include <QString>
#include <utility>

namespace tlm {

// A child control named as the code names it: tests and outside tools find it by that name.
template <class W, class P, class... A> W* makeNamed(P* parent, const char* name, A&&... args)
{
    auto* w = new W(std::forward<A>(args)..., parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace tlm
