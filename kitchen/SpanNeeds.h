#pragma once

#include "kitchen/DayRange.h"
#include "kitchen/ShoppingRows.h"

#include <QHash>
#include <QVariant>
#include <vector>

namespace tlm {

// The plan's entries, recipes and ingredients over a span, read in three statements, so that any
// number of shopping runs in it add up their own days in memory rather than each sending a grouped
// statement over the plan.
class SpanNeeds
{
public:
    SpanNeeds(const QDate& von, const QDate& bis);

    // One item to buy, as the database holds its ingredient.
    struct Item
    {
        QVariant name, need, size, unit, price, fresh;
        qint64 number = 0; // ZUTNR
        ShoppingRow row() const { return shoppingRow(name, need, size, unit, price, fresh); }
    };
    // Each ingredient once, by name, basic stock left out: what keeps for the entries of the keeps
    // days (none when that range is empty), fresh produce for those of the fresh days. An ingredient
    // a planned dish uses is listed even when its need is 0.
    std::vector<Item> items(const DayRange& keeps, const DayRange& fresh) const;
    // What the entries of the days eat of the basic stock, which is never bought: each such ingredient
    // a planned dish uses, by name.
    std::vector<Item> basicStock(const DayRange& days) const;

private:
    struct Entry
    {
        QDate day;
        qint32 dish;
        double persons;
    };
    struct Line
    {
        int ingredient; // index into m_ingredients
        double perPerson;
    };
    struct Ingredient
    {
        QVariant name, size, unit, price, fresh;
        qint16 kind; // -1 fresh, 0 keeps, else neither
        bool basic;  // NOKAUF: never bought
        int rank;
        qint64 number;
    };
    // Per listed ingredient (by name) its need over the ranges, fresh produce over fresh, the rest over
    // keeps; only those of basic stock (all over keeps) when basic, else only those bought.
    std::vector<Item> needs(const DayRange& keeps, const DayRange& fresh, bool basic) const;

    std::vector<Entry> m_entries; // by day
    QHash<qint32, std::vector<Line>> m_recipes;
    std::vector<Ingredient> m_ingredients;
};

} // namespace tlm
