#include "kitchen/DietGroups.h"

#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/DishMarks.h"
#include "kitchen/EaterList.h"
#include "kitchen/PlanKeys.h"
#include "kitchen/Undo.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>

namespace tlm {

namespace {
QString iso(const QDate& d)
{
    return d.toString(Qt::ISODate);
}

QVariant dateOrNull(const QDate& d)
{
    return d.isValid() ? QVariant(iso(d)) : QVariant();
}

// The dish S.GERNR is one the group G.GRUPPENR may eat: it has recipe lines, none brings in what the
// group avoids, and none may hold traces of what it avoids traces of.
const char* const kMayEat =
    "exists (select 1 from REZEPTE R where R.GERNR = %1)"
    " and not exists (select 1 from REZEPTE R join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR"
    " join GRUPPENALLERGENE GA on GA.ALLNR = Z.ALLNR where R.GERNR = %1 and GA.GRUPPENR = %2)"
    " and not exists (select 1 from REZEPTE R join ZUTSPUREN Z on Z.ZUTNR = R.ZUTNR"
    " join GRUPPENSPUREN GS on GS.ALLNR = Z.ALLNR where R.GERNR = %1 and GS.GRUPPENR = %2)";

QString mayEat(const QString& dish, const QString& group)
{
    return QString::fromLatin1(kMayEat).arg(dish, group);
}

// "A Gluten", "G Milch", "Fleisch": the letter and the name without its explanation.
QString avoidedText(int allNr, const QString& kurz, const QString& name)
{
    QString shortName = name.section(QStringLiteral(" ("), 0, 0);
    return allNr <= 14 ? kurz + ' ' + shortName : shortName;
}

QString whyNot(int gerNr, const QString& dish, int gruppeNr)
{
    const QString where =
        " where R.GERNR = " + QString::number(gerNr) + " and G.GRUPPENR = " + QString::number(gruppeNr);
    RecordsetPtr rs = gConnection.execute(
        "select distinct 0 as SPUR, A.ALLNR, A.KURZ, A.ALLERGEN from REZEPTE R join ZUTALLERGENE Z"
        " on Z.ZUTNR = R.ZUTNR join GRUPPENALLERGENE G on G.ALLNR = Z.ALLNR join ALLERGENE A on A.ALLNR = "
        "Z.ALLNR" +
        where +
        " union select distinct 1, A.ALLNR, A.KURZ, A.ALLERGEN from REZEPTE R join ZUTSPUREN Z on Z.ZUTNR = "
        "R.ZUTNR"
        " join GRUPPENSPUREN G on G.ALLNR = Z.ALLNR join ALLERGENE A on A.ALLNR = Z.ALLNR" +
        where + " order by 1, 2");
    if (rs->rowCount() == 0)
        return dish + QStringLiteral(" hat keine Rezeptzeilen: was es enthält, ist unbekannt");
    QStringList parts, traces;
    for (int r = 0; r < rs->rowCount(); ++r)
        (rs->value(r, 0).toInt() == 1 ? traces : parts)
            << avoidedText(rs->value(r, 1).toInt(), rs->value(r, 2).toString(), rs->value(r, 3).toString());
    if (!traces.isEmpty())
        parts << QStringLiteral("Spuren von ") + traces.join(QStringLiteral(", "));
    return dish + QStringLiteral(" enthält ") + parts.join(QStringLiteral(", "));
}

// "Keine Suppe ist für Laktosefrei geeignet": the article as German dish types take it (die Suppe,
// Beilage, Nachspeise, Brotzeit; der Salat, das Hauptgericht, Getränk).
QString noDishText(const QString& type, const QString& group)
{
    const QString name = type.isEmpty() ? QStringLiteral("Gericht dieser Art") : type;
    const bool feminine = name.endsWith('e') || name.endsWith(QLatin1String("zeit"));
    return (feminine ? QStringLiteral("Keine ") : QStringLiteral("Kein ")) + name +
           QStringLiteral(" ist für ") + group + QStringLiteral(" geeignet");
}

} // namespace

QVector<DietGroup> dietGroups()
{
    QVector<DietGroup> groups;
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select GRUPPENR, GRUPPE, PERSONEN, VON, BIS from GRUPPEN order by GRUPPE, GRUPPENR"));
    QHash<int, qsizetype> at;
    for (int r = 0; r < rs->rowCount(); ++r) {
        at.insert(rs->value(r, 0).toInt(), groups.size());
        groups << DietGroup{rs->value(r, 0).toInt(),
                            rs->value(r, 1).toString(),
                            rs->value(r, 2).toInt(),
                            rs->value(r, 3).toDate(),
                            rs->value(r, 4).toDate(),
                            {},
                            {}};
    }
    for (const bool traces : {false, true}) {
        RecordsetPtr marks = gConnection.execute(
            traces ? QStringLiteral("select GRUPPENR, ALLNR from GRUPPENSPUREN order by GRUPPENR, ALLNR")
                   : QStringLiteral("select GRUPPENR, ALLNR from GRUPPENALLERGENE order by GRUPPENR, ALLNR"));
        for (int m = 0; m < marks->rowCount(); ++m) {
            const auto g = at.constFind(marks->value(m, 0).toInt());
            if (g != at.cend())
                (traces ? groups[*g].traces : groups[*g].avoided) << marks->value(m, 1).toInt();
        }
    }
    if (gConnection.hasTable(QStringLiteral("GRUPPENESSER"))) {
        RecordsetPtr bands =
            gConnection.execute(QStringLiteral("select GRUPPENR, ESSERNR from GRUPPENESSER"));
        for (int r = 0; r < bands->rowCount(); ++r)
            for (DietGroup& g : groups)
                if (g.nr == bands->value(r, 0).toInt())
                    g.esserNr = bands->value(r, 1).toInt();
    }
    return groups;
}

int saveDietGroup(const DietGroup& group)
{
    Transaction t(gConnection);
    int nr = group.nr;
    if (nr == 0) {
        nr = gConnection.newKey(QStringLiteral("GRUPPEN"), QStringLiteral("GRUPPENR"), 0);
        gConnection.exec(QStringLiteral("insert into GRUPPEN (GRUPPENR, GRUPPE) values (?, ?)"),
                         {nr, group.name});
    }
    gConnection.exec(
        QStringLiteral("update GRUPPEN set GRUPPE = ?, PERSONEN = ?, VON = ?, BIS = ? where GRUPPENR = ?"),
        {group.name, group.persons, dateOrNull(group.von), dateOrNull(group.bis), nr});
    gConnection.exec(QStringLiteral("delete from GRUPPENALLERGENE where GRUPPENR = ?"), {nr});
    gConnection.exec(QStringLiteral("delete from GRUPPENSPUREN where GRUPPENR = ?"), {nr});
    // Who avoids the traces of an allergen avoids the allergen.
    QSet<int> avoided(group.avoided.cbegin(), group.avoided.cend());
    for (int allNr : group.traces) {
        avoided.insert(allNr);
        gConnection.exec(QStringLiteral("insert into GRUPPENSPUREN (GRUPPENR, ALLNR) values (?, ?)"),
                         {nr, allNr});
    }
    for (int allNr : avoided)
        gConnection.exec(QStringLiteral("insert into GRUPPENALLERGENE (GRUPPENR, ALLNR) values (?, ?)"),
                         {nr, allNr});
    setGroupBand(nr, group.esserNr);
    t.commit();
    return nr;
}

void deleteDietGroup(int nr)
{
    Transaction t(gConnection);
    gConnection.exec(QStringLiteral("delete from GRUPPEN where GRUPPENR = ?"), {nr});
    t.commit();
}

QVector<MealConflict> mealConflicts(const QDate& von, const QDate& bis)
{
    // Per meal and dish type, a group may eat the common entries and its own replacements; it has a
    // conflict when none of them is a dish it may eat. One line per common entry of that type.
    const QString sql =
        "select S.KEY, G.GRUPPENR, S.TAG, S.TAGZEITNR, coalesce(T.TAGZEITKURZ, T.TAGZEIT), G.GRUPPE, "
        "G.PERSONEN,"
        " S.GERNR, D.GERICHT, Y.GTYP, coalesce(S.GTYPNR, D.GTYPNR)"
        " from SPEISEPLAN S"
        " join GRUPPEN G on G.PERSONEN > 0 and (G.VON is null or S.TAG >= G.VON) and (G.BIS is null or S.TAG "
        "<= G.BIS)"
        " and exists (select 1 from GRUPPENALLERGENE GA where GA.GRUPPENR = G.GRUPPENR)"
        " left join TAGZEIT T on T.TAGZEITNR = S.TAGZEITNR"
        " left join GTYP Y on Y.GTYPNR = S.GTYPNR"
        " left join GERICHTE D on D.GERNR = S.GERNR"
        " where S.TAG between '" +
        iso(von) + "' and '" + iso(bis) +
        "' and S.KEY not in (select KEY from ERSATZ)"
        " and not exists (select 1 from SPEISEPLAN S2 left join ERSATZ E on E.KEY = S2.KEY"
        " where S2.TAG = S.TAG and S2.TAGZEITNR = S.TAGZEITNR and S2.GTYPNR = S.GTYPNR"
        " and (E.KEY is null or E.GRUPPENR = G.GRUPPENR) and " +
        mayEat(QStringLiteral("S2.GERNR"), QStringLiteral("G.GRUPPENR")) +
        ") order by S.TAG, T.TAGZEITSORT, S.TAGZEITNR, Y.GTYPSORT, G.GRUPPE, G.GRUPPENR, S.KEY";
    RecordsetPtr rs = gConnection.execute(sql);
    QVector<MealConflict> lines;
    for (int r = 0; r < rs->rowCount(); ++r) {
        MealConflict c;
        c.key = rs->value(r, 0).toInt();
        c.gruppeNr = rs->value(r, 1).toInt();
        c.tag = rs->value(r, 2).toDate();
        c.tagZeitNr = rs->value(r, 3).toInt();
        c.gerNr = rs->value(r, 7).toInt();
        c.gtypNr = rs->value(r, 10).toInt();
        c.groupPersons = rs->value(r, 6).toInt();
        c.dish = rs->value(r, 8).toString();
        c.group = rs->value(r, 5).toString();
        const QString group = rs->value(r, 5).toString() + " (" + rs->value(r, 6).toString() + ")";
        c.text = shortDayDate(c.tag) + ' ' + rs->value(r, 4).toString() + QStringLiteral(" · ") + group +
                 QStringLiteral(" · ") +
                 whyNot(rs->value(r, 7).toInt(), rs->value(r, 8).toString(), c.gruppeNr);
        c.noDish = noDishText(rs->value(r, 9).toString(), rs->value(r, 5).toString());
        lines << c;
    }
    return lines;
}

int openConflictMeals()
{
    const PlanSpan span = planSpan();
    if (!span.first.isValid())
        return 0;
    QSet<QString> meals;
    for (const MealConflict& c : mealConflicts(span.first, span.last))
        meals.insert(iso(c.tag) + '/' + QString::number(c.tagZeitNr));
    return int(meals.size());
}

namespace {
// The dishes of a type a group may eat, for every group and type at once: (group, type) to the
// dishes, checked ones first, each by name.
QHash<QPair<int, int>, QVector<OfferedDish>> safeDishes(const QString& groups, const QString& types)
{
    const QString offered = "from GERICHTE O, GRUPPEN G where G.GRUPPENR in (" + groups +
                            ") and O.GTYPNR in (" + types + ") and " +
                            mayEat(QStringLiteral("O.GERNR"), QStringLiteral("G.GRUPPENR"));
    RecordsetPtr rs = gConnection.execute("select G.GRUPPENR, O.GTYPNR, O.GERNR, O.GERICHT " + offered +
                                          " order by O.GERICHT, O.GERNR");
    const DishMarks marks("select O.GERNR " + offered);
    QHash<QPair<int, int>, QVector<OfferedDish>> dishes;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const int gerNr = rs->value(r, 2).toInt();
        const QString letters = marks.letters(gerNr);
        OfferedDish d{gerNr,
                      rs->value(r, 3).toString() +
                          (letters.isEmpty() ? QString() : QStringLiteral(" (") + letters + ')'),
                      marks.unchecked(gerNr)};
        if (d.unchecked)
            d.text += QStringLiteral(" – ungeprüft");
        dishes[{rs->value(r, 0).toInt(), rs->value(r, 1).toInt()}] << d;
    }
    for (QVector<OfferedDish>& list : dishes)
        std::stable_partition(list.begin(), list.end(), [](const OfferedDish& d) { return !d.unchecked; });
    return dishes;
}

// Puts the dish in for the conflict's group under the new key and takes the group's persons from the
// conflicting entry, inside the caller's transaction and undo step.
void feed(const MealConflict& conflict, int gerNr, qint32 newKey, int groupPersons)
{
    // A dish is planned as its own type.
    gConnection.exec(
        QStringLiteral(
            "insert into SPEISEPLAN (KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK)"
            " select ?, TAG, TAGZEITNR, coalesce((select GTYPNR from GERICHTE where GERNR = ?), GTYPNR),"
            " ?, ?, 0 from SPEISEPLAN where KEY = ?"),
        {newKey, gerNr, gerNr, groupPersons, conflict.key});
    gConnection.exec(QStringLiteral("insert into ERSATZ (KEY, GRUPPENR) values (?, ?)"),
                     {newKey, conflict.gruppeNr});
    gConnection.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = PERSONEN - ? where KEY = ?"),
                     {groupPersons, conflict.key});
}

QString tooFew(const QString& dish, int persons, const QString& group, int groupPersons)
{
    return QStringLiteral("%1 hat nur %2, %3 sind %4: nichts geändert.")
        .arg(dish, persons == 1 ? QStringLiteral("1 Person") : QStringLiteral("%1 Personen").arg(persons),
             group)
        .arg(groupPersons);
}
} // namespace

QVector<OfferedDish> offeredDishes(const MealConflict& conflict)
{
    return safeDishes(QString::number(conflict.gruppeNr), QString::number(conflict.gtypNr))
        .value({conflict.gruppeNr, conflict.gtypNr});
}

ChoiceResult chooseReplacement(const MealConflict& conflict, int gerNr)
{
    Transaction t(gConnection);
    RecordsetPtr entry = gConnection.execute(
        "select S.PERSONEN, D.GERICHT from SPEISEPLAN S left join GERICHTE D on D.GERNR = S.GERNR"
        " where S.KEY = " +
        QString::number(conflict.key));
    RecordsetPtr group = gConnection.execute("select GRUPPE, PERSONEN from GRUPPEN where GRUPPENR = " +
                                             QString::number(conflict.gruppeNr));
    if (entry->eof() || group->eof())
        return {0, QStringLiteral("Der Eintrag oder die Gruppe ist nicht mehr da.")};
    const int persons = entry->value(0, 0).toInt(), groupPersons = group->value(0, 1).toInt();
    if (persons < groupPersons)
        return {0,
                tooFew(entry->value(0, 1).toString(), persons, group->value(0, 0).toString(), groupPersons)};
    const PlanKeys key = newPlanKeys(1);
    if (!key.refusal.isEmpty())
        return {0, key.refusal};
    UndoStep step(QStringLiteral("Ersatz wählen"));
    step.keepRows(QStringLiteral("KEY = ?"), {conflict.key});
    feed(conflict, gerNr, key.first, groupPersons);
    step.keepNew(QStringLiteral("KEY = ?"), {key.first});
    step.finish();
    t.commit();
    return {key.first, {}};
}

BulkResult chooseAllReplacements(const QVector<MealConflict>& lines)
{
    BulkResult result;
    if (lines.isEmpty())
        return result;
    QStringList groups, types;
    for (const MealConflict& c : lines) {
        groups << QString::number(c.gruppeNr);
        types << QString::number(c.gtypNr);
    }
    groups.removeDuplicates();
    types.removeDuplicates();
    const auto safe = safeDishes(groups.join(','), types.join(','));
    // What the kitchen put in for a group in place of a dish before, the latest choice last.
    RecordsetPtr before = gConnection.execute(
        "select E.GRUPPENR, C.GERNR, R.GERNR from ERSATZ E join SPEISEPLAN R on R.KEY = E.KEY"
        " join SPEISEPLAN C on C.TAG = R.TAG and C.TAGZEITNR = R.TAGZEITNR and C.GTYPNR = R.GTYPNR"
        " and C.KEY not in (select KEY from ERSATZ) where E.GRUPPENR in (" +
        groups.join(',') + ") order by R.KEY");
    QHash<QPair<int, int>, int> chosen;
    for (int r = 0; r < before->rowCount(); ++r)
        chosen.insert({before->value(r, 0).toInt(), before->value(r, 1).toInt()},
                      before->value(r, 2).toInt());

    // The persons on the entries as they are now, in the transaction that changes them: the lines may
    // be older than the plan.
    Transaction t(gConnection);
    QStringList keys;
    for (const MealConflict& c : lines)
        keys << QString::number(c.key);
    keys.removeDuplicates();
    RecordsetPtr now =
        gConnection.execute("select KEY, PERSONEN from SPEISEPLAN where KEY in (" + keys.join(',') + ')');
    QHash<qint32, int> persons;
    for (int r = 0; r < now->rowCount(); ++r)
        persons.insert(now->value(r, 0).toInt(), now->value(r, 1).toInt());

    // The plan as the choices will leave it: the persons still on each entry, the meals fed.
    struct Choice
    {
        const MealConflict* line;
        int gerNr;
    };
    QVector<Choice> choices;
    QSet<qint32> touched;
    QSet<QString> fed;
    for (const MealConflict& c : lines) {
        const QString meal = QStringLiteral("%1/%2/%3/%4")
                                 .arg(c.gruppeNr)
                                 .arg(c.tag.toString(Qt::ISODate))
                                 .arg(c.tagZeitNr)
                                 .arg(c.gtypNr);
        if (fed.contains(meal))
            continue; // a second common dish of the meal: the group eats already
        const QVector<OfferedDish> dishes = safe.value({c.gruppeNr, c.gtypNr});
        int gerNr = 0;
        const int earlier = chosen.value({c.gruppeNr, c.gerNr});
        for (const OfferedDish& d : dishes)
            if (!d.unchecked && (gerNr == 0 || d.gerNr == earlier))
                gerNr = d.gerNr;
        if (gerNr == 0) {
            result.open << c.text + QStringLiteral(" – ") + c.noDish;
            continue;
        }
        if (!persons.contains(c.key)) {
            result.open << c.text + QStringLiteral(" – Der Eintrag ist nicht mehr da.");
            continue;
        }
        const int left = persons.value(c.key);
        if (left < c.groupPersons) {
            result.open << c.text + QStringLiteral(" – ") + tooFew(c.dish, left, c.group, c.groupPersons);
            continue;
        }
        persons.insert(c.key, left - c.groupPersons);
        touched.insert(c.key);
        fed.insert(meal);
        choices.push_back({&c, gerNr});
    }
    if (choices.isEmpty())
        return result;
    const PlanKeys newKeys = newPlanKeys(int(choices.size()));
    if (!newKeys.refusal.isEmpty())
        return {0, 0, {}, newKeys.refusal};
    UndoStep step(choices.size() == 1 ? QStringLiteral("Ersatz für 1 Mahlzeit")
                                      : QStringLiteral("Ersatz für %1 Mahlzeiten").arg(choices.size()));
    QStringList keptKeys;
    for (qint32 key : touched)
        keptKeys << QString::number(key);
    step.keepRows("KEY in (" + keptKeys.join(',') + ')');
    qint32 key = newKeys.first;
    for (const Choice& c : choices)
        feed(*c.line, c.gerNr, key++, c.line->groupPersons);
    step.keepNew(QStringLiteral("KEY between ? and ?"), {newKeys.first, key - 1});
    step.finish();
    t.commit();
    result.fed = int(choices.size());
    result.lastKey = key - 1;
    return result;
}

QString replacementGroup(qint32 key)
{
    RecordsetPtr rs = gConnection.execute(
        "select G.GRUPPE from ERSATZ E join GRUPPEN G on G.GRUPPENR = E.GRUPPENR where E.KEY = " +
        QString::number(key));
    return rs->eof() ? QString() : rs->value(0, 0).toString();
}

} // namespace tlm

namespace tlm {

QHash<qint32, QString> replacementGroups()
{
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select E.KEY, G.GRUPPE from ERSATZ E join GRUPPEN G on G.GRUPPENR = E.GRUPPENR"));
    QHash<qint32, QString> groups;
    for (int r = 0; r < rs->rowCount(); ++r)
        groups.insert(rs->value(r, 0).toInt(), rs->value(r, 1).toString());
    return groups;
}

} // namespace tlm
