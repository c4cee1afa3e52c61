#include "kitchen/DietGroups.h"

#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/DishMarks.h"
#include "kitchen/EaterList.h"
#include "kitchen/PlanKeys.h"
#include "kitchen/Undo.h"

#include <QSet>
#include <QStringList>

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

// The dish S.GERNR is one the group G.GRUPPENR may eat: it has recipe lines, and none brings in
// what the group avoids.
const char* const kMayEat =
    "exists (select 1 from REZEPTE R where R.GERNR = %1)"
    " and not exists (select 1 from REZEPTE R join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR"
    " join GRUPPENALLERGENE GA on GA.ALLNR = Z.ALLNR where R.GERNR = %1 and GA.GRUPPENR = %2)";

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
    RecordsetPtr rs = gConnection.execute(
        "select distinct A.ALLNR, A.KURZ, A.ALLERGEN from REZEPTE R join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR"
        " join GRUPPENALLERGENE GA on GA.ALLNR = Z.ALLNR join ALLERGENE A on A.ALLNR = Z.ALLNR"
        " where R.GERNR = " +
        QString::number(gerNr) + " and GA.GRUPPENR = " + QString::number(gruppeNr) + " order by A.ALLNR");
    if (rs->rowCount() == 0)
        return dish + QStringLiteral(" hat keine Rezeptzeilen: was es enthält, ist unbekannt");
    QStringList parts;
    for (int r = 0; r < rs->rowCount(); ++r)
        parts << avoidedText(rs->value(r, 0).toInt(), rs->value(r, 1).toString(), rs->value(r, 2).toString());
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
    for (int r = 0; r < rs->rowCount(); ++r) {
        DietGroup g{rs->value(r, 0).toInt(),  rs->value(r, 1).toString(), rs->value(r, 2).toInt(),
                    rs->value(r, 3).toDate(), rs->value(r, 4).toDate(),   {}};
        RecordsetPtr marks = gConnection.execute("select ALLNR from GRUPPENALLERGENE where GRUPPENR = " +
                                                 QString::number(g.nr) + " order by ALLNR");
        for (int m = 0; m < marks->rowCount(); ++m)
            g.avoided << marks->value(m, 0).toInt();
        groups << g;
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
    for (int allNr : group.avoided)
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
        " S.GERNR, D.GERICHT, Y.GTYP"
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

QVector<OfferedDish> offeredDishes(const MealConflict& conflict)
{
    const QString key = QString::number(conflict.key);
    // Only dishes of the meal's own type: a main dish is no soup.
    const QString offered = "from GERICHTE O where O.GTYPNR = (select coalesce(S.GTYPNR, D.GTYPNR)"
                            " from SPEISEPLAN S left join GERICHTE D on D.GERNR = S.GERNR where S.KEY = " +
                            key + ") and " +
                            mayEat(QStringLiteral("O.GERNR"), QString::number(conflict.gruppeNr));
    RecordsetPtr rs =
        gConnection.execute("select O.GERNR, O.GERICHT " + offered + " order by O.GERICHT, O.GERNR");
    const DishMarks marks("select O.GERNR " + offered);
    QVector<OfferedDish> dishes;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const int gerNr = rs->value(r, 0).toInt();
        const QString letters = marks.letters(gerNr);
        dishes.push_back({gerNr, rs->value(r, 1).toString() +
                                     (letters.isEmpty() ? QString() : QStringLiteral(" (") + letters + ')')});
    }
    return dishes;
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
        return {0, QStringLiteral("%1 hat nur %2, %3 sind %4: nichts geändert.")
                       .arg(entry->value(0, 1).toString(),
                            persons == 1 ? QStringLiteral("1 Person")
                                         : QStringLiteral("%1 Personen").arg(persons),
                            group->value(0, 0).toString())
                       .arg(groupPersons)};
    const PlanKeys key = newPlanKeys(1);
    if (!key.refusal.isEmpty())
        return {0, key.refusal};
    const qint32 newKey = key.first;
    UndoStep step(QStringLiteral("Ersatz wählen"));
    step.keepRows(QStringLiteral("KEY = ?"), {conflict.key});
    // A dish is planned as its own type.
    gConnection.exec(
        QStringLiteral(
            "insert into SPEISEPLAN (KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK)"
            " select ?, TAG, TAGZEITNR, coalesce((select GTYPNR from GERICHTE where GERNR = ?), GTYPNR),"
            " ?, ?, 0 from SPEISEPLAN where KEY = ?"),
        {newKey, gerNr, gerNr, groupPersons, conflict.key});
    gConnection.exec(QStringLiteral("insert into ERSATZ (KEY, GRUPPENR) values (?, ?)"),
                     {newKey, conflict.gruppeNr});
    step.keepNew(QStringLiteral("KEY = ?"), {newKey});
    gConnection.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = PERSONEN - ? where KEY = ?"),
                     {groupPersons, conflict.key});
    step.finish();
    t.commit();
    return {newKey, {}};
}

QString replacementGroup(qint32 key)
{
    RecordsetPtr rs = gConnection.execute(
        "select G.GRUPPE from ERSATZ E join GRUPPEN G on G.GRUPPENR = E.GRUPPENR where E.KEY = " +
        QString::number(key));
    return rs->eof() ? QString() : rs->value(0, 0).toString();
}

} // namespace tlm
