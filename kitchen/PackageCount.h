#pragma once

#include <QVariant>

namespace tlm {

// The smallest number of whole packages that covers the need, taken to 10 significant digits
// (errors 94, 11, 6 as the list reports).
qint16 packageCount(const QVariant& need, const QVariant& packageSize);

} // namespace tlm
