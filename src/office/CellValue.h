#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>
#include <optional>

namespace qv::cellvalue {

// The longest text a worksheet cell holds; longer texts are cut to this length.
constexpr int kMaxTextLength = 32767;

// A value on its way into a worksheet cell, in the terms both workbook formats share.
struct Cell {
    enum class Type { Empty, Number, Text, Date, DateTime, Time };
    Type type = Type::Empty;
    double number = 0;  // the number, or the date serial for Date, DateTime and Time
    QString text;
};

// Sorts a grid value into a cell: integers and decimals become numbers (integers of 15 digits and
// more become text, since a worksheet keeps only 15 significant digits), dates become date serials,
// null values, empty texts and non-finite numbers become empty cells, anything else becomes text.
Cell fromVariant(const QVariant& value);

// Serial numbers of the 1900 date system as worksheets store them (day 1 = 1900-01-01, with the
// non-existent 1900-02-29 as day 60). Dates before 1900 have no serial.
std::optional<double> serialFromDate(const QDate& date);
std::optional<double> serialFromDateTime(const QDateTime& dateTime);
double serialFromTime(const QTime& time);

// How a number format shows its number: as a plain number or as a date, a time or both.
enum class DateKind { None, Date, Time, DateTime };
DateKind dateKindOfBuiltinFormat(int id);
DateKind dateKindOfFormatCode(const QString& code);

// The text a user sees for a number: integers without a decimal point or exponent up to 15
// digits ("13800138000"), other numbers with 15 significant digits ("3.5", "0.3", "1.5E+20").
QString numberText(double value);
// "yyyy-MM-dd", "HH:mm:ss" or "yyyy-MM-dd HH:mm:ss" for a date serial.
QString dateText(double serial, DateKind kind, bool date1904 = false);

}  // namespace qv::cellvalue
