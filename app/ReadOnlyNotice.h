#pragma once

#include <QString>

namespace tlm {

// Once the database at location is open: tells when it is only read (made by a newer version, or
// not writable), so that nobody types into windows whose changes cannot be kept.
void tellWhenReadOnly(const QString& location);

} // namespace tlm
