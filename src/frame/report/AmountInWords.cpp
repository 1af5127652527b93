#include "AmountInWords.h"

#include "DbError.h"

namespace qv {

namespace {

const QString kTooLarge = QStringLiteral(u"金额超出范围（须小于一万亿元），无法写成大写金额。");
const QString kNegative = QStringLiteral(u"大写金额只能写不小于零的金额。");

}  // namespace

QString amountInWords(Money amount) {
    static const QString numerals = QStringLiteral(u"零壹贰叁肆伍陆柒捌玖");
    // Units by position: index 0 is the last digit (分), index 2 the units digit (元).
    static const QString units = QStringLiteral(u"分角元拾佰仟万拾佰仟亿拾佰仟");
    const QString fixed = amount.toString(2);
    if (fixed.startsWith(QLatin1Char('-'))) throw DbError(kNegative);
    QString digits = fixed;
    digits.remove(QLatin1Char('.'));
    if (digits.size() > units.size()) throw DbError(kTooLarge);
    QString out;
    for (int p = 0; p < digits.size(); ++p) {
        const QChar d = digits.at(digits.size() - 1 - p);
        out.prepend(units.at(p));
        out.prepend(numerals.at(d.digitValue()));
    }
    return out;
}

}  // namespace qv
