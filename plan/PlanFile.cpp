#include "plan/PlanFile.h"

#include "data/Convert.h"
#include "data/Error.h"
#include "data/Win1252.h"

namespace tlm {

QString planLine(const QVector<QVariant>& fields)
{
    QString line;
    for (const QVariant& f : fields) {
        QString t = textOf(f);
        if (f.typeId() == QMetaType::QString)
            t.replace('|', QChar(0x00A6));
        line += t + '|';
    }
    return line;
}

PlanEntry parsePlanLine(const QString& line)
{
    const QStringList f = line.split('|');
    auto field = [&](int i) -> const QString& {
        if (i >= f.size())
            raise(ErrSubscript);
        return f[i];
    };
    auto number = [&](int i) { return toInt32(QVariant(field(i))); };
    PlanEntry e;
    e.tag = parseDate(field(0));
    if (!e.tag.isValid())
        raise(ErrTypeMismatch);
    e.tagZeitNr = number(1);
    e.gTypNr = number(3);
    e.gerNr = number(5);
    e.personen = toInt16(QVariant(field(7))); // the program counts persons in 16 bits
    e.noDruck = field(8) == QLatin1String("Wahr");
    return e;
}

QStringList splitPlanText(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    QStringList lines = fromWin1252(bytes).split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

QByteArray joinPlanLines(const QStringList& lines)
{
    QByteArray out;
    for (const QString& l : lines)
        out += toWin1252(l) + "\r\n";
    return out;
}

} // namespace tlm
