#include "kitchen/Hygiene.h"

#include "data/Convert.h"
#include "data/ExtraSettings.h"
#include "data/Globals.h"

#include <algorithm>
#include <functional>

namespace tlm {

namespace {
constexpr int kKeepDaysRow = 220;
constexpr int kHotLimitRow = 221;
constexpr int kRepeatMonthsRow = 222;
constexpr int kHotTypesRow = 223;

// An older file opened read-only lacks the tables: it has no lists then.
bool hasTable(const char* name)
{
    return gConnection.hasTable(QString::fromLatin1(name));
}

QVariant dateOrNull(const QDate& d)
{
    return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant();
}

// The list's table emptied and filled anew, numbered in the order given.
template <class T, class Values>
void replaceRows(const QString& table, const QString& insert, const QVector<T>& rows, Values values)
{
    Transaction t(gConnection);
    gConnection.exec("delete from " + table);
    int nr = 1;
    for (const T& row : rows) {
        QVector<QVariant> v{nr++};
        v += values(row);
        gConnection.exec(insert, v);
    }
    t.commit();
}

// A list's rows, none when the table is missing.
template <class T, class Make> QVector<T> readRows(const char* table, const char* sql, Make make)
{
    QVector<T> out;
    if (!hasTable(table))
        return out;
    RecordsetPtr rs = gConnection.execute(QString::fromUtf8(sql));
    for (int r = 0; r < rs->rowCount(); ++r)
        out << make(*rs, r);
    return out;
}

int storedInt(int row, int fallback, int lowest, int highest)
{
    bool ok = false;
    const int v = extraSetting(row).value_or(QString()).toInt(&ok);
    return ok && v >= lowest && v <= highest ? v : fallback;
}
} // namespace

double defaultLimit(const QString& kind)
{
    return kind == kFreezer ? -18 : 7;
}

QString oftenText(int often)
{
    switch (often) {
    case CleaningArea::AfterMeals:
        return QStringLiteral("nach jeder Mahlzeit");
    case CleaningArea::Weekly:
        return QStringLiteral("wöchentlich");
    default:
        return QStringLiteral("täglich");
    }
}

QVector<CoolingDevice> coolingDevices()
{
    return readRows<CoolingDevice>(
        "HYG_GERAETE", "select GERAET, ART, GRENZE from HYG_GERAETE order by GERAETNR",
        [](const Recordset& rs, int r) {
            const QString kind = textOf(rs.value(r, 1));
            const QVariant limit = rs.value(r, 2);
            return CoolingDevice{textOf(rs.value(r, 0)), kind,
                                 limit.isNull() ? defaultLimit(kind) : limit.toDouble()};
        });
}

QVector<CleaningArea> cleaningAreas()
{
    return readRows<CleaningArea>(
        "HYG_BEREICHE", "select BEREICH, HAEUFIGKEIT from HYG_BEREICHE order by BEREICHNR",
        [](const Recordset& rs, int r) {
            return CleaningArea{textOf(rs.value(r, 0)), qBound(1, rs.value(r, 1).toInt(), 3)};
        });
}

QVector<TeamMember> kitchenTeam()
{
    return readRows<TeamMember>(
        "HYG_TEAM", "select NAME, ERSTBELEHRUNG, BELEHRUNG from HYG_TEAM order by PERSNR",
        [](const Recordset& rs, int r) {
            return TeamMember{textOf(rs.value(r, 0)), rs.value(r, 1).toDate(), rs.value(r, 2).toDate()};
        });
}

void saveCoolingDevices(const QVector<CoolingDevice>& devices)
{
    replaceRows(QStringLiteral("HYG_GERAETE"),
                QStringLiteral("insert into HYG_GERAETE (GERAETNR, GERAET, ART, GRENZE) values (?, ?, ?, ?)"),
                devices, [](const CoolingDevice& d) {
                    return QVector<QVariant>{d.name, d.kind, d.limit};
                });
}

void saveCleaningAreas(const QVector<CleaningArea>& areas)
{
    replaceRows(QStringLiteral("HYG_BEREICHE"),
                QStringLiteral("insert into HYG_BEREICHE (BEREICHNR, BEREICH, HAEUFIGKEIT) values (?, ?, ?)"),
                areas, [](const CleaningArea& a) {
                    return QVector<QVariant>{a.name, a.often};
                });
}

void saveKitchenTeam(const QVector<TeamMember>& team)
{
    replaceRows(
        QStringLiteral("HYG_TEAM"),
        QStringLiteral("insert into HYG_TEAM (PERSNR, NAME, ERSTBELEHRUNG, BELEHRUNG) values (?, ?, ?, ?)"),
        team, [](const TeamMember& m) {
            return QVector<QVariant>{m.name, dateOrNull(m.first), dateOrNull(m.last)};
        });
}

QSet<int> dishesWithoutSample()
{
    QSet<int> out;
    if (!hasTable("HYG_OHNEPROBE"))
        return out;
    RecordsetPtr rs = gConnection.execute(QStringLiteral("select GERNR from HYG_OHNEPROBE"));
    for (int r = 0; r < rs->rowCount(); ++r)
        out.insert(rs->value(r, 0).toInt());
    return out;
}

void setWithoutSample(int gerNr, bool without)
{
    Transaction t(gConnection);
    gConnection.exec(QStringLiteral("delete from HYG_OHNEPROBE where GERNR = ?"), {gerNr});
    if (without)
        gConnection.exec(QStringLiteral("insert into HYG_OHNEPROBE (GERNR) values (?)"), {gerNr});
    t.commit();
}

HygieneSettings hygieneSettings()
{
    HygieneSettings s;
    s.keepDays = storedInt(kKeepDaysRow, s.keepDays, 1, 365);
    s.repeatMonths = storedInt(kRepeatMonthsRow, s.repeatMonths, 1, 120);
    double limit = 0;
    if (parseNumber(extraSetting(kHotLimitRow).value_or(QString()), &limit) && limit > 0 && limit < 200)
        s.hotLimit = limit;
    if (const std::optional<QString> types = extraSetting(kHotTypesRow)) {
        s.hotTypes.clear();
        for (const QString& t : types->split(',', Qt::SkipEmptyParts))
            s.hotTypes.insert(t.toInt());
    }
    return s;
}

void storeHygieneSettings(const HygieneSettings& s)
{
    QList<int> types = s.hotTypes.values();
    std::sort(types.begin(), types.end());
    QStringList typeTexts;
    for (int t : types)
        typeTexts << QString::number(t);
    storeExtraSetting(kKeepDaysRow, QString::number(s.keepDays));
    storeExtraSetting(kHotLimitRow, numberText(s.hotLimit));
    storeExtraSetting(kRepeatMonthsRow, QString::number(s.repeatMonths));
    storeExtraSetting(kHotTypesRow, typeTexts.join(','));
}

namespace {
// Every dish entry of the span with a replacement's group named, whether its dish keeps no sample and
// its dish type: one read that the samples and the hot dishes share.
QVector<ServedDish> servedDishes(const QDate& von, const QDate& bis, const std::function<bool(bool, int)>& keep,
                                 int keepDays)
{
    const QString group = hasTable("ERSATZ") ? QStringLiteral("(select G.GRUPPE from ERSATZ E join GRUPPEN G"
                                                              " on G.GRUPPENR = E.GRUPPENR where E.KEY = "
                                                              "VW_SPEISEPLAN.KEY)")
                                             : QStringLiteral("null");
    const QString noSample = hasTable("HYG_OHNEPROBE")
                                 ? QStringLiteral("case when GERNR in (select GERNR from HYG_OHNEPROBE) then 1"
                                                  " else 0 end")
                                 : QStringLiteral("0");
    RecordsetPtr rs = gConnection.execute("select TAG, TAGZEIT, GERICHT, " + group + ", " + noSample +
                                          ", GTYPNR from VW_SPEISEPLAN where " + daysFromTo(von, bis) +
                                          " and GERICHT is not null order by TAG, TAGZEITSORT, TAGZEITNR,"
                                          " GTYPSORT, KEY");
    QVector<ServedDish> out;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const QVariant type = rs->value(r, 5);
        if (!keep(rs->value(r, 4).toInt() != 0, type.isNull() ? -1 : type.toInt()))
            continue;
        const QDate day = rs->value(r, 0).toDate();
        const QString who = textOf(rs->value(r, 3));
        out << ServedDish{day, textOf(rs->value(r, 1)),
                          who.isEmpty() ? textOf(rs->value(r, 2))
                                        : textOf(rs->value(r, 2)) + " (" + who + ")",
                          day.addDays(keepDays)};
    }
    return out;
}
} // namespace

QVector<ServedDish> retainedSamples(const QDate& von, const QDate& bis, int keepDays)
{
    return servedDishes(
        von, bis, [](bool noSample, int) { return !noSample; }, keepDays);
}

QVector<ServedDish> hotDishes(const QDate& von, const QDate& bis, const QSet<int>& hotTypes)
{
    if (hotTypes.isEmpty())
        return {};
    return servedDishes(
        von, bis, [&](bool, int type) { return hotTypes.contains(type); }, 0);
}

QVector<DayRange> weeksOf(const QDate& von, const QDate& bis)
{
    QVector<DayRange> weeks;
    for (QDate d = von; d.isValid() && d <= bis; d = d.addDays(7))
        weeks << DayRange{d, qMin(bis, d.addDays(6))};
    return weeks;
}

QStringList instructionWarnings(const QVector<TeamMember>& team, const QDate& asOf, int months)
{
    QStringList out;
    for (const TeamMember& m : team) {
        if (!m.first.isValid()) {
            out << m.name + ": keine Erstbelehrung durch das Gesundheitsamt eingetragen";
            continue;
        }
        const QDate last = m.last.isValid() ? qMax(m.last, m.first) : m.first;
        if (last.addMonths(months) < asOf)
            out << m.name + ": letzte Belehrung am " + shortDate(last) + " ist älter als " +
                       QString::number(months) + " Monate";
    }
    return out;
}

} // namespace tlm
