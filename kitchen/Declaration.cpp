#include "kitchen/Declaration.h"

#include "data/ExtraSettings.h"
#include "data/Globals.h"
#include "kitchen/DishMarks.h"

#include <QStringList>
#include <algorithm>

namespace tlm {

namespace {
constexpr int kNoticeRow = 210;
constexpr int kWeekPlanMarksRow = 211;
} // namespace

QString declarationNotice()
{
    return extraSetting(kNoticeRow)
        .value_or(QStringLiteral("Fragen zu Allergenen und Zusatzstoffen: bitte an die Küchenleitung"));
}

void storeDeclarationNotice(const QString& text)
{
    storeExtraSetting(kNoticeRow, text.trimmed());
}

QSet<int> marksOnWeekPlan()
{
    QSet<int> marks;
    for (const QString& n :
         extraSetting(kWeekPlanMarksRow).value_or(QString()).split(',', Qt::SkipEmptyParts))
        marks.insert(n.toInt());
    return marks;
}

void setMarkOnWeekPlan(int allNr, bool on)
{
    QSet<int> marks = marksOnWeekPlan();
    if (on)
        marks.insert(allNr);
    else
        marks.remove(allNr);
    QList<int> sorted(marks.cbegin(), marks.cend());
    std::sort(sorted.begin(), sorted.end());
    QStringList texts;
    for (int n : sorted)
        texts << QString::number(n);
    gConnection.requireWritable();
    storeExtraSetting(kWeekPlanMarksRow, texts.join(','));
}

int addOwnMark(const QString& name)
{
    gConnection.requireWritable();
    Transaction t(gConnection);
    RecordsetPtr same = gConnection.execute(
        QStringLiteral("select ALLNR from ALLERGENE where ALLNR >= %1 and lower(ALLERGEN) = lower(?)")
            .arg(kFirstOwnMark),
        {name});
    if (!same->eof())
        return same->value(0, 0).toInt();
    const int nr =
        qMax(kFirstOwnMark, gConnection.newKey(QStringLiteral("ALLERGENE"), QStringLiteral("ALLNR"), 0));
    gConnection.exec(QStringLiteral("insert into ALLERGENE (ALLNR, KURZ, ALLERGEN) values (?, ?, ?)"),
                     {nr, name.left(10), name.left(60)});
    t.commit();
    return nr;
}

} // namespace tlm
