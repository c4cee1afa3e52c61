#pragma once

#include "data/Money.h"
#include "extras/ShoppingPlan.h"

#include <QHash>
#include <QString>
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

// What is on hand per ingredient (ZUTNR) from the table VORRAT.
QHash<qint64, double> storedStock();

// The runs in order: what is on hand (stock, then what earlier runs left) covers the need first, the
// rest is bought in whole packages. What keeps is carried from run to run; fresh produce only within
// its run. rest receives what keeps and is left after the last run.
std::vector<StockRun> carryStock(const ShoppingPlan& plan, QHash<qint64, double> onHand,
                                 QHash<qint64, double>* rest = nullptr);

// Sets the stock to the amounts given, counted today, in one transaction.
void takeOverStock(const QHash<qint64, double>& amounts);

} // namespace tlm
