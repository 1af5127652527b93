#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

namespace qv {

class Database;

// Sales bill numbers: "FH", the day as yyyyMMdd and a day sequence of at least four digits, for example
// FH202403150007. The sequence begins at the 11th character.
namespace billnumber {

// "FH" followed by the day as yyyyMMdd.
QString prefix(const QDate& day);

// The number after the highest numeric sequence among `codesOfDay` (the stored numbers that begin
// with `dayPrefix`): one more, left-filled with zeros to four digits. Numbers whose tail is not all
// digits are ignored; a day without numbers starts at 0001. The 10000th bill of a day gets 10000 and
// the next one 10001, so a number is never proposed twice.
QString next(const QString& dayPrefix, const QStringList& codesOfDay);

// The next free bill number of `day` from the bills stored in T_sale.
QString nextFor(const Database& db, const QDate& day);

}  // namespace billnumber
}  // namespace qv
