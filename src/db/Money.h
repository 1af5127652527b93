#pragma once
#include <QString>
#include <QVariant>
#include <cstdint>

namespace qv {

// A money value: a 64-bit count of ten-thousandths. Rounding to four places is half-to-even.
class Money {
public:
    constexpr Money() = default;
    static constexpr int64_t kScale = 10000;
    static constexpr Money fromUnits(int64_t units) {
        Money m;
        m.units_ = units;
        return m;
    }
    // The nearest money value (a stored four-place value read back as a double comes back exactly).
    static Money fromDouble(double v);
    // Parses "12", "-3.5", "0.00015" (more than four places round half-to-even); false when not a number
    // or outside the money range (about ±922 337 203 685 477.5807).
    static bool parse(const QString& text, Money* out);
    static Money fromVariant(const QVariant& v);

    // price × quantity × factor, computed exactly on the decimal values of its factors and rounded to
    // four places half-to-even.
    static Money product(Money price, double quantity, double factor);

    int64_t units() const { return units_; }
    double toDouble() const { return double(units_) / kScale; }
    QString toString(int decimals = 4) const;  // rounded half-to-even to `decimals` places
    QVariant toVariant() const { return QVariant(toDouble()); }

    Money operator+(Money o) const { return fromUnits(units_ + o.units_); }
    Money operator-(Money o) const { return fromUnits(units_ - o.units_); }
    Money& operator+=(Money o) {
        units_ += o.units_;
        return *this;
    }
    bool operator==(const Money& o) const = default;
    auto operator<=>(const Money& o) const = default;

private:
    int64_t units_ = 0;
};

}  // namespace qv
