#pragma once
#include <QString>

namespace qv::codeseq {

// Automatic codes (customers, products) keep a head and a four-digit numeric tail (the whole code
// when it is shorter than four characters).

// The tail (the last four characters, or the whole code) is made of decimal digits only.
bool tailIsNumber(const QString& code);

// The code after `code`: the head followed by the tail's value plus one, with leading zeros to four
// digits (more digits from 10000 on): KH0009 -> KH0010, KH0999 -> KH1000, 12 -> 0013,
// A9999 -> A10000. Empty when the tail is not a number.
QString nextCode(const QString& code);

}  // namespace qv::codeseq
