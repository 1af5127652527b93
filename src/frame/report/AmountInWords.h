#pragma once
#include <QString>

#include "Money.h"

namespace qv {

// The amount in Chinese capital numerals, as printed on bills: the amount is rounded to two places
// the way the money type rounds (half to even), so the words always agree with the figures printed
// beside them. Every digit is written with its unit, zeros included: 100 gives
// "壹佰零拾零元零角零分". Throws DbError for negative amounts and for amounts of 10^12 or more.
QString amountInWords(Money amount);

}  // namespace qv
