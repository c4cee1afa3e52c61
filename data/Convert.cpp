#include "data/Convert.h"

#include "data/Error.h"
#include "data/Money.h"

#include <QHash>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tlm {

namespace {
QLocale makeLocale()
{
    QLocale sys = QLocale::system();
    QLocale l = sys.language() == QLocale::German ? sys : QLocale(QLocale::German, QLocale::Germany);
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
}
QLocale& localeRef()
{
    static QLocale l = makeLocale();
    return l;
}
// The same locale with grouping, as currency amounts and number reading want it.
QLocale& groupingLocaleRef()
{
    static QLocale l = [] {
        QLocale g = makeLocale();
        g.setNumberOptions(QLocale::DefaultNumberOptions);
        return g;
    }();
    return l;
}
// The number with so many significant digits as printf's %g writes it, exactly and without the
// locale; the length written.
int generalText(double d, int digits, char* out)
{
    return int(std::to_chars(out, out + 39, d, std::chars_format::general, digits).ptr - out);
}

// QString::number(d, 'g', 15), the C way: a number whose shortest exact text has at most 15 digits
// is written with those digits, and that is what rounding it to 15 digits gives as well. Only the
// rest (17-digit noise) takes Qt's slower road.
QString generalText15(double d)
{
    if (!std::isnormal(d)) // subnormal numbers have fewer exact digits than 15
        return QString::number(d, 'g', 15);
    char shortest[40];
    char* end = std::to_chars(shortest, shortest + 39, d, std::chars_format::scientific).ptr;
    *end = '\0';
    // d.ddde±XX: the digits and the exponent.
    const char* p = shortest;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[20];
    int n = 0;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.')
            digits[n++] = *p;
    if (n > 15 || p == end)
        return QString::number(d, 'g', 15);
    const int exponent = std::atoi(p + 1);
    char out[48];
    int k = 0;
    if (negative)
        out[k++] = '-';
    if (exponent < -4 || exponent >= 15) {
        out[k++] = digits[0];
        if (n > 1) {
            out[k++] = '.';
            for (int i = 1; i < n; ++i)
                out[k++] = digits[i];
        }
        k += std::snprintf(out + k, sizeof(out) - size_t(k), "e%c%02d", exponent < 0 ? '-' : '+',
                           std::abs(exponent));
    } else if (exponent < 0) {
        out[k++] = '0';
        out[k++] = '.';
        for (int i = -1; i > exponent; --i)
            out[k++] = '0';
        for (int i = 0; i < n; ++i)
            out[k++] = digits[i];
    } else {
        for (int i = 0; i <= exponent; ++i)
            out[k++] = i < n ? digits[i] : '0';
        if (n > exponent + 1) {
            out[k++] = '.';
            for (int i = exponent + 1; i < n; ++i)
                out[k++] = digits[i];
        }
    }
    return QString::fromLatin1(out, k);
}

// A shopping list prints the same prices again and again: each amount is formatted once.
QHash<QPair<double, int>, QString>& currencyTexts()
{
    static QHash<QPair<double, int>, QString> texts;
    return texts;
}

double roundHalfEven(double d)
{
    // nearbyint honours the current rounding mode, which is round-to-nearest-even by default.
    return std::nearbyint(d);
}
} // namespace

const QLocale& locale()
{
    return localeRef();
}

void setLocaleForTests(const QLocale& l)
{
    localeRef() = l;
    localeRef().setNumberOptions(QLocale::OmitGroupSeparator);
    groupingLocaleRef() = l;
    groupingLocaleRef().setNumberOptions(QLocale::DefaultNumberOptions);
    currencyTexts().clear();
}

QString numberText(double d)
{
    if (std::isnan(d))
        return QStringLiteral("n. def.");
    if (d == 0)
        return QStringLiteral("0");
    QString s = generalText15(d);
    s.replace('e', 'E');
    s.replace('.', locale().decimalPoint());
    return s;
}

QString boolText(bool b)
{
    return b ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
}

QString shortDate(const QDate& d)
{
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString gridDate(const QDate& d)
{
    if (!d.isValid())
        return {};
    QString day = locale().dayName(d.dayOfWeek(), QLocale::ShortFormat);
    if (day.endsWith('.'))
        day.chop(1);
    return day + ' ' + d.toString(QStringLiteral("dd.MM.yy"));
}

QString shortDayDate(const QDate& d)
{
    return gridDate(d).chopped(d.isValid() ? 2 : 0);
}

QString longDayDate(const QDate& d)
{
    if (!d.isValid())
        return {};
    return locale().dayName(d.dayOfWeek(), QLocale::LongFormat) + ' ' +
           d.toString(QStringLiteral("dd.MM.yyyy"));
}

QString currencyText(double d, int decimals)
{
    QHash<QPair<double, int>, QString>& texts = currencyTexts();
    const QPair<double, int> key(d, decimals);
    if (const auto it = texts.constFind(key); it != texts.constEnd())
        return *it;
    const QLocale& l = groupingLocaleRef();
    // Halves away from zero, of the decimal the amount was written as: 10,465 € is 10,47 €.
    const double shown = std::abs(d) < 1e14 && decimals >= 0 && decimals <= 4
                             ? double(roundHalfAway(d, decimals)) / std::pow(10.0, decimals)
                             : d;
    const QString text = l.toCurrencyString(shown, l.currencySymbol(), decimals);
    if (texts.size() > 100000)
        texts.clear();
    texts.insert(key, text);
    return text;
}

QString textOf(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool:
        return boolText(v.toBool());
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(v.toDouble());
    case QMetaType::QDate:
        return shortDate(v.toDate());
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(v.toLongLong());
    default:
        return v.toString();
    }
}

double val(const QString& input)
{
    QString s;
    s.reserve(input.size());
    for (QChar c : input)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            s += c;
    int i = 0;
    const int n = s.size();
    if (n >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        qint64 v = 0;
        int digits = 0;
        for (i = 2; i < n && digits < 8; ++i, ++digits) {
            int h = QStringLiteral("0123456789abcdef").indexOf(s[i].toLower());
            if (h < 0)
                break;
            v = v * 16 + h;
        }
        if (digits <= 4)
            return static_cast<qint16>(static_cast<quint16>(v));
        return static_cast<qint32>(static_cast<quint32>(v));
    }
    QByteArray num;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        num += s[i++].toLatin1();
    bool digits = false;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        num += s[i++].toLatin1();
        digits = true;
    }
    if (i < n && s[i] == '.') {
        num += s[i++].toLatin1();
        while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
            num += s[i++].toLatin1();
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < n && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        QByteArray exp = "e";
        int j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-'))
            exp += s[j++].toLatin1();
        bool expDigits = false;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
            exp += s[j++].toLatin1();
            expDigits = true;
        }
        if (expDigits)
            num += exp;
    }
    double d = std::strtod(num.constData(), nullptr);
    if (std::isinf(d))
        raise(ErrOverflow);
    return d;
}

namespace {
// Rounded to the nearest whole number, halves to even; error 6 outside T's range.
template <class T> T toWhole(double d)
{
    if (std::isnan(d))
        raise(ErrOverflow);
    const double r = roundHalfEven(d);
    if (r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max())
        raise(ErrOverflow);
    return static_cast<T>(r);
}
} // namespace

qint16 toInt16(double d)
{
    return toWhole<qint16>(d);
}

qint32 toInt32(double d)
{
    return toWhole<qint32>(d);
}

double roundSignificant(double d, int digits)
{
    if (d == 0 || !std::isfinite(d))
        return d;
    char text[40];
    double rounded = d;
    std::from_chars(text, text + generalText(d, digits, text), rounded);
    return rounded;
}

bool parseNumber(const QString& text, double* out)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    const QLocale& l = groupingLocaleRef();
    bool ok = false;
    double d = l.toDouble(s, &ok);
    if (!ok) {
        // A currency text as the price box shows it reads back as its number.
        QString t = s;
        t.remove(l.currencySymbol()).remove(QChar(0x00A0)).remove(' ');
        d = l.toDouble(t, &ok);
    }
    if (!ok || std::isinf(d) || std::isnan(d))
        return false;
    *out = d;
    return true;
}

QDate parseDate(const QString& text)
{
    const QString s = text.trimmed();
    for (const char* f : {"d.M.yyyy", "d.M.yy", "yyyy-MM-dd", "d.M.yyyy H:mm:ss", "d.M.yyyy H:mm"}) {
        QDate d = QDate::fromString(s, QString::fromLatin1(f));
        if (d.isValid()) {
            if (QString::fromLatin1(f) == "d.M.yy" && d.year() < 1930)
                d = d.addYears(100); // two-digit years 30..99 belong to the 20th century
            return d;
        }
    }
    QDateTime dt = QDateTime::fromString(s, Qt::ISODate);
    return dt.isValid() ? dt.date() : QDate();
}

double toDouble(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        raise(ErrInvalidNull);
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? -1 : 0;
    case QMetaType::QString: {
        double d = 0;
        if (!parseNumber(v.toString(), &d))
            raise(ErrTypeMismatch);
        return d;
    }
    case QMetaType::QDate:
        return QDate(1899, 12, 30).daysTo(v.toDate());
    default: {
        bool ok = false;
        double d = v.toDouble(&ok);
        if (!ok)
            raise(ErrTypeMismatch);
        return d;
    }
    }
}

qint16 toInt16(const QVariant& v)
{
    return toInt16(toDouble(v));
}
qint32 toInt32(const QVariant& v)
{
    return toInt32(toDouble(v));
}

} // namespace tlm
