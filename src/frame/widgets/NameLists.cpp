#include "NameLists.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace qv {

QStringList readNames(const Database& db, const QString& sql, const Params& params) {
    QSqlQuery q = db.exec(sql, params);
    const int col = q.record().indexOf(QStringLiteral("name"));
    QStringList out;
    while (q.next()) out << q.value(col < 0 ? 1 : col).toString().trimmed();
    return out;
}

QStringList readReferenceList(const Database& db, const QString& table) {
    QSqlQuery q = db.exec(QStringLiteral("select * from %1 order by id").arg(table));
    QStringList out;
    while (q.next()) out << q.value(1).toString().trimmed();
    return out;
}

}  // namespace qv
