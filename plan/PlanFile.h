#pragma once

#include <QDate>
#include <QStringList>
#include <QVariant>
#include <QVector>

// The plan file: one line per entry, nine fields each ended by "|", Windows-1252, CRLF.
namespace tlm {

struct PlanEntry
{
    QDate tag;
    qint32 tagZeitNr = 0;
    qint32 gTypNr = 0;
    qint32 gerNr = 0;
    qint32 personen = 0;
    bool noDruck = false;
};

// One line from the nine field values; a "|" inside a text becomes "¦" so the line keeps nine fields.
QString planLine(const QVector<QVariant>& fields);
// Reads one line; a line that is short or does not convert raises the error the import reports.
PlanEntry parsePlanLine(const QString& line);

// Whole files: the lines of a file (a final line end closes the last line), and back.
QStringList splitPlanText(const QByteArray& bytes);
QByteArray joinPlanLines(const QStringList& lines);

} // namespace tlm
