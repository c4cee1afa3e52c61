// The Jet date-literal rewrite: never crashes, and text without "#" passes unchanged.
#include "data/JetSql.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const QString out = tlm::rewriteJetSql(sql);
    if (!sql.contains('#') && out != sql)
        std::abort();
    // A rewrite only ever replaces "#m/d/yyyy#" (at most 12 characters) by "'yyyy-mm-dd'".
    if (out.size() > sql.size() + sql.count('#'))
        std::abort();
    return 0;
}
