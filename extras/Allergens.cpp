#include "extras/Allergens.h"

#include "data/Globals.h"

#include <QStringList>

namespace tlm {

QString dishAllergenLetters(int gerNr)
{
    const QString dish = QString::number(gerNr);
    if (gConnection.execute("select count(*) from REZEPTE where GERNR = " + dish)->value(0, 0).toInt() == 0)
        return QStringLiteral("(ohne Rezept)");
    RecordsetPtr rs = gConnection.execute(
        "select distinct A.ALLNR, A.KURZ from REZEPTE R join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR"
        " join ALLERGENE A on A.ALLNR = Z.ALLNR where R.GERNR = " +
        dish + " and A.ALLNR <= 14 order by A.ALLNR");
    QStringList letters;
    for (int r = 0; r < rs->rowCount(); ++r)
        letters << rs->value(r, 1).toString();
    return letters.join(QStringLiteral(", "));
}

} // namespace tlm

namespace tlm {

QString dishDiet(int gerNr)
{
    const QString dish = QString::number(gerNr);
    RecordsetPtr rs =
        gConnection.execute("select count(*), sum(case when Z.ALLNR in (15, 16) then 1 else 0 end),"
                            " sum(case when Z.ALLNR = 17 then 1 else 0 end)"
                            " from REZEPTE R left join ZUTALLERGENE Z on Z.ZUTNR = R.ZUTNR where R.GERNR = " +
                            dish);
    if (rs->value(0, 0).toInt() == 0)
        return {};
    if (rs->value(0, 2).toInt() == 0)
        return QStringLiteral("vegan");
    return rs->value(0, 1).toInt() == 0 ? QStringLiteral("vegetarisch") : QString();
}

} // namespace tlm

namespace tlm {

QVector<AllergenSource> dishAllergenSources(int gerNr)
{
    RecordsetPtr rs = gConnection.execute(
        "select distinct A.ALLNR, A.KURZ, A.ALLERGEN, T.ZUTAT from REZEPTE R join ZUTALLERGENE Z on Z.ZUTNR "
        "= R.ZUTNR"
        " join ALLERGENE A on A.ALLNR = Z.ALLNR join ZUTATEN T on T.ZUTNR = R.ZUTNR where R.GERNR = " +
        QString::number(gerNr) + " and A.ALLNR <= 14 order by A.ALLNR, T.ZUTAT");
    QVector<AllergenSource> out;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const QString letter = rs->value(r, 1).toString();
        if (out.isEmpty() || out.last().letter != letter) {
            QString name = rs->value(r, 2).toString();
            const qsizetype bracket = name.indexOf(QStringLiteral(" ("));
            out.append({letter, bracket > 0 ? name.left(bracket) : name, {}});
        }
        out.last().ingredients << rs->value(r, 3).toString();
    }
    return out;
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
