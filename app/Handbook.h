#pragma once

#include <QString>

class QTextBrowser;

namespace tlm {

// The German handbook shipped with the program: handbuch/handbuch.html beside the program (a build
// tree, a portable copy), else in the installed program's share/fennor-tellomat/handbuch. Empty when
// there is none.
QString handbookFile();
// Tests point it at the repository's docs folder.
void setHandbookFolder(const QString& folder);

// Shows the handbook in a window of the program (offline), at the section of a window (its
// objectName as the anchor) or at its start. Over a modal window it opens above it, so both stay
// usable; a second call reuses the window open there.
void showHandbook(const QString& section = QString());

} // namespace tlm
