#include "BillNumber.h"

#include <QSqlQuery>

#include "Database.h"

namespace qv::billnumber {

QString prefix(const QDate& day) { return QStringLiteral("FH") + day.toString(QStringLiteral("yyyyMMdd")); }

QString next(const QString& dayPrefix, const QStringList& codesOfDay) {
    qint64 highest = 0;
    for (const QString& code : codesOfDay) {
        const QString c = code.trimmed();
        if (!c.startsWith(dayPrefix, Qt::CaseInsensitive)) continue;
        const QString tail = c.mid(dayPrefix.size());
        // A tail of digits only: signs, blanks and letters make it a hand-made number, not a sequence.
        if (tail.isEmpty() || tail.size() > 15) continue;
        bool digits = true;
        for (QChar ch : tail) digits = digits && ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
        if (digits) highest = qMax(highest, tail.toLongLong());
    }
    return dayPrefix + QStringLiteral("%1").arg(highest + 1, 4, 10, QLatin1Char('0'));
}

QString nextFor(const Database& db, const QDate& day) {
    const QString head = prefix(day);
    QSqlQuery q = db.exec(QStringLiteral("select BillCode from T_sale where BillCode like :p"),
                          {{QStringLiteral("p"), head + QLatin1Char('%')}});
    QStringList codes;
    while (q.next()) codes << q.value(0).toString();
    return next(head, codes);
}

}  // namespace qv::billnumber
