#include "kitchen/PackageCount.h"

#include "data/Convert.h"
#include "data/Error.h"

namespace tlm {

qint16 packageCount(const QVariant& need, const QVariant& packageSize)
{
    if (need.isNull() || packageSize.isNull())
        raise(ErrInvalidNull);
    const double mengsum = roundSignificant(toDouble(need)), menge = toDouble(packageSize);
    if (menge == 0)
        raise(ErrDivisionByZero);
    // The quotient's number text read back by the leading-number rule, then one more package
    // when that does not cover the need.
    qint16 n = toInt16(val(numberText(mengsum / menge)));
    if (n * menge < mengsum)
        n = toInt16(double(n) + 1);
    // A quotient far beyond 16 bits reads back short (its text has an exponent): never print too few.
    if (n * menge < mengsum)
        raise(ErrOverflow);
    return n;
}

} // namespace tlm
