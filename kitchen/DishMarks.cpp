#include "kitchen/DishMarks.h"

#include "data/Globals.h"

#include <QStringList>

namespace tlm {

namespace {
// The dishes' recipe lines with the marks of their ingredients, SPUR 1 for a trace: one row per dish,
// ingredient and mark; join adds a table to the marks.
QString markedLines(const QString& dishes, const QString& join = QString())
{
    const QString where = dishes.isEmpty() ? QString() : QStringLiteral(" where R.GERNR in (") + dishes + ')';
    return "(select R.GERNR as GERNR, R.ZUTNR as ZUTNR, Z.ALLNR as ALLNR, 0 as SPUR from REZEPTE R"
           " join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR" +
           where +
           " union select R.GERNR, R.ZUTNR, Z.ALLNR, 1 from REZEPTE R join ZUTSPUREN Z on Z.ZUTNR = R.ZUTNR" +
           where + ") X join ALLERGENE A on A.ALLNR = X.ALLNR" + join +
           " where (A.ALLNR <= 14 or A.ALLNR between 31 and 42"
           " or A.ALLNR >= 101)";
}

void append(QString& list, const QString& item)
{
    if (!list.isEmpty())
        list += QStringLiteral(", ");
    list += item;
}

QString withoutExplanation(const QString& name)
{
    const qsizetype bracket = name.indexOf(QStringLiteral(" ("));
    return bracket > 0 ? name.left(bracket) : name;
}

} // namespace

DishMarks::DishMarks(const QString& dishes) : m_dishes(dishes)
{
    const QString where = dishes.isEmpty() ? QString() : QStringLiteral(" and R.GERNR in (") + dishes + ')';
    // A dish with recipe lines has a row here, whatever its marks.
    RecordsetPtr diets =
        gConnection.execute("select R.GERNR, sum(case when Z.ALLNR in (15, 16) then 1 else 0 end),"
                            " sum(case when Z.ALLNR = 17 then 1 else 0 end),"
                            " sum(case when P.ZUTNR is null then 1 else 0 end), max(P.GEPRUEFT)"
                            " from REZEPTE R left join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR"
                            " left join ZUTGEPRUEFT P on P.ZUTNR = R.ZUTNR where 1 = 1" +
                            where + " group by R.GERNR");
    // Vegetarian: no meat, no fish. Vegan: that, and nothing else of animals either. Neither while a
    // label is unread.
    for (int r = 0; r < diets->rowCount(); ++r) {
        const int gerNr = diets->value(r, 0).toInt();
        const bool meatOrFish = diets->value(r, 1).toInt() > 0, animal = diets->value(r, 2).toInt() > 0;
        if (diets->value(r, 3).toInt() > 0)
            m_unchecked.insert(gerNr);
        const QDate checked = diets->value(r, 4).toDate();
        if (checked.isValid())
            m_checked.insert(gerNr, checked);
        m_diets.insert(gerNr, m_unchecked.contains(gerNr) ? QStringLiteral("ungeprüft")
                              : meatOrFish                ? QString()
                              : animal                    ? QStringLiteral("vegetarisch")
                                                          : QStringLiteral("vegan"));
    }
    RecordsetPtr marks =
        gConnection.execute("select distinct X.GERNR, A.ALLNR, A.KURZ, A.ALLERGEN, X.SPUR from " +
                            markedLines(dishes) + " order by X.GERNR, A.ALLNR, X.SPUR");
    int lastDish = 0, lastMark = 0;
    for (int r = 0; r < marks->rowCount(); ++r) {
        const int gerNr = marks->value(r, 0).toInt(), allNr = marks->value(r, 1).toInt();
        const bool trace = marks->value(r, 4).toInt() == 1;
        const QString kurz = marks->value(r, 2).toString();
        // A trace of what another ingredient contains is no news.
        const bool known = gerNr == lastDish && allNr == lastMark;
        lastDish = gerNr;
        lastMark = allNr;
        if (known)
            continue;
        if (allNr <= kLastAllergen)
            append(m_letters[gerNr], trace ? '(' + kurz + ')' : kurz);
        else if (trace)
            continue; // traces are the fourteen's alone
        else if (allNr <= kLastAdditive)
            append(m_additives[gerNr], kurz);
        else {
            m_ownMarks[gerNr] << allNr;
            m_markNames.insert(allNr, marks->value(r, 3).toString());
        }
    }
}

QString DishMarks::letters(int gerNr) const
{
    if (!m_diets.contains(gerNr))
        return QStringLiteral("(ohne Rezept)");
    return m_letters.value(gerNr);
}

QString DishMarks::additives(int gerNr) const
{
    return m_additives.value(gerNr);
}

QVector<int> DishMarks::ownMarks(int gerNr) const
{
    return m_ownMarks.value(gerNr);
}

QString DishMarks::markName(int allNr) const
{
    return m_markNames.value(allNr);
}

QString DishMarks::diet(int gerNr) const
{
    return m_diets.value(gerNr);
}

bool DishMarks::unchecked(int gerNr) const
{
    return m_unchecked.contains(gerNr);
}

QDate DishMarks::lastChecked(int gerNr) const
{
    return m_checked.value(gerNr);
}

QVector<AllergenSource> DishMarks::sources(int gerNr)
{
    if (!m_sources) {
        m_sources.emplace();
        // Allergens first, then traces, additives and own marks; each by its number.
        RecordsetPtr rs = gConnection.execute(
            "select distinct X.GERNR, case when X.SPUR = 1 then 1 when A.ALLNR <= 14 then 0"
            " when A.ALLNR <= 42 then 2 else 3 end as ART, A.ALLNR, A.KURZ, A.ALLERGEN, T.ZUTAT from " +
            markedLines(m_dishes, QStringLiteral(" join ZUTATEN T on T.ZUTNR = X.ZUTNR")) +
            " and (X.SPUR = 0 or A.ALLNR <= 14) order by X.GERNR, ART, A.ALLNR, T.ZUTAT");
        for (int r = 0; r < rs->rowCount(); ++r) {
            QVector<AllergenSource>& out = (*m_sources)[rs->value(r, 0).toInt()];
            const auto kind = AllergenSource::Kind(rs->value(r, 1).toInt());
            const QString letter = rs->value(r, 3).toString();
            if (out.isEmpty() || out.last().letter != letter || out.last().kind != kind)
                out.append({kind, letter, withoutExplanation(rs->value(r, 4).toString()), {}});
            out.last().ingredients << rs->value(r, 5).toString();
        }
    }
    return m_sources->value(gerNr);
}

MarkLegend::MarkLegend()
{
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select ALLNR, KURZ, ALLERGEN from ALLERGENE where ALLNR <= %1 order by ALLNR")
            .arg(kLastAdditive));
    for (int r = 0; r < rs->rowCount(); ++r)
        m_entries.push_back(
            {rs->value(r, 0).toInt(), rs->value(r, 1).toString(), rs->value(r, 2).toString()});
}

QStringList MarkLegend::pick(int first, int last, const QStringList& shown) const
{
    QStringList out;
    for (const Entry& e : m_entries)
        if (e.allNr >= first && e.allNr <= last && shown.contains(e.kurz))
            out << e.kurz + ' ' + e.name;
    return out;
}

QStringList MarkLegend::allergens(const QStringList& letters) const
{
    return pick(1, kLastAllergen, letters);
}

QStringList MarkLegend::additives(const QStringList& numbers) const
{
    return pick(kFirstAdditive, kLastAdditive, numbers);
}

void setIngredientState(int zutNr, int allNr, MarkState state)
{
    gConnection.requireWritable();
    Transaction t(gConnection);
    gConnection.exec(QStringLiteral("delete from ZUTALLERGENE where ZUTNR = ? and ALLNR = ?"),
                     {zutNr, allNr});
    gConnection.exec(QStringLiteral("delete from ZUTSPUREN where ZUTNR = ? and ALLNR = ?"), {zutNr, allNr});
    if (state == MarkState::Contains)
        gConnection.exec(QStringLiteral("insert into ZUTALLERGENE (ZUTNR, ALLNR) values (?, ?)"),
                         {zutNr, allNr});
    else if (state == MarkState::Trace)
        gConnection.exec(QStringLiteral("insert into ZUTSPUREN (ZUTNR, ALLNR) values (?, ?)"),
                         {zutNr, allNr});
    t.commit();
}

void setIngredientsChecked(const QVector<int>& zutNrs, const QDate& day)
{
    gConnection.requireWritable();
    Transaction t(gConnection);
    for (int zutNr : zutNrs) {
        gConnection.exec(QStringLiteral("delete from ZUTGEPRUEFT where ZUTNR = ?"), {zutNr});
        gConnection.exec(QStringLiteral("insert into ZUTGEPRUEFT (ZUTNR, GEPRUEFT) values (?, ?)"),
                         {zutNr, day.toString(Qt::ISODate)});
    }
    t.commit();
}

} // namespace tlm
