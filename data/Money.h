#pragma once

#include <QString>
#include <QVariant>
#include <compare>

namespace tlm {

// An amount of money exact to four decimal places, as a currency type keeps it: sums and whole
// multiples are exact, a share of it (a part of a package, a head count) is rounded to 1/10000 with
// halves away from zero. Shown to the cent, halves away from zero, so that a report and a spreadsheet
// summing the same amounts show the same total.
class Money
{
public:
    static constexpr qint64 kScale = 10000;
    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units)
    {
        Money m;
        m.m_units = units;
        return m;
    }
    // The nearest amount of the decimal the number was written as (1.495 is 1,495 €, not the binary
    // number just below it); error 6 beyond what the type holds.
    static Money fromDouble(double d);
    // A stored price or amount; Null gives error 94, text that is no number error 13.
    static Money fromValue(const QVariant& v);

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return double(m_units) / kScale; }
    // The amount times a factor (persons, a share of a package), rounded to 1/10000.
    Money times(double factor) const;
    // The amount divided (by persons), rounded to 1/10000; error 11 for 0.
    Money dividedBy(double divisor) const;
    // To the cent, halves away from zero.
    Money roundedToCents() const;
    // The decimals it has: 2 for whole cents, else 3 or 4.
    int decimals() const;

    Money operator-() const { return fromUnits(-m_units); }
    Money& operator+=(Money other);
    Money& operator-=(Money other) { return *this += -other; }
    friend Money operator+(Money a, Money b) { return a += b; }
    friend Money operator-(Money a, Money b) { return a -= b; }
    // Whole packages at a price: exact; error 6 beyond what the type holds.
    friend Money operator*(Money m, qint64 n);
    friend constexpr auto operator<=>(Money, Money) = default;

private:
    qint64 m_units = 0;
};

// The decimal a number is written as (its shortest exact text), rounded to so many decimals with
// halves away from zero, as a whole number of those decimals: 10.465 to 2 decimals is 1047.
// Error 6 beyond 64 bits.
qint64 roundHalfAway(double d, int decimals);

// 1.234,50 €: to the cent, halves away from zero.
QString currencyText(Money m);
// A unit price: to the cent, or with its finer decimals when it has them (1,495 €).
QString priceText(Money m);
// The amount as a spreadsheet reads it: 2,50 or, with finer decimals, 10,465; no grouping.
QString moneyNumber(Money m);

} // namespace tlm
