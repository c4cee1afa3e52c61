// The leading-number rule: any text gives a number or error 6, never a crash.
#include "data/Convert.h"
#include "data/Error.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString s = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    try {
        const double d = tlm::val(s);
        if (std::isnan(d) || std::isinf(d))
            std::abort();
        tlm::numberText(d);
        tlm::toInt16(d);
    } catch (const tlm::Error& e) {
        if (e.number != tlm::ErrOverflow)
            std::abort();
    }
    return 0;
}
