#pragma once

#include <QString>
#include <optional>

namespace tlm {

// A setting of the extras, kept per database in a PARAMETER row from 200 up; none when the row is missing.
std::optional<QString> extraSetting(int parid);
// Writes the row only when the value differs from what is stored, and not into a read-only database.
void storeExtraSetting(int parid, const QString& value);

} // namespace tlm
