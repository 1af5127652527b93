#pragma once
#include <QString>
#include <QVariant>
#include <memory>

namespace qv {

enum class Driver { Sqlite, Postgres };

// Every difference between SQLite and PostgreSQL that a statement needs. Statements are written once
// and ask the dialect for the pieces that differ.
class Dialect {
public:
    virtual ~Dialect() = default;
    virtual Driver driver() const = 0;
    bool isSqlite() const { return driver() == Driver::Sqlite; }

    // "select top n ..." of the old statements: `select` is a complete select statement.
    virtual QString top(int n, const QString& select) const = 0;
    // Length of a text expression.
    virtual QString len(const QString& expr) const = 0;
    // Month and day-of-month of a date expression, as integers.
    virtual QString month(const QString& expr) const = 0;
    virtual QString day(const QString& expr) const = 0;
    // Text concatenation of two or more expressions.
    QString concat(std::initializer_list<QString> parts) const;
    // isnull(expr, other)
    QString ifNull(const QString& expr, const QString& other) const {
        return QStringLiteral("coalesce(%1, %2)").arg(expr, other);
    }
    QString quoteIdentifier(const QString& name) const;
    // An INSERT that reports the new identity: PostgreSQL appends RETURNING, SQLite uses lastInsertId.
    virtual QString insertReturning(const QString& insert, const QString& keyColumn) const = 0;
    virtual bool returnsIdentityInResult() const = 0;
    // A value as it is bound: dates as canonical text, booleans as 0/1, everything else unchanged.
    QVariant bindValue(const QVariant& v) const;
    // Start of an explicit write transaction.
    virtual QString beginStatement() const = 0;

    static std::unique_ptr<Dialect> create(Driver d);
    static constexpr const char* kDateTimeFormat = "yyyy-MM-dd HH:mm:ss";
};

}  // namespace qv
