#pragma once

#include "kitchen/SpanNeeds.h"

#include <QDate>
#include <QVector>
#include <optional>

namespace tlm {

// A camp's shopping runs: the days from von to bis, bought on the shopping days (the first is von);
// a run covers its day up to the day before the next. With keepsFirst, what keeps is bought in the
// first run for the whole span and the later runs buy fresh produce only.
struct ShoppingPlan
{
    QDate von;
    QDate bis;
    QVector<QDate> runs;
    bool keepsFirst = true;
};

// The days of run i: its own days, and the days whose need of what keeps it buys (at the first run
// for the whole span, or with every run for its days).
struct RunDays
{
    QDate start;
    QDate end;
    DayRange days;
    DayRange keeps;
};
RunDays runDays(const ShoppingPlan& plan, int i);

// The plan "Einkauf planen…" kept last, none when it kept none.
std::optional<ShoppingPlan> keptShoppingPlan();
// The shopping runs over a span as "Einkauf planen…" keeps them: its runs within the span (the span's
// first day is always one) and its choice of what is bought at first; else one run at the first day.
ShoppingPlan keptShoppingPlan(const QDate& von, const QDate& bis);
// Keeps the span, the runs and what is bought at first, per database.
void keepShoppingPlan(const ShoppingPlan& plan);

// The plan's days (as proposedSpan) with the runs "Einkauf planen…" keeps, else a run every seven days.
ShoppingPlan keptOrWeeklyPlan();

// The runs every n days over the span a tool proposes (proposedSpan); no runs on an empty plan.
ShoppingPlan everyNDays(int n);

} // namespace tlm
