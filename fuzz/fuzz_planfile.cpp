// The plan file's codec and line parser: every byte round-trips through Windows-1252, and a line
// that parses comes back the same after being written again.
#include "data/Error.h"
#include "data/Win1252.h"
#include "plan/PlanFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    if (tlm::toWin1252(tlm::fromWin1252(bytes)) != bytes)
        std::abort();
    for (const QString& line : tlm::splitPlanText(bytes)) {
        try {
            const tlm::PlanEntry e = tlm::parsePlanLine(line);
            const QString again = tlm::planLine({e.tag, e.tagZeitNr, QString(), e.gTypNr, QString(), e.gerNr,
                                                 QString(), e.personen, e.noDruck});
            const tlm::PlanEntry f = tlm::parsePlanLine(again);
            if (f.tag != e.tag || f.tagZeitNr != e.tagZeitNr || f.gTypNr != e.gTypNr || f.gerNr != e.gerNr ||
                f.personen != e.personen || f.noDruck != e.noDruck)
                std::abort();
        } catch (const tlm::Error&) {
        }
    }
    return 0;
}
