#include "kitchen/RecipeQuantity.h"

#include "data/Convert.h"

#include <cmath>

namespace tlm {

namespace {
// Half up on the decimal digits: 3075 g for 41 persons reads 3,08 kg, however the binary value lies.
double threeDigits(double v)
{
    if (v == 0 || !std::isfinite(v))
        return v;
    const double scale = std::pow(10.0, 2 - std::floor(std::log10(std::fabs(v))));
    return roundSignificant(std::round(v * scale * (1 + 1e-12)) / scale);
}
} // namespace

QString quantityFor(const QVariant& menge4p, int persons, const QString& unit)
{
    if (menge4p.isNull())
        return QString();
    double v = threeDigits(menge4p.toDouble() * persons / 4);
    QString u = unit;
    if ((unit == QLatin1String("g") || unit == QLatin1String("ml")) && std::fabs(v) >= 1000) {
        v = threeDigits(v / 1000);
        u = unit == QLatin1String("g") ? QStringLiteral("kg") : QStringLiteral("L");
    }
    return u.isEmpty() ? numberText(v) : numberText(v) + ' ' + u;
}

} // namespace tlm
