#include "kitchen/PlanKeys.h"

#include "data/DataHelpers.h"
#include "data/Globals.h"

namespace tlm {

namespace {
QString refusal(int count, int room)
{
    if (room == 0)
        return QStringLiteral("Der Speiseplan hat keine freie Nummer für einen neuen Eintrag mehr (Nummern "
                              "bis %1); nichts geändert.")
            .arg(kHighestPlanKey);
    return QStringLiteral("Für %1 neue Einträge sind nicht genug Nummern frei (bis %2): auf einmal %3; "
                          "nichts geändert.")
        .arg(count)
        .arg(kHighestPlanKey)
        .arg(room == 1 ? QStringLiteral("passt nur noch 1 Eintrag")
                       : QStringLiteral("passen nur noch %1 Einträge").arg(room));
}
} // namespace

PlanKeys newPlanKeys(int count)
{
    int room = 0;
    const qint32 first =
        newKeysWithin(QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"), count, kHighestPlanKey, &room);
    return first > 0 ? PlanKeys{first, {}} : PlanKeys{0, refusal(count, room)};
}

QString planKeysRefusal(int count)
{
    // A server reserves the keys it hands out: asked in a transaction that is never committed.
    Transaction t(gConnection);
    return newPlanKeys(count).refusal;
}

} // namespace tlm
