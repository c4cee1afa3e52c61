#pragma once

#include <QString>

namespace tlm {

// Rewrites Jet date literals #mm/dd/yyyy# outside quoted strings into 'yyyy-mm-dd'; everything
// else passes unchanged. A "#" that does not open a valid date literal is left alone.
QString rewriteJetSql(const QString& sql);

} // namespace tlm
