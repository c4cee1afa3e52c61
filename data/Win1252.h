#pragma once

#include <QByteArray>
#include <QString>

// The Windows-1252 code page of the plan file and the error log.
namespace tlm {

// Characters the code page lacks become "?".
QByteArray toWin1252(const QString& s);
QString fromWin1252(const QByteArray& bytes);

} // namespace tlm
