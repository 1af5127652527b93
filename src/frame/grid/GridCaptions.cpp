#include "GridCaptions.h"

#include <QList>
#include <QSqlQuery>

#include "Database.h"

namespace qv {

QString captionTakenText(const QString& caption) {
    return QStringLiteral("表头标签“%1”已被本表格的另一列使用，请换一个标签！").arg(caption.trimmed());
}

QString captionClash(const Database& db, const QHash<qint64, QString>& byId,
                     const QHash<QString, QString>& byField) {
    QHash<QString, QString> fieldCaptions;  // by lower-case field name
    for (auto it = byField.cbegin(); it != byField.cend(); ++it)
        fieldCaptions.insert(it.key().trimmed().toLower(), *it);

    struct Row {
        QString field, caption;
        bool changed = false;
    };
    QHash<QString, QList<Row>> byKey;  // by lower-case grid key
    QSqlQuery q = db.exec(QStringLiteral("select ID, TableName, Field, Name from T_FieldShow order by ID"));
    while (q.next()) {
        Row r;
        r.field = q.value(2).toString().trimmed().toLower();
        r.caption = q.value(3).toString();
        const qint64 id = q.value(0).toLongLong();
        if (byId.contains(id)) {
            r.caption = byId.value(id);
            r.changed = true;
        } else if (fieldCaptions.contains(r.field)) {
            r.caption = fieldCaptions.value(r.field);
            r.changed = true;
        }
        byKey[q.value(1).toString().trimmed().toLower()] << r;
    }
    for (const QList<Row>& rows : std::as_const(byKey)) {
        for (const Row& changed : rows) {
            const QString caption = changed.caption.trimmed();
            if (!changed.changed || caption.isEmpty()) continue;
            for (const Row& other : rows) {
                if (other.field != changed.field &&
                    other.caption.trimmed().compare(caption, Qt::CaseInsensitive) == 0)
                    return caption;
            }
        }
    }
    return {};
}

}  // namespace qv
