#pragma once
#include <QString>

#include "Money.h"

namespace qv {

class Database;

// Amounts of a sales bill line.
namespace salecalc {

// The line's amount: price × quantity × discount factor, four places half-to-even.
Money lineAmount(Money price, double quantity, double discount);

// A salesman's commission on a line from his rate text ("2.5%"): the number before the first "%"
// × price × quantity ÷ 100, on the undiscounted value. A text without "%" or whose part before it
// is not a number earns nothing.
Money commission(const QString& rateText, Money price, double quantity);

// The rate text of `salesman` for the product `goodsCode` (the first stored rate, by ID); empty when
// he has none.
QString rateOf(const Database& db, const QString& salesman, const QString& goodsCode);

}  // namespace salecalc
}  // namespace qv
