#include "CellValue.h"

#include <QRegularExpression>
#include <cmath>

namespace qv::cellvalue {

namespace {
constexpr double kSecondsPerDay = 86400.0;
// Integers from this size on lose digits in a worksheet cell.
constexpr double kLargestExactInteger = 1e15;

Cell textCell(QString text) {
    Cell c;
    if (text.isEmpty()) return c;
    if (text.size() > kMaxTextLength) text.truncate(kMaxTextLength);
    c.type = Cell::Type::Text;
    c.text = std::move(text);
    return c;
}

Cell numberCell(double v) {
    Cell c;
    if (!std::isfinite(v)) return c;
    c.type = Cell::Type::Number;
    c.number = v;
    return c;
}

template <typename Int>
Cell integerCell(Int v) {
    if (std::abs(double(v)) >= kLargestExactInteger) return textCell(QString::number(v));
    return numberCell(double(v));
}

Cell serialCell(Cell::Type type, std::optional<double> serial, const QString& fallbackText) {
    if (!serial) return textCell(fallbackText);
    Cell c;
    c.type = type;
    c.number = *serial;
    return c;
}
}  // namespace

Cell fromVariant(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    switch (value.typeId()) {
        case QMetaType::Bool:
            return numberCell(value.toBool() ? 1 : 0);
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::SChar:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return integerCell(value.toLongLong());
        case QMetaType::UInt:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return integerCell(value.toULongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return numberCell(value.toDouble());
        case QMetaType::QDate: {
            const QDate d = value.toDate();
            if (!d.isValid()) return {};
            return serialCell(Cell::Type::Date, serialFromDate(d), d.toString(QStringLiteral("yyyy-MM-dd")));
        }
        case QMetaType::QDateTime: {
            const QDateTime dt = value.toDateTime();
            if (!dt.isValid()) return {};
            return serialCell(Cell::Type::DateTime, serialFromDateTime(dt),
                              dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        }
        case QMetaType::QTime: {
            const QTime t = value.toTime();
            if (!t.isValid()) return {};
            return serialCell(Cell::Type::Time, serialFromTime(t), {});
        }
        case QMetaType::QByteArray:
            return textCell(QString::fromUtf8(value.toByteArray()));
        default:
            return textCell(value.toString());
    }
}

std::optional<double> serialFromDate(const QDate& date) {
    if (!date.isValid() || date.year() < 1900) return std::nullopt;
    // From 1900-03-01 on, serials count from 1899-12-30; before, the phantom 1900-02-29 is not yet
    // counted and they count from 1899-12-31.
    if (date >= QDate(1900, 3, 1)) return double(QDate(1899, 12, 30).daysTo(date));
    return double(QDate(1899, 12, 31).daysTo(date));
}

std::optional<double> serialFromDateTime(const QDateTime& dateTime) {
    auto day = serialFromDate(dateTime.date());
    if (!day) return std::nullopt;
    return *day + serialFromTime(dateTime.time());
}

double serialFromTime(const QTime& time) {
    if (!time.isValid()) return 0;
    return time.msecsSinceStartOfDay() / (kSecondsPerDay * 1000.0);
}

DateKind dateKindOfBuiltinFormat(int id) {
    if (id >= 14 && id <= 17) return DateKind::Date;
    if (id >= 18 && id <= 21) return DateKind::Time;
    if (id == 22) return DateKind::DateTime;
    if (id >= 45 && id <= 47) return DateKind::Time;
    // The East Asian built-in formats: dates (27-31, 34-36, 50-58 without 55, 56) and times.
    if ((id >= 27 && id <= 31) || (id >= 34 && id <= 36) || (id >= 50 && id <= 54) || id == 57 || id == 58)
        return DateKind::Date;
    if (id == 32 || id == 33 || id == 55 || id == 56) return DateKind::Time;
    return DateKind::None;
}

DateKind dateKindOfFormatCode(const QString& code) {
    bool date = false, time = false;
    // Only the first section (positive numbers) decides; quoted text, escaped characters and
    // bracketed colours or conditions are not date parts, elapsed times like [h] are.
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code.at(i);
        if (ch == u';') break;
        if (ch == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            if (end < 0) break;
            i = end;
            continue;
        }
        if (ch == u'\\' || ch == u'_' || ch == u'*') {
            ++i;
            continue;
        }
        if (ch == u'[') {
            const qsizetype end = code.indexOf(u']', i + 1);
            if (end < 0) break;
            const QString inner = code.mid(i + 1, end - i - 1).toLower();
            if (!inner.isEmpty() && (inner.at(0) == u'h' || inner.at(0) == u'm' || inner.at(0) == u's') &&
                inner.count(inner.at(0)) == inner.size())
                time = true;
            i = end;
            continue;
        }
        switch (ch.toLower().unicode()) {
            case u'y':
            case u'd':
            case u'e':  // year in some East Asian formats
                date = true;
                break;
            case u'h':
            case u's':
                time = true;
                break;
            case u'm':
                // "m" alone means month; next to hours or seconds it means minutes, which the
                // hours and seconds decide on their own.
                break;
            default:
                break;
        }
    }
    if (!date) {
        // A format of months only ("mmm") is a date as well.
        if (!time) {
            QString plain = code.section(u';', 0, 0).toLower();
            plain.remove(QRegularExpression(QStringLiteral("\"[^\"]*\"|\\[[^\\]]*\\]|\\\\.")));
            if (plain.contains(u'm') && !plain.contains(u'0') && !plain.contains(u'#')) return DateKind::Date;
        }
        return time ? DateKind::Time : DateKind::None;
    }
    return time ? DateKind::DateTime : DateKind::Date;
}

QString numberText(double value) {
    if (!std::isfinite(value)) return {};
    if (value == std::floor(value) && std::abs(value) < kLargestExactInteger)
        return QString::number(qint64(value));
    QString text = QString::number(value, 'g', 15);
    return text.replace(u'e', u'E');
}

QString dateText(double serial, DateKind kind, bool date1904) {
    if (!std::isfinite(serial) || serial < 0) return numberText(serial);
    // Round to the second first so that 23:59:59.9995 carries into the next day.
    const qint64 totalSeconds = qint64(std::llround(serial * kSecondsPerDay));
    const qint64 days = totalSeconds / qint64(kSecondsPerDay);
    const int seconds = int(totalSeconds % qint64(kSecondsPerDay));
    const QString timeText = QTime(0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm:ss"));
    if (kind == DateKind::Time) return timeText;

    QString dayText;
    if (date1904) {
        dayText = QDate(1904, 1, 1).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    } else if (days == 60) {
        dayText = QStringLiteral("1900-02-29");  // the day the 1900 date system counts but never was
    } else if (days < 60) {
        dayText = QDate(1899, 12, 31).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    } else {
        dayText = QDate(1899, 12, 30).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (kind == DateKind::DateTime) return dayText + u' ' + timeText;
    return dayText;
}

}  // namespace qv::cellvalue
