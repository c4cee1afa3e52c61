#pragma once

#include <QString>

namespace tlm {

// The plan entry window holds a key in 16 bits: every entry a tool makes keeps its key within this.
constexpr qint32 kHighestPlanKey = 32767;

// count new plan keys in a row within kHighestPlanKey, inside the caller's transaction
// (newKeysWithin). When there is no room: first 0 and the refusal, naming how many entries still fit.
struct PlanKeys
{
    qint32 first = 0;
    QString refusal;
};
PlanKeys newPlanKeys(int count);
// The refusal newPlanKeys would give, asked before anything changes; empty when there is room.
QString planKeysRefusal(int count);

} // namespace tlm
