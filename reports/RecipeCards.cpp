#include "reports/RecipeCards.h"

#include "kitchen/RecipeQuantity.h"

#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/DayRange.h"
#include "kitchen/EaterList.h"
#include "reports/ReportPrinter.h"
#include "reports/ReportSetup.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <optional>

namespace tlm {

namespace {
const QString kTitle = QStringLiteral("9400;");
const QString kHeading = QStringLiteral("4000|3000|>2400;");
const QString kLine = QStringLiteral(">1600|5800|>2000;");
const QString kPreparation = QStringLiteral("1600|7800;");
constexpr double kGap = 100;
constexpr double kHalf = ReportWriter::kPageHeight / 2; // where the A4 sheet is cut into two A5 cards
constexpr double kCutGap = 500;                         // between a card and the cut

struct Line
{
    QVariant menge4p;
    QString unit;
    QString ingredient;
    bool stock = false;
};

struct Dish
{
    QVector<Line> lines;
    QString preparation;
};

// The cards' entries: printable, with recipe lines.
QString cardEntries(const QDate& von, const QDate& bis)
{
    return " from VW_SPEISEPLAN where " + daysFromTo(von, bis) +
           " and NODRUCK = 0 and GERNR in (select GERNR from REZEPTE)";
}

// The recipe lines (in ingredient order, as the cookbook has them) and preparation texts of the cards'
// dishes; named by a subquery, so that the reads do not wait for the plan's.
QHash<qint32, Dish> dishesOf(const QDate& von, const QDate& bis)
{
    QHash<qint32, Dish> dishes;
    const QString in = " in (select GERNR" + cardEntries(von, bis) + ")";
    RecordsetPtr lines =
        gConnection.execute("select RZ.GERNR,Z.ZUTAT,RZ.MENGE4P,Z.EINHEIT,Z.NOKAUF from REZEPTE RZ"
                            " left join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR where RZ.GERNR" +
                            in + " order by RZ.GERNR,Z.ZUTAT,RZ.ZUTNR,RZ.MENGE4P,RZ.REZNR");
    for (int r = 0; r < lines->rowCount(); ++r) {
        const QVariant nokauf = lines->value(r, 4);
        dishes[lines->value(r, 0).toInt()].lines
            << Line{lines->value(r, 2), textOf(lines->value(r, 3)), textOf(lines->value(r, 1)),
                    !nokauf.isNull() && nokauf.toBool()};
    }
    RecordsetPtr texts = gConnection.execute("select GERNR,ZUBEREITUNG from GERICHTE where GERNR" + in);
    for (int r = 0; r < texts->rowCount(); ++r)
        dishes[texts->value(r, 0).toInt()].preparation = textOf(texts->value(r, 1));
    return dishes;
}

// One card as tables: each with its format and rows, written in this order with a gap before the
// ingredients and before the preparation.
struct Block
{
    QString format;
    QVector<QStringList> rows;
    bool bold = false;
    bool shaded = false;
    double gapBefore = 0;
};

// "12 Personen"; on a day the eaters cover the persons are portions: "34 Portionen (44 Esser)".
QString personsText(int persons, std::optional<int> heads)
{
    if (heads)
        return (persons == 1 ? QStringLiteral("1 Portion") : QStringLiteral("%1 Portionen").arg(persons)) +
               QStringLiteral(" (%1 Esser)").arg(*heads);
    return persons == 1 ? QStringLiteral("1 Person") : QStringLiteral("%1 Personen").arg(persons);
}

QVector<Block> cardOf(const QString& dish, const QDate& day, const QString& time, int persons,
                      std::optional<int> heads, const Dish& recipe)
{
    QVector<Block> card;
    card << Block{kTitle, {{dish}}, true, true, 0};
    card << Block{kHeading, {{longDayDate(day), time, personsText(persons, heads)}}, false, false, 0};
    Block lines{kLine, {}, false, false, kGap};
    for (const Line& l : recipe.lines)
        lines.rows << QStringList{quantityFor(l.menge4p, persons, l.unit), l.ingredient,
                                  l.stock ? QStringLiteral("(Vorrat)") : QString()};
    card << lines;
    if (!recipe.preparation.trimmed().isEmpty()) {
        // A paragraph a row: a text longer than a page breaks between paragraphs.
        static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
        Block prep{kPreparation, {}, false, false, kGap};
        for (const QString& para : recipe.preparation.split(breaks))
            prep.rows << QStringList{prep.rows.isEmpty() ? QStringLiteral("Zubereitung:") : QString(), para};
        card << prep;
    }
    return card;
}

double heightOf(ReportPrinter& vp, const QVector<Block>& card)
{
    double h = 0;
    for (const Block& b : card) {
        vp.TextFontBold(b.bold);
        h += b.gapBefore + vp.rowsHeight(b.format, b.rows);
    }
    vp.TextFontBold(false);
    return h;
}

void write(ReportPrinter& vp, const QVector<Block>& card)
{
    for (const Block& b : card) {
        vp.setCursorY(vp.CursorY() + b.gapBefore);
        vp.TableFrame(b.shaded ? 1 : 0);
        vp.TextFontBold(b.bold);
        vp.AppendRows(b.format, b.rows, b.shaded ? kCaptionShade : QColor());
    }
    vp.TextFontBold(false);
    vp.TableFrame(0);
}

RecordsetPtr cardPlan(const QDate& von, const QDate& bis)
{
    return gConnection.execute("select TAG,TAGZEIT,GERNR,GERICHT,PERSONEN,KEY" + cardEntries(von, bis) +
                               " order by TAG,TAGZEITSORT,GTYPSORT,KEY");
}

ReportJob recipeCards(ReportPrinter& vp, QDate von, QDate bis)
{
    setUpReport(vp, QStringLiteral("Rezeptkarten"));
    RecordsetPtr plan = cardPlan(von, bis);
    const QHash<qint32, Dish> dishes = dishesOf(von, bis);
    const QHash<qint32, int> heads = entryHeads(eaterList(), von, bis);

    // The room of a half page: the top card below the page header, the bottom one below the cut.
    const double top = vp.bodyTop();
    const double room = kHalf - kCutGap - top;
    enum { TopFree, BottomFree, Full } place = TopFree;
    for (int r = 0; r < plan->rowCount(); ++r) {
        const qint32 key = plan->value(r, 5).toInt();
        const QVector<Block> card =
            cardOf(textOf(plan->value(r, 3)), plan->value(r, 0).toDate(), textOf(plan->value(r, 1)),
                   plan->value(r, 4).toInt(),
                   heads.contains(key) ? std::optional<int>(heads.value(key)) : std::nullopt,
                   dishes.value(plan->value(r, 2).toInt()));
        if (heightOf(vp, card) <= room) {
            if (place == Full)
                vp.NewPage();
            if (place == BottomFree) {
                vp.setCursorY(kHalf + kCutGap);
                place = Full;
            } else {
                vp.CutLine(kHalf);
                vp.setCursorY(top);
                place = BottomFree;
            }
        } else {
            // Longer than half a page: the card takes a page of its own.
            if (place != TopFree)
                vp.NewPage();
            vp.setCursorY(top);
            place = Full;
        }
        write(vp, card);
        co_yield 0;
    }
    vp.EndDocument();
}
} // namespace

void fncDruckRezeptkarten(const QDate& von, const QDate& bis)
{
    runReport("tlm/fncDruckRezeptkarten",
              [von, bis](ReportPrinter& vp) { return recipeCards(vp, von, bis); });
}

void readRezeptkarten(const QDate& von, const QDate& bis)
{
    cardPlan(von, bis);
    dishesOf(von, bis);
    entryHeads(eaterList(), von, bis);
}

} // namespace tlm
