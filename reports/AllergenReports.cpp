#include "reports/AllergenReports.h"

#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/DayRange.h"
#include "kitchen/Declaration.h"
#include "kitchen/DishMarks.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace tlm {

namespace {
const QString kNothingPlanned = QStringLiteral("Im Zeitraum ist nichts geplant.");
const QString kNoRecipe = QStringLiteral("(ohne Rezept)");

// What every page of a report takes from the database, read once: the names for the legend, the
// notice and the own marks the week plan shows.
struct DeclarationTexts
{
    MarkLegend legend;
    QString notice = declarationNotice();
    QSet<int> shownMarks = marksOnWeekPlan();
};

// What a page or a record declares, gathered dish by dish, for its legend and closing lines.
class Declared
{
public:
    void add(const DishMarks& marks, int gerNr, const QString& dish)
    {
        const QString letters = marks.letters(gerNr);
        if (letters != kNoRecipe)
            for (QString l : letters.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
                if (l.startsWith('(')) {
                    m_traces = true;
                    l = l.mid(1, l.size() - 2);
                }
                if (!m_letters.contains(l))
                    m_letters << l;
            }
        for (const QString& n : marks.additives(gerNr).split(QStringLiteral(", "), Qt::SkipEmptyParts))
            if (!m_additives.contains(n))
                m_additives << n;
        if (marks.unchecked(gerNr) && !m_unchecked.contains(dish))
            m_unchecked << dish;
        m_lastChecked = qMax(m_lastChecked, marks.lastChecked(gerNr));
    }
    // The legend, the dishes nobody may vouch for, the notice; then "<when>, Zutaten zuletzt geprüft am".
    QVector<QStringList> foot(const DeclarationTexts& texts, const QString& when) const
    {
        QVector<QStringList> rows;
        const QStringList allergens = texts.legend.allergens(m_letters);
        if (!allergens.isEmpty())
            rows << QStringList{
                QStringLiteral("Allergene: ") + allergens.join(QStringLiteral(", ")) +
                (m_traces ? QStringLiteral("; in Klammern: kann Spuren enthalten") : QString())};
        const QStringList additives = texts.legend.additives(m_additives);
        if (!additives.isEmpty())
            rows << QStringList{QStringLiteral("Zusatzstoffe: ") + additives.join(QStringLiteral(", "))};
        if (!m_unchecked.isEmpty()) {
            QStringList names = m_unchecked;
            std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
                return QString::localeAwareCompare(a, b) < 0;
            });
            rows << QStringList{QStringLiteral("Angaben ungeprüft: ") + names.join(QStringLiteral(", "))};
        }
        rows << QStringList{texts.notice};
        rows << QStringList{when +
                            (m_lastChecked.isValid()
                                 ? QStringLiteral(", Zutaten zuletzt geprüft am ") + shortDate(m_lastChecked)
                                 : QString())};
        return rows;
    }

private:
    QStringList m_letters;
    QStringList m_additives;
    QStringList m_unchecked;
    bool m_traces = false;
    QDate m_lastChecked;
};

// Across the page: the time of day, then the seven days.
constexpr int kTimeWidth = 1600;
constexpr int kDayWidth = 1948;
// Dish names as large as a reader a metre away wants, smaller only where a week holds more; 11 pt
// is the least that reads from there.
constexpr double kLargest = 14;
constexpr double kHeadSize = 12;
constexpr double kSmallest = 6;
constexpr double kFootSize = 9;

QString weekFormat()
{
    QString f = QString::number(kTimeWidth);
    for (int d = 0; d < 7; ++d)
        f += '|' + QString::number(kDayWidth);
    return f + ';';
}

QString lineFormat()
{
    return QString::number(kTimeWidth + 7 * kDayWidth) + ';';
}

struct TimeRow
{
    QString label; // the time of day's name; a long one is printed smaller, alone in its cell
    QStringList cells[7];
};

// The dishes planned in the span, for their marks.
QString plannedIn(const QDate& from, const QDate& to)
{
    return "select GERNR from SPEISEPLAN where " + daysFromTo(from, to);
}

// The span's meals in one statement, by time of day in their order, each day's dishes by their dish
// types; each week's rows in that order.
struct SpanMeals
{
    RecordsetPtr rs;
    QHash<QDate, QVector<int>> weeks; // by the week's Monday
};

SpanMeals spanMeals(const QDate& from, const QDate& to)
{
    SpanMeals meals;
    meals.rs = gConnection.execute(
        "select KEY, TAG, TAGZEITNR, TAGZEIT, GERNR, GERICHT, (select G.GRUPPE from ERSATZ E join GRUPPEN G"
        " on G.GRUPPENR = E.GRUPPENR where E.KEY = VW_SPEISEPLAN.KEY) as GRUPPE from VW_SPEISEPLAN where " +
        daysFromTo(from, to) + " and GERICHT is not null order by TAGZEITSORT, TAGZEITNR, GTYPSORT, KEY");
    const int tag = meals.rs->columnIndex(QStringLiteral("TAG"));
    for (int r = 0; r < meals.rs->rowCount(); ++r) {
        const QDate day = meals.rs->value(r, tag).toDate();
        meals.weeks[day.addDays(1 - day.dayOfWeek())] << r;
    }
    return meals;
}

// The week's meals by time of day in their order, each day's dishes by their dish types.
QVector<TimeRow> weekRows(const DishMarks& marks, const QSet<int>& shownMarks, const SpanMeals& meals,
                          const QDate& monday, Declared* seen)
{
    const RecordsetPtr& rs = meals.rs;
    QVector<TimeRow> rows;
    QVariant time;
    for (const int r : meals.weeks.value(monday)) {
        rs->setPosition(r);
        if (rows.isEmpty() || rs->field(QStringLiteral("TAGZEITNR")) != time) {
            time = rs->field(QStringLiteral("TAGZEITNR"));
            rows.append({textOf(rs->field(QStringLiteral("TAGZEIT"))), {}});
        }
        const int day = int(monday.daysTo(rs->field(QStringLiteral("TAG")).toDate()));
        if (day < 0 || day >= 7)
            continue;
        PlanMeal meal;
        meal.key = rs->field(QStringLiteral("KEY")).toInt();
        meal.gerNr = rs->field(QStringLiteral("GERNR")).toInt();
        meal.dish = textOf(rs->field(QStringLiteral("GERICHT")));
        meal.letters = marks.letters(meal.gerNr);
        meal.additives = marks.additives(meal.gerNr);
        for (int m : marks.ownMarks(meal.gerNr))
            if (shownMarks.contains(m))
                meal.marks << marks.markName(m);
        meal.group = textOf(rs->field(QStringLiteral("GRUPPE")));
        seen->add(marks, meal.gerNr, meal.dish);
        rows.last().cells[day] << mealLines(meal);
    }
    return rows;
}

// A compound name wider than its column ("Tomaten-Mozzarella-Salat") breaks after its hyphens rather
// than making its whole cell small.
QString breakAtHyphens(ReportPrinter& vp, const QString& line)
{
    QStringList words = line.split(' ');
    for (QString& word : words) {
        if (!word.contains('-') || vp.fitsOnLine(word, kDayWidth))
            continue;
        // Its parts, each with its hyphen: "Tomaten-", "Mozzarella-", "Salat".
        QStringList parts;
        qsizetype start = 0;
        for (qsizetype i = word.indexOf('-', 1); i > 0 && i < word.size() - 1; i = word.indexOf('-', i + 1)) {
            parts << word.mid(start, i + 1 - start);
            start = i + 1;
        }
        parts << word.mid(start);
        QString broken, current;
        for (const QString& part : parts) {
            if (!current.isEmpty() && !vp.fitsOnLine(current + part, kDayWidth)) {
                broken += current + '\n';
                current.clear();
            }
            current += part;
        }
        word = broken + current;
    }
    return words.join(' ');
}

// Whether every word of the dishes stands whole on a line of its column in the text font: a cell
// with a wider one would be printed smaller than the rest.
bool wordsFit(ReportPrinter& vp, const QVector<QStringList>& table)
{
    for (const QStringList& cells : table)
        for (int c = 1; c < cells.size(); ++c)
            for (const QString& line : cells[c].split('\n'))
                for (const QString& word : line.split(' '))
                    if (!vp.fitsOnLine(word, kDayWidth))
                        return false;
    return true;
}

// The week's rows as they stand in the text font.
QVector<QStringList> weekTable(ReportPrinter& vp, const QVector<TimeRow>& rows)
{
    QVector<QStringList> table;
    for (const TimeRow& r : rows) {
        QStringList cells{r.label};
        for (const QStringList& c : r.cells) {
            QStringList lines;
            for (const QString& line : c)
                lines << breakAtHyphens(vp, line);
            cells << lines.join('\n');
        }
        table << cells;
    }
    return table;
}

// The least height of the rows in the text font: each meal line of a day's cell on a line of its own,
// as if none wrapped. A cell printed smaller has a word too wide, which the size does not take anyway.
double linesHeight(ReportPrinter& vp, const QVector<TimeRow>& rows)
{
    const double one = vp.rowsHeight(lineFormat(), {{QStringLiteral("X")}});
    const double line = vp.rowsHeight(lineFormat(), {{QStringLiteral("X\nX")}}) - one;
    double height = 0;
    for (const TimeRow& r : rows) {
        qsizetype most = 1;
        for (const QStringList& c : r.cells)
            most = qMax(most, c.size());
        height += one + (most - 1) * line;
    }
    return height;
}

void writeWeek(ReportPrinter& vp, const DishMarks& marks, const DeclarationTexts& texts, const SpanMeals& meals,
               const QDate& monday)
{
    Declared seen;
    const QVector<TimeRow> rows = weekRows(marks, texts.shownMarks, meals, monday, &seen);
    QStringList head{QString()};
    for (int d = 0; d < 7; ++d) {
        const QDate day = monday.addDays(d);
        head << locale().dayName(day.dayOfWeek()) + '\n' + day.toString(QStringLiteral("dd.MM.yyyy"));
    }
    const QString title = QStringLiteral("KW %1: %2 bis %3")
                              .arg(monday.weekNumber())
                              .arg(shortDate(monday), shortDate(monday.addDays(6)));
    const QVector<QStringList> foot =
        seen.foot(texts, QStringLiteral("Stand: ") + shortDate(QDate::currentDate()));

    // The largest size at which the week stands on its page with the legend below it.
    vp.TextFont(gFontName, kFootSize, false, false);
    const double footHeight = vp.rowsHeight(lineFormat(), foot);
    vp.TextFont(gFontName, 14, true, false);
    const double titleHeight = vp.rowsHeight(lineFormat(), {{title}});
    vp.TextFont(gFontName, kHeadSize, true, false);
    const double headHeight = vp.rowsHeight(weekFormat(), {head});
    const double room = vp.bodyBottom() - vp.CursorY() - titleHeight - headHeight - footHeight - 200;
    double size = kLargest;
    QVector<QStringList> table;
    for (;; size -= 0.5) {
        vp.TextFont(gFontName, size, false, false);
        // A size at which the meals' lines alone stand higher than the room is passed by unmeasured:
        // a full week tries a dozen sizes.
        if (size > kSmallest && linesHeight(vp, rows) > room + 1)
            continue;
        table = weekTable(vp, rows);
        if (size <= kSmallest || (wordsFit(vp, table) && vp.rowsHeight(weekFormat(), table) <= room))
            break;
    }

    vp.TextFont(gFontName, 14, true, false);
    vp.AppendRows(lineFormat(), {{title}});
    vp.setCursorY(vp.CursorY() + 100);
    vp.TableFrame(1);
    vp.TextFont(gFontName, kHeadSize, true, false);
    vp.AppendRows(weekFormat(), {head}, kCaptionShade);
    vp.TextFont(gFontName, size, false, false);
    vp.AppendRows(weekFormat(), table);
    vp.TableFrame(0);
    // The legend stands at the foot of the page the week ends on.
    vp.TextFont(gFontName, kFootSize, false, false);
    vp.setCursorY(qMax(vp.CursorY() + 100, vp.bodyBottom() - footHeight));
    vp.AppendRows(lineFormat(), foot);
}

ReportJob weekPlan(ReportPrinter& vp, QDate von, QDate bis)
{
    setUpReport(vp, QStringLiteral("Wochenplan"), true);
    if (!von.isValid() || !bis.isValid() || bis < von) {
        vp.AppendRows(lineFormat(), {{kNothingPlanned}});
        vp.EndDocument();
        co_return;
    }
    const DishMarks marks(plannedIn(von, bis));
    const DeclarationTexts texts;
    const SpanMeals meals = spanMeals(von, bis);
    for (QDate monday = von.addDays(1 - von.dayOfWeek()); monday <= bis; monday = monday.addDays(7)) {
        if (monday > von)
            vp.NewPage(); // a week to a page
        writeWeek(vp, marks, texts, meals, monday);
        co_yield 0;
    }
    vp.EndDocument();
}

const QString kRecordFormat = QStringLiteral("3000|1500|3900|1000;");

// The dishes planned in the span, by name.
RecordsetPtr plannedDishes(const QDate& von, const QDate& bis)
{
    return gConnection.execute("select distinct S.GERNR, G.GERICHT from SPEISEPLAN S join GERICHTE G"
                               " on G.GERNR = S.GERNR where S." +
                               daysFromTo(von, bis) + " order by G.GERICHT, S.GERNR");
}

ReportJob dishRecord(ReportPrinter& vp, QDate von, QDate bis)
{
    setUpReport(vp, QStringLiteral("Allergene je Gericht"));
    if (von.isValid() && bis.isValid())
        vp.AppendRows(QStringLiteral("9400;"),
                      {{QStringLiteral("Geplant vom %1 bis %2").arg(shortDate(von), shortDate(bis))}});
    vp.setCursorY(vp.CursorY() + 100);
    vp.TableFrame(1);
    vp.AppendRows(kRecordFormat,
                  {{QStringLiteral("Gericht"), QStringLiteral("Allergene"), QStringLiteral("enthalten in"),
                    QStringLiteral("Ernährung")}},
                  kCaptionShade);
    vp.TableFrame(0);
    RecordsetPtr rs;
    std::optional<DishMarks> marks;
    if (von.isValid() && bis.isValid()) {
        marks.emplace(plannedIn(von, bis));
        rs = plannedDishes(von, bis);
    }
    if (!rs || rs->eof())
        vp.AppendRows(QStringLiteral("9400;"), {{kNothingPlanned}});
    Declared seen;
    for (; rs && !rs->eof(); rs->moveNext()) {
        const int gerNr = rs->field(QStringLiteral("GERNR")).toInt();
        const QString dish = textOf(rs->field(QStringLiteral("GERICHT")));
        QStringList sources;
        for (const AllergenSource& s : marks->sources(gerNr)) {
            const QString in = s.ingredients.join(QStringLiteral(", "));
            switch (s.kind) {
            case AllergenSource::Contains:
                sources << s.letter + ' ' + s.name + QStringLiteral(": ") + in;
                break;
            case AllergenSource::Trace:
                sources << QStringLiteral("Spuren: ") + s.letter + ' ' + s.name + QStringLiteral(" über ") +
                               in;
                break;
            case AllergenSource::Additive:
                sources << s.letter + ' ' + s.name + QStringLiteral(": ") + in;
                break;
            case AllergenSource::OwnMark:
                sources << s.name + QStringLiteral(": ") + in;
                break;
            }
        }
        QString declared = marks->letters(gerNr);
        const QString additives = marks->additives(gerNr);
        if (!additives.isEmpty())
            declared += (declared.isEmpty() ? QString() : QStringLiteral(", ")) + additives;
        vp.AppendRows(kRecordFormat, {{dish, declared, sources.join('\n'), marks->diet(gerNr)}});
        seen.add(*marks, gerNr, dish);
        co_yield 0;
    }
    vp.setCursorY(vp.CursorY() + 200);
    vp.AppendRows(
        QStringLiteral("9400;"),
        seen.foot(DeclarationTexts(), QStringLiteral("Gedruckt am ") + shortDate(QDate::currentDate())));
    vp.EndDocument();
}
} // namespace

QStringList mealLines(const PlanMeal& meal)
{
    // A dish cooked for a diet group says whose it is ("Vegetarier: Gemüselasagne (A, C, G)"); it
    // follows the common dish of its type.
    const QString who = meal.group.isEmpty() ? QString() : meal.group + QStringLiteral(": ");
    // "(ohne Rezept)" stands as it is: no letters is no claim then.
    if (meal.letters == kNoRecipe)
        return {who + meal.dish + ' ' + meal.letters};
    QStringList declared;
    for (const QString& part : {meal.letters, meal.additives, meal.marks.join(QStringLiteral(", "))})
        if (!part.isEmpty())
            declared << part;
    if (declared.isEmpty())
        return {who + meal.dish};
    return {who + meal.dish + " (" + declared.join(QStringLiteral(", ")) + ')'};
}

void fncDruckWochenplan(const QDate& von, const QDate& bis)
{
    runReport("tlm/fncDruckWochenplan", [von, bis](ReportPrinter& vp) { return weekPlan(vp, von, bis); });
}

void fncDruckAllergeneJeGericht(const QDate& von, const QDate& bis)
{
    runReport("tlm/fncDruckAllergeneJeGericht",
              [von, bis](ReportPrinter& vp) { return dishRecord(vp, von, bis); });
}

void readAllergenReports(const QDate& von, const QDate& bis)
{
    DishMarks marks(plannedIn(von, bis));
    marks.sources(0);
    const DeclarationTexts texts;
    spanMeals(von, bis);
    plannedDishes(von, bis);
}

} // namespace tlm
