#include "reports/HygieneSheets.h"

#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/Hygiene.h"
#include "kitchen/StockCarry.h"
#include "reports/Einkaufsplan.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

#include <QMap>
#include <QSet>

namespace tlm {

namespace {
const QString kLine = QStringLiteral("9400;");
constexpr double kBlankRow = 420; // about 7 mm: room for a hand's figures and initials

// A form: parts under their headings, each part's rows under the captions; a row that no longer
// fits starts a page with the heading and captions again.
class Sheet
{
public:
    Sheet(ReportPrinter& vp, QString format, QStringList captions)
        : m_vp(vp), m_format(std::move(format)), m_captions(std::move(captions))
    {}
    // A part on a page of its own, or below the one before when it starts there with a row.
    void part(const QStringList& heading, bool ownPage)
    {
        m_heading = heading;
        if (!m_first) {
            m_vp.setCursorY(m_vp.CursorY() + 300);
            if (ownPage || m_vp.CursorY() + headHeight() + kBlankRow > m_vp.bodyBottom())
                m_vp.NewPage();
        }
        m_first = false;
        head(false);
    }
    void row(const QStringList& cells)
    {
        if (m_vp.CursorY() + m_vp.rowsHeight(m_format, {cells}) > m_vp.bodyBottom()) {
            m_vp.NewPage();
            head(true);
        }
        m_vp.AppendRows(m_format, {cells});
    }
    // A line below the rows (a note, "keine …").
    void note(const QString& text)
    {
        m_vp.setMinRowHeight(0);
        m_vp.TableFrame(0);
        m_vp.setCursorY(m_vp.CursorY() + 100);
        m_vp.AppendRows(kLine, {{text}});
    }

private:
    double headHeight()
    {
        m_vp.setMinRowHeight(0);
        m_vp.TextFontBold(true);
        double h = m_vp.rowsHeight(kLine, {{m_heading.value(0)}});
        m_vp.TextFontBold(false);
        for (int i = 1; i < m_heading.size(); ++i)
            h += m_vp.rowsHeight(kLine, {{m_heading[i]}});
        return h + 200 + m_vp.rowsHeight(m_format, {m_captions});
    }
    void head(bool continued)
    {
        m_vp.setMinRowHeight(0);
        m_vp.TableFrame(0);
        m_vp.TextFontBold(true);
        m_vp.AppendRows(kLine,
                        {{m_heading.value(0) + (continued ? QStringLiteral(" (Fortsetzung)") : QString())}});
        m_vp.TextFontBold(false);
        for (int i = 1; i < m_heading.size(); ++i)
            m_vp.AppendRows(kLine, {{m_heading[i]}});
        m_vp.setCursorY(m_vp.CursorY() + 200);
        m_vp.TableFrame(1);
        m_vp.AppendRows(m_format, {m_captions}, kCaptionShade);
        m_vp.setMinRowHeight(kBlankRow);
    }

    ReportPrinter& m_vp;
    QString m_format;
    QStringList m_captions;
    QStringList m_heading;
    bool m_first = true;
};

QString spanText(const QDate& from, const QDate& to)
{
    return shortDayDate(from) + QStringLiteral(" bis ") + shortDayDate(to) +
           to.toString(QStringLiteral("yyyy"));
}

QString degrees(double d)
{
    return (d > 0 ? QStringLiteral("+") : QString()) + numberText(d) + QStringLiteral(" °C");
}

ReportJob samples(ReportPrinter& vp, QDate von, QDate bis)
{
    setUpReport(vp, QStringLiteral("Rückstellproben"));
    const QVector<ServedDish> dishes = retainedSamples(von, bis, hygieneSettings().keepDays);
    Sheet sheet(vp, QStringLiteral("1500|2900|1200|1200|1300|1300;"),
                {QStringLiteral("Mahlzeit"), QStringLiteral("Komponente"), QStringLiteral("Menge"),
                 QStringLiteral("entnommen um"), QStringLiteral("entnommen von"),
                 QStringLiteral("aufbewahren bis")});
    if (dishes.isEmpty()) {
        sheet.part({QStringLiteral("Rückstellproben ") + spanText(von, bis)}, false);
        sheet.note(QStringLiteral("Keine Gerichte mit Rückstellprobe im Zeitraum."));
    }
    QDate day;
    for (const ServedDish& d : dishes) {
        if (d.day != day) {
            day = d.day;
            sheet.part(
                {QStringLiteral("Rückstellproben ") + longDayDate(day),
                 QStringLiteral("Je Komponente mindestens 100 g in einem sauberen, verschlossenen Gefäß, "
                                "beschriftet und tiefgekühlt bis zum angegebenen Tag aufbewahren.")},
                false);
            co_yield 0;
        }
        sheet.row(
            {d.meal, d.dish, QStringLiteral("mind. 100 g"), QString(), QString(), shortDate(d.keepUntil)});
    }
    vp.EndDocument();
}

ReportJob coolingSheet(ReportPrinter& vp, QDate von, QDate bis)
{
    setUpReport(vp, QStringLiteral("Temperaturkontrolle Kühlgeräte"));
    const QVector<CoolingDevice> devices = coolingDevices();
    Sheet sheet(vp, QStringLiteral("1000|2000|1100|1000|750|850|1000|750|850;"),
                {QStringLiteral("Tag"), QStringLiteral("Gerät"), QStringLiteral("Grenze"),
                 QStringLiteral("morgens °C"), QStringLiteral("Uhrzeit"), QStringLiteral("Zeichen"),
                 QStringLiteral("abends °C"), QStringLiteral("Uhrzeit"), QStringLiteral("Zeichen")});
    for (const DayRange& week : weeksOf(von, bis)) {
        sheet.part({QStringLiteral("Temperaturkontrolle Kühlgeräte ") + spanText(week.from, week.to),
                    QStringLiteral("Zweimal täglich ablesen; liegt ein Wert über der Grenze, Ware prüfen, "
                                   "Gerät nachstellen und die Maßnahme unten vermerken.")},
                   true);
        if (devices.isEmpty())
            sheet.note(QStringLiteral("Keine Kühlgeräte eingetragen (Extras, Hygiene…)."));
        for (QDate d = week.from; d <= week.to; d = d.addDays(1))
            for (int i = 0; i < devices.size(); ++i)
                sheet.row({i == 0 ? shortDayDate(d) : QString(), devices[i].name,
                           QStringLiteral("max. ") + degrees(devices[i].limit), QString(), QString(),
                           QString(), QString(), QString(), QString()});
        sheet.note(QStringLiteral("Maßnahmen: ____________________________________________________________"));
        co_yield 0;
    }
    vp.EndDocument();
}

ReportJob coreSheet(ReportPrinter& vp, QDate von, QDate bis)
{
    setUpReport(vp, QStringLiteral("Temperaturkontrolle Speisen"));
    const HygieneSettings settings = hygieneSettings();
    const QVector<ServedDish> dishes = hotDishes(von, bis, settings.hotTypes);
    Sheet sheet(vp, QStringLiteral("1300|1400|3000|1200|1000|1500;"),
                {QStringLiteral("Tag"), QStringLiteral("Mahlzeit"), QStringLiteral("Gericht"),
                 QStringLiteral("Kerntemp. °C"), QStringLiteral("Uhrzeit"), QStringLiteral("Zeichen")});
    int next = 0;
    for (const DayRange& week : weeksOf(von, bis)) {
        sheet.part({QStringLiteral("Kerntemperatur warmer Speisen ") + spanText(week.from, week.to),
                    QStringLiteral("Bei der Ausgabe mindestens ") + degrees(settings.hotLimit) +
                        QStringLiteral(" im Kern; darunter nacherhitzen und erneut messen.")},
                   true);
        QDate day;
        const int first = next;
        for (; next < dishes.size() && dishes[next].day <= week.to; ++next) {
            const ServedDish& d = dishes[next];
            sheet.row({d.day != day ? shortDayDate(d.day) : QString(), d.meal, d.dish,
                       QStringLiteral("___ °C"), QString(), QString()});
            day = d.day;
        }
        if (next == first)
            sheet.note(QStringLiteral("Keine warmen Speisen in dieser Woche."));
        co_yield 0;
    }
    vp.EndDocument();
}

ReportJob goodsReceived(ReportPrinter& vp, ShoppingPlan plan)
{
    setUpReport(vp, QStringLiteral("Wareneingang"));
    Sheet sheet(vp, QStringLiteral("2600|>1100|>900|1000|1100|1200|1500;"),
                {QStringLiteral("Zutat"), QStringLiteral("Menge"), QStringLiteral("Packungen"),
                 QStringLiteral("geliefert ok"), QStringLiteral("Temp. °C"), QStringLiteral("MHD"),
                 QStringLiteral("Zeichen")});
    StockCarry carry(plan, storedStock());
    for (StockRun run; carry.next(&run);) {
        sheet.part({QStringLiteral("Wareneingang: ") + runHeading(run),
                    QStringLiteral("Temperatur bei Anlieferung nur für frische und gekühlte Ware; "
                                   "beschädigte oder zu warme Ware zurückweisen.")},
                   true);
        for (const StockLine& l : run.lines)
            if (l.packages > 0)
                sheet.row({l.name, numberText(l.bought) + " " + l.unit, QString::number(l.packages),
                           QString(), l.fresh ? QString() : QStringLiteral("–"), QString(), QString()});
        co_yield 0;
    }
    vp.EndDocument();
}

// The meals of the span, read once: an area cleaned after each meal has a row per time of day.
RecordsetPtr spanMealTimes(const QDate& von, const QDate& bis)
{
    return gConnection.execute(
        "select distinct TAG, TAGZEITNR, TAGZEIT, TAGZEITSORT from VW_SPEISEPLAN where " + daysFromTo(von, bis));
}

ReportJob cleaningPlan(ReportPrinter& vp, QDate von, QDate bis)
{
    setUpReport(vp, QStringLiteral("Reinigungsplan"));
    const QVector<CleaningArea> areas = cleaningAreas();
    RecordsetPtr rs = spanMealTimes(von, bis);
    QMap<QPair<int, int>, QString> times; // by sort position and number
    QSet<QPair<QDate, int>> meals;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const int nr = rs->value(r, 1).toInt();
        times.insert({rs->value(r, 3).toInt(), nr}, textOf(rs->value(r, 2)));
        meals.insert({rs->value(r, 0).toDate(), nr});
    }
    for (const DayRange& week : weeksOf(von, bis)) {
        QString format = QStringLiteral("1800|1700");
        QStringList captions{QStringLiteral("Bereich"), QStringLiteral("wie oft")};
        for (QDate d = week.from; d <= week.to; d = d.addDays(1)) {
            format += QStringLiteral("|840");
            captions << shortDayDate(d);
        }
        // Each week's days are captions of their own: a sheet a week, each on a page of its own.
        if (week.from != von)
            vp.NewPage();
        Sheet sheet(vp, format, captions);
        sheet.part(
            {QStringLiteral("Reinigungsplan ") + spanText(week.from, week.to),
             QStringLiteral("Nach der Reinigung mit Namenszeichen abzeichnen; „–“: an diesem Tag nicht.")},
            false);
        if (areas.isEmpty())
            sheet.note(QStringLiteral("Keine Bereiche eingetragen (Extras, Hygiene…)."));
        for (const CleaningArea& a : areas) {
            if (a.often != CleaningArea::AfterMeals) {
                QStringList cells{a.name, oftenText(a.often)};
                for (QDate d = week.from; d <= week.to; d = d.addDays(1))
                    cells << QString();
                sheet.row(cells);
                continue;
            }
            for (auto t = times.constBegin(); t != times.constEnd(); ++t) {
                QStringList cells{a.name, QStringLiteral("nach ") + t.value()};
                bool any = false;
                for (QDate d = week.from; d <= week.to; d = d.addDays(1)) {
                    const bool served = meals.contains({d, t.key().second});
                    any = any || served;
                    cells << (served ? QString() : QStringLiteral("–"));
                }
                if (any)
                    sheet.row(cells);
            }
        }
        co_yield 0;
    }
    vp.EndDocument();
}

ReportJob instructionSheet(ReportPrinter& vp, QDate von, QDate bis)
{
    setUpReport(vp, QStringLiteral("Belehrung gemäß §§ 42, 43 IfSG"));
    Sheet sheet(vp, QStringLiteral("2600|1700|1500|1300|2300;"),
                {QStringLiteral("Name"), QStringLiteral("Erstbelehrung Gesundheitsamt"),
                 QStringLiteral("letzte Belehrung"), QStringLiteral("belehrt am"),
                 QStringLiteral("Unterschrift")});
    sheet.part(
        {QStringLiteral("Belehrung gemäß §§ 42, 43 IfSG für ") + spanText(von, bis),
         QStringLiteral("Die Unterzeichnenden wurden über die Tätigkeitsverbote nach § 42 Abs. 1 IfSG und "
                        "ihre Pflicht nach § 43 Abs. 2 IfSG belehrt, Hinderungsgründe unverzüglich der "
                        "Küchenleitung mitzuteilen. Sie erklären, dass ihnen keine Tatsachen für ein "
                        "Tätigkeitsverbot bekannt sind."),
         QStringLiteral("Belehrt durch: ______________________________")},
        false);
    for (const TeamMember& m : kitchenTeam())
        sheet.row({m.name, m.first.isValid() ? shortDate(m.first) : QString(),
                   m.last.isValid() ? shortDate(m.last) : QString(), QString(), QString()});
    // Room for who joins the kitchen during the camp.
    for (int i = 0; i < 4; ++i)
        sheet.row({QString(), QString(), QString(), QString(), QString()});
    vp.EndDocument();
    co_return;
}
} // namespace

void fncDruckRueckstellproben(const QDate& von, const QDate& bis)
{
    runReport("tlm/fncDruckRueckstellproben",
              [von, bis](ReportPrinter& vp) { return samples(vp, von, bis); });
}

void fncDruckKuehltemperaturen(const QDate& von, const QDate& bis)
{
    runReport("tlm/fncDruckKuehltemperaturen",
              [von, bis](ReportPrinter& vp) { return coolingSheet(vp, von, bis); });
}

void fncDruckKerntemperaturen(const QDate& von, const QDate& bis)
{
    runReport("tlm/fncDruckKerntemperaturen",
              [von, bis](ReportPrinter& vp) { return coreSheet(vp, von, bis); });
}

void fncDruckWareneingang(const ShoppingPlan& plan)
{
    runReport("tlm/fncDruckWareneingang", [plan](ReportPrinter& vp) { return goodsReceived(vp, plan); });
}

void fncDruckReinigungsplan(const QDate& von, const QDate& bis)
{
    runReport("tlm/fncDruckReinigungsplan",
              [von, bis](ReportPrinter& vp) { return cleaningPlan(vp, von, bis); });
}

void fncDruckBelehrung(const QDate& von, const QDate& bis)
{
    runReport("tlm/fncDruckBelehrung",
              [von, bis](ReportPrinter& vp) { return instructionSheet(vp, von, bis); });
}

void readHygieneSheets(const QDate& von, const QDate& bis)
{
    const HygieneSettings settings = hygieneSettings();
    retainedSamples(von, bis, settings.keepDays);
    hotDishes(von, bis, settings.hotTypes);
    coolingDevices();
    cleaningAreas();
    spanMealTimes(von, bis);
    kitchenTeam();
}

} // namespace tlm
