#include "Dialect.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

#include "SqlText.h"

namespace qv {

QString Dialect::concat(std::initializer_list<QString> parts) const {
    QStringList l(parts);
    return QStringLiteral("(") + l.join(QStringLiteral(" || ")) + QStringLiteral(")");
}

QString Dialect::quoteIdentifier(const QString& name) const {
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QVariant Dialect::bindValue(const QVariant& v) const {
    switch (v.typeId()) {
        case QMetaType::QDateTime:
            return v.isNull() ? QVariant(QMetaType(QMetaType::QString))
                              : QVariant(v.toDateTime().toString(QLatin1String(kDateTimeFormat)));
        case QMetaType::QDate:
            return v.isNull() ? QVariant(QMetaType(QMetaType::QString))
                              : QVariant(v.toDate().startOfDay().toString(QLatin1String(kDateTimeFormat)));
        case QMetaType::Bool:
            return QVariant(v.toBool() ? 1 : 0);
        case QMetaType::QString: {
            if (v.isNull()) return v;
            QString s = v.toString();
            if (!s.contains(QChar(0))) return v;
            s.remove(QChar(0));
            return QVariant(s);
        }
        default:
            return v;
    }
}

QString Dialect::keyOrdered(const QString& select) const {
    const sql::SelectShape shape = sql::selectShape(select);
    if (!shape.rowsOfTable) return select;
    return sql::withKeyOrder(select, shape, keyOf(shape.table));
}

QString Dialect::top(int n, const QString& select) const {
    return keyOrdered(select) + QStringLiteral(" limit %1").arg(n);
}

namespace {

class SqliteDialect : public Dialect {
public:
    Driver driver() const override { return Driver::Sqlite; }
    QString len(const QString& e) const override { return QStringLiteral("length(%1)").arg(e); }
    QString month(const QString& e) const override {
        return QStringLiteral("cast(strftime('%m', %1) as integer)").arg(e);
    }
    QString day(const QString& e) const override {
        return QStringLiteral("cast(strftime('%d', %1) as integer)").arg(e);
    }
    QString insertReturning(const QString& insert, const QString&) const override { return insert; }
    bool returnsIdentityInResult() const override { return false; }
    QString beginStatement() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
};

class PostgresDialect : public Dialect {
public:
    Driver driver() const override { return Driver::Postgres; }
    QString len(const QString& e) const override { return QStringLiteral("length(%1)").arg(e); }
    QString month(const QString& e) const override {
        return QStringLiteral("cast(extract(month from %1) as integer)").arg(e);
    }
    QString day(const QString& e) const override {
        return QStringLiteral("cast(extract(day from %1) as integer)").arg(e);
    }
    QString insertReturning(const QString& insert, const QString& key) const override {
        return insert + QStringLiteral(" returning ") + key;
    }
    bool returnsIdentityInResult() const override { return true; }
    QString beginStatement() const override { return QStringLiteral("BEGIN"); }
};

}  // namespace

std::unique_ptr<Dialect> Dialect::create(Driver d) {
    if (d == Driver::Postgres) return std::make_unique<PostgresDialect>();
    return std::make_unique<SqliteDialect>();
}

QString Dialect::likeCondition(const QString& column, const QString& param) {
    return column + QStringLiteral(" like :") + param + QStringLiteral(" escape '!'");
}

QString Dialect::likePrefix(const QString& typed) {
    QString pattern = typed;
    pattern.replace(QLatin1Char('!'), QStringLiteral("!!"));
    return pattern + QLatin1Char('%');
}

}  // namespace qv
