#include "Money.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace qv {

namespace {

using i128 = __int128;

// A decimal number as mantissa × 10^-scale, taken from the shortest text that reads back as `v`.
struct Decimal {
    i128 mantissa = 0;
    int scale = 0;
    bool ok = false;
};

Decimal decimalOf(const QString& text) {
    Decimal d;
    QString s = text.trimmed();
    if (s.isEmpty()) return d;
    bool neg = false;
    if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
        neg = s.startsWith(QLatin1Char('-'));
        s.remove(0, 1);
    }
    int exp = 0;
    const int e = s.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0) {
        bool ok = false;
        exp = s.mid(e + 1).toInt(&ok);
        if (!ok) return d;
        s = s.left(e);
    }
    const int dot = s.indexOf(QLatin1Char('.'));
    QString digits = s;
    int scale = 0;
    if (dot >= 0) {
        digits = s.left(dot) + s.mid(dot + 1);
        scale = s.size() - dot - 1;
    }
    if (digits.isEmpty()) return d;
    scale -= exp;
    i128 m = 0;
    for (QChar c : digits) {
        if (!c.isDigit()) return d;
        if (m > (i128(1) << 100)) return d;  // too many digits for exact arithmetic
        m = m * 10 + (c.unicode() - '0');
    }
    while (scale < 0) {
        m *= 10;
        ++scale;
    }
    d.mantissa = neg ? -m : m;
    d.scale = scale;
    d.ok = true;
    return d;
}

Decimal decimalOf(double v) { return decimalOf(QString::number(v, 'g', QLocale::FloatingPointShortest)); }

i128 pow10(int n) {
    i128 r = 1;
    while (n-- > 0) r *= 10;
    return r;
}

// mantissa × 10^-scale rounded half-to-even to `places` places, as a count of 10^-places.
i128 roundHalfEven(i128 mantissa, int scale, int places) {
    if (scale <= places) return mantissa * pow10(places - scale);
    const i128 div = pow10(scale - places);
    i128 q = mantissa / div;
    i128 r = mantissa % div;
    const bool neg = mantissa < 0;
    if (neg) r = -r;
    const i128 twice = r * 2;
    if (twice > div || (twice == div && (q % 2 != 0))) q += neg ? -1 : 1;
    return q;
}

}  // namespace

Money Money::fromDouble(double v) {
    if (!std::isfinite(v)) return {};
    const Decimal d = decimalOf(v);
    if (!d.ok) return fromUnits(int64_t(std::llround(v * kScale)));
    return fromUnits(int64_t(roundHalfEven(d.mantissa, d.scale, 4)));
}

bool Money::parse(const QString& text, Money* out) {
    const Decimal d = decimalOf(text);
    if (!d.ok || d.scale > 30) return false;
    // A value beyond the 64-bit count of ten-thousandths would wrap to a wrong (often negative) amount.
    const i128 units = roundHalfEven(d.mantissa, d.scale, 4);
    if (units > i128(std::numeric_limits<int64_t>::max()) ||
        units < i128(std::numeric_limits<int64_t>::min()))
        return false;
    if (out) *out = fromUnits(int64_t(units));
    return true;
}

Money Money::fromVariant(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return {};
    if (v.typeId() == QMetaType::QString) {
        Money m;
        return parse(v.toString(), &m) ? m : Money();
    }
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
        return fromUnits(v.toLongLong() * kScale);
    return fromDouble(v.toDouble());
}

Money Money::product(Money price, double quantity, double factor) {
    const Decimal q = decimalOf(quantity);
    const Decimal f = decimalOf(factor);
    if (q.ok && f.ok && q.scale + f.scale < 24) {
        const i128 m = i128(price.units_) * q.mantissa * f.mantissa;
        return fromUnits(int64_t(roundHalfEven(m, 4 + q.scale + f.scale, 4)));
    }
    const long double v = (long double)price.units_ / kScale * quantity * factor;
    return fromDouble(double(v));
}

QString Money::toString(int decimals) const {
    if (decimals < 0) decimals = 0;
    i128 v = decimals >= 4 ? i128(units_) * pow10(decimals - 4) : roundHalfEven(units_, 4, decimals);
    const bool neg = v < 0;
    if (neg) v = -v;
    QString digits;
    do {
        digits.prepend(QChar('0' + int(v % 10)));
        v /= 10;
    } while (v > 0);
    while (digits.size() <= decimals) digits.prepend(QLatin1Char('0'));
    QString out = decimals > 0
                      ? digits.left(digits.size() - decimals) + QLatin1Char('.') + digits.right(decimals)
                      : digits;
    if (neg && out.contains(QRegularExpression(QStringLiteral("[1-9]")))) out.prepend(QLatin1Char('-'));
    return out;
}

}  // namespace qv
