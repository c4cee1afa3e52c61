#include "data/Money.h"

#include "data/Convert.h"
#include "data/Error.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tlm {

namespace {
// The shortest text that reads back as d, without exponent: the decimal the number was written as.
// Its end; error 6 for what is no finite number.
struct DecimalText
{
    char text[512];
    const char* end;
    explicit DecimalText(double d)
    {
        if (!std::isfinite(d))
            raise(ErrOverflow);
        const auto result = std::to_chars(text, text + sizeof text, d, std::chars_format::fixed);
        if (result.ec != std::errc())
            raise(ErrOverflow);
        end = result.ptr;
    }
};
} // namespace

qint64 roundHalfAway(double d, int decimals)
{
    const DecimalText decimal(d);
    const char* const end = decimal.end;
    const char* p = decimal.text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    qint64 v = 0;
    auto push = [&](int digit) {
        if (v > (kMax - digit) / 10)
            raise(ErrOverflow);
        v = v * 10 + digit;
    };
    for (; p < end && *p != '.'; ++p)
        push(*p - '0');
    if (p < end)
        ++p;
    for (int i = 0; i < decimals; ++i)
        push(p < end ? *p++ - '0' : 0);
    if (p < end && *p >= '5') { // half or more of the last place: away from zero
        if (v == kMax)
            raise(ErrOverflow);
        ++v;
    }
    return negative ? -v : v;
}

Money Money::fromDouble(double d)
{
    return fromUnits(roundHalfAway(d, 4));
}

Money Money::fromValue(const QVariant& v)
{
    return fromDouble(tlm::toDouble(v));
}

Money Money::times(double factor) const
{
    // The factor as the decimal it was written as (0.7, not the binary number just below it), so that
    // a product on a half rounds away from zero whatever the factor.
    const DecimalText decimal(factor);
    using Wide = __int128;
    constexpr int kDigits = 36; // what a product of 18 digits by 18 digits keeps exact in 128 bits
    Wide digits = 0;
    int significant = 0, decimals = 0;
    bool afterPoint = false, negative = false;
    for (const char* p = decimal.text; p < decimal.end; ++p) {
        if (*p == '-') {
            negative = true;
        } else if (*p == '.') {
            afterPoint = true;
        } else {
            if (significant > 0 || *p != '0')
                ++significant;
            if (significant > 18) // a factor past 10^18: no product of it is a half
                return fromUnits(roundHalfAway(double(m_units) * factor, 0));
            digits = digits * 10 + (*p - '0');
            decimals += afterPoint;
        }
    }
    if (decimals > kDigits) // a factor this small leaves less than a half of the smallest unit
        return fromUnits(roundHalfAway(double(m_units) * factor, 0));
    const Wide amount = m_units;
    const Wide product = (amount < 0 ? -amount : amount) * digits;
    Wide scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    Wide whole = product / scale;
    if ((product % scale) * 2 >= scale) // a half or more: away from zero
        ++whole;
    if (whole > std::numeric_limits<qint64>::max())
        raise(ErrOverflow);
    const qint64 units = qint64(whole);
    return fromUnits((m_units < 0) != negative ? -units : units);
}

Money Money::dividedBy(double divisor) const
{
    if (divisor == 0)
        raise(ErrDivisionByZero);
    return fromUnits(roundHalfAway(double(m_units) / divisor, 0));
}

Money Money::roundedToCents() const
{
    qint64 cents = m_units / 100;
    const qint64 rest = m_units % 100;
    if (rest >= 50)
        ++cents;
    else if (rest <= -50)
        --cents;
    return fromUnits(cents * 100);
}

int Money::decimals() const
{
    return m_units % 100 == 0 ? 2 : m_units % 10 == 0 ? 3 : 4;
}

Money& Money::operator+=(Money other)
{
    if (__builtin_add_overflow(m_units, other.m_units, &m_units))
        raise(ErrOverflow);
    return *this;
}

Money operator*(Money m, qint64 n)
{
    qint64 units = 0;
    if (__builtin_mul_overflow(m.m_units, n, &units))
        raise(ErrOverflow);
    return Money::fromUnits(units);
}

QString currencyText(Money m)
{
    return currencyText(m.roundedToCents().toDouble(), 2);
}

QString priceText(Money m)
{
    return currencyText(m.toDouble(), m.decimals());
}

QString moneyNumber(Money m)
{
    return locale().toString(m.toDouble(), 'f', m.decimals());
}

} // namespace tlm
