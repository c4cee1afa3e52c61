#include "kitchen/DishMarks.h"

#include "data/Globals.h"

#include <QStringList>

namespace tlm {

DishMarks::DishMarks(const QString& dishes)
    : m_where(dishes.isEmpty() ? QString() : QStringLiteral(" and R.GERNR in (") + dishes + ')')
{
    // A dish with recipe lines has a row here, whatever its marks.
    RecordsetPtr diets =
        gConnection.execute("select R.GERNR, sum(case when Z.ALLNR in (15, 16) then 1 else 0 end),"
                            " sum(case when Z.ALLNR = 17 then 1 else 0 end)"
                            " from REZEPTE R left join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR where 1 = 1" +
                            m_where + " group by R.GERNR");
    // Vegetarian: no meat, no fish. Vegan: that, and nothing else of animals either.
    for (int r = 0; r < diets->rowCount(); ++r) {
        const bool meatOrFish = diets->value(r, 1).toInt() > 0, animal = diets->value(r, 2).toInt() > 0;
        m_diets.insert(diets->value(r, 0).toInt(), meatOrFish ? QString()
                                                   : animal   ? QStringLiteral("vegetarisch")
                                                              : QStringLiteral("vegan"));
    }
    RecordsetPtr letters = gConnection.execute(
        "select distinct R.GERNR, A.ALLNR, A.KURZ from REZEPTE R join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR"
        " join ALLERGENE A on A.ALLNR = Z.ALLNR where A.ALLNR <= 14" +
        m_where + " order by R.GERNR, A.ALLNR");
    for (int r = 0; r < letters->rowCount(); ++r) {
        QString& known = m_letters[letters->value(r, 0).toInt()];
        if (!known.isEmpty())
            known += QStringLiteral(", ");
        known += letters->value(r, 2).toString();
    }
}

QString DishMarks::letters(int gerNr) const
{
    if (!m_diets.contains(gerNr))
        return QStringLiteral("(ohne Rezept)");
    return m_letters.value(gerNr);
}

QString DishMarks::diet(int gerNr) const
{
    return m_diets.value(gerNr);
}

QVector<AllergenSource> DishMarks::sources(int gerNr)
{
    if (!m_sources) {
        m_sources.emplace();
        RecordsetPtr rs = gConnection.execute(
            "select distinct R.GERNR, A.ALLNR, A.KURZ, A.ALLERGEN, T.ZUTAT from REZEPTE R join ZUTALLERGENE Z"
            " on Z.ZUTNR = R.ZUTNR join ALLERGENE A on A.ALLNR = Z.ALLNR join ZUTATEN T on T.ZUTNR = R.ZUTNR"
            " where A.ALLNR <= 14" +
            m_where + " order by R.GERNR, A.ALLNR, T.ZUTAT");
        for (int r = 0; r < rs->rowCount(); ++r) {
            QVector<AllergenSource>& out = (*m_sources)[rs->value(r, 0).toInt()];
            const QString letter = rs->value(r, 2).toString();
            if (out.isEmpty() || out.last().letter != letter) {
                QString name = rs->value(r, 3).toString();
                const qsizetype bracket = name.indexOf(QStringLiteral(" ("));
                out.append({letter, bracket > 0 ? name.left(bracket) : name, {}});
            }
            out.last().ingredients << rs->value(r, 4).toString();
        }
    }
    return m_sources->value(gerNr);
}

QStringList allergenLegend(const QStringList& letters)
{
    RecordsetPtr rs =
        gConnection.execute("select KURZ, ALLERGEN from ALLERGENE where ALLNR <= 14 order by ALLNR");
    QStringList out;
    for (int r = 0; r < rs->rowCount(); ++r)
        if (letters.contains(rs->value(r, 0).toString()))
            out << rs->value(r, 0).toString() + ' ' + rs->value(r, 1).toString();
    return out;
}

void setIngredientMark(int zutNr, int allNr, bool on)
{
    gConnection.requireWritable();
    Transaction t(gConnection);
    if (on)
        gConnection.exec(QStringLiteral("insert or ignore into ZUTALLERGENE (ZUTNR, ALLNR) values (?, ?)"),
                         {zutNr, allNr});
    else
        gConnection.exec(QStringLiteral("delete from ZUTALLERGENE where ZUTNR = ? and ALLNR = ?"),
                         {zutNr, allNr});
    t.commit();
}

} // namespace tlm
