#pragma once

#include <QChar>
#include <QString>

struct sqlite3;

namespace tlm {

// Registers the German, case-insensitive like and NOCASE collation on a connection, as the
// catalogue's searches and sort orders expect (umlauts with their base letters, ß as ss).
void registerGermanText(sqlite3* db);
// The like rule itself: % and _ as wildcards, an optional escape character, case folded.
bool germanLike(const QString& pattern, const QString& value, QChar escape = QChar());

} // namespace tlm
