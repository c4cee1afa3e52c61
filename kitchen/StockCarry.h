#pragma once

#include "data/Money.h"
#include "kitchen/ShoppingPlan.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace tlm {

// One ingredient of one shopping run: the need, what comes from what is on hand, the whole
// packages bought and what is left after the run.
struct StockLine
{
    qint64 number = 0;
    QString name, unit;
    double need = 0, fromStock = 0, bought = 0, left = 0;
    qint16 packages = 0;
    Money price, total;
    bool fresh = false;
};

struct StockRun
{
    QDate start, end;
    std::vector<StockLine> lines;
};

// Whether the database has the table VORRAT: an older file opened read-only has not, and holds no
// stock then.
bool hasStockTable();

// What is on hand per ingredient (ZUTNR) from the table VORRAT.
QHash<qint64, double> storedStock();

class SpanNeeds;

// Basic stock the plan eats beyond what the storeroom holds: to be bought after all.
struct StockShortage
{
    qint64 number = 0;
    QString name, unit;
    double missing = 0;
};

// The runs of a plan one at a time, so that a report shows its first run before the last is
// reckoned. What is on hand (stock, then what earlier runs left) covers the need first, the rest is
// bought in whole packages. What keeps is carried from run to run; fresh produce only within its run.
class StockCarry
{
public:
    StockCarry(const ShoppingPlan& plan, QHash<qint64, double> onHand);
    ~StockCarry();
    // The next run; false after the last.
    bool next(StockRun* run);
    // What keeps and is left after the runs so far.
    QHash<qint64, double> rest() const;
    // The basic stock with a stock entry that the runs so far ate beyond it, each once, by name.
    const std::vector<StockShortage>& shortages() const { return m_shortages; }

private:
    // What the run's days eat of the basic stock comes off what is on hand.
    void eatBasicStock(const DayRange& days);

    ShoppingPlan m_plan;
    QHash<qint64, double> m_onHand;
    std::unique_ptr<SpanNeeds> m_needs;
    int m_next = 0;
    std::vector<StockShortage> m_shortages;
};

// The runs in order, as StockCarry gives them: what is on hand (stock, then what earlier runs left) covers
// the need first, the rest is bought in whole packages. What keeps is carried from run to run; fresh produce
// only within its run. rest receives what keeps and is left after the last run.
std::vector<StockRun> carryStock(const ShoppingPlan& plan, QHash<qint64, double> onHand,
                                 QHash<qint64, double>* rest = nullptr);

// Sets the stock to the amounts given, as counted on the day given, in one transaction.
void takeOverStock(const QHash<qint64, double>& amounts, const QDate& counted);

// Stores one ingredient's stock; an amount of 0 removes it.
void storeStock(qint64 number, double amount, const QDate& counted);

// An amount's value at its ingredient's package price; none without a price or package size.
std::optional<Money> stockValue(double amount, const QVariant& size, const QVariant& price);

// What is left after the plan's last run (what keeps only), per ingredient in print order.
struct RestLine
{
    qint64 number = 0;
    QString name, unit;
    double amount = 0;
    std::optional<Money> value;
};
std::vector<RestLine> restAfter(const ShoppingPlan& plan);
// The amounts given (per ZUTNR), in print order with their values.
std::vector<RestLine> restLines(const QHash<qint64, double>& rest);

// The plan's runs with the stock used first: what the whole packages cost, and what keeps and is left
// after them at the package price (as the report "Restbestand" sums it). Raises as the shopping
// lists do.
struct SpanPurchase
{
    Money bought, restValue;
};
SpanPurchase spanPurchase(const ShoppingPlan& plan);

} // namespace tlm
