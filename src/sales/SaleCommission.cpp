#include "SaleCommission.h"

#include <cmath>

#include "Database.h"

namespace qv::salecalc {

Money lineAmount(Money price, double quantity, double discount) {
    return Money::product(price, quantity, discount);
}

Money commission(const QString& rateText, Money price, double quantity) {
    const qsizetype percent = rateText.indexOf(QLatin1Char('%'));
    if (percent < 0) return Money();
    bool ok = false;
    const double rate = rateText.left(percent).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(rate)) return Money();
    return Money::product(price, quantity, rate / 100.0);
}

QString rateOf(const Database& db, const QString& salesman, const QString& goodsCode) {
    const QVariant v = db.scalar(QStringLiteral("select GoodsTC from T_PeopleTC where people=:p and "
                                                "GoodsCode=:g order by ID"),
                                 {{QStringLiteral("p"), salesman}, {QStringLiteral("g"), goodsCode}});
    return v.isValid() && !v.isNull() ? v.toString() : QString();
}

}  // namespace qv::salecalc
