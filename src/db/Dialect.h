#pragma once
#include <QString>
#include <QVariant>
#include <functional>
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

    // "select top n ..." of the old statements: `select` is a complete select statement. The limit
    // takes the first rows in the statement's order, which ends in the key of its driving table.
    QString top(int n, const QString& select) const;
    // The statement in a total order that is the same on both servers: a statement without an order
    // reads its driving table in key order, and an order that does not end in that key gets it as its
    // last item. Statements whose rows are not rows of one table (grouped, distinct, compound) and
    // tables without a known key are left as they are.
    QString keyOrdered(const QString& select) const;
    // Tells the dialect how to find the key column of a table (set by the connection).
    using KeyLookup = std::function<QString(const QString& table)>;
    void setKeyLookup(KeyLookup lookup) { keyOf_ = std::move(lookup); }
    QString keyOf(const QString& table) const { return keyOf_ ? keyOf_(table) : QString(); }
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
    // A value as it is bound: dates as canonical text, booleans as 0/1, text without NUL characters
    // (no one means to store one, and SQLite would measure such a text only up to its first NUL),
    // everything else unchanged.
    QVariant bindValue(const QVariant& v) const;
    // Start of an explicit write transaction.
    virtual QString beginStatement() const = 0;

    // A prefix search: "column like :param escape '!'" and the value to bind for the typed text. The
    // operator's "%" and "_" stay wildcards; a backslash is an ordinary character on both servers
    // (PostgreSQL would otherwise read it as its escape character), so "!" is the escape.
    static QString likeCondition(const QString& column, const QString& param);
    static QString likePrefix(const QString& typed);

    static std::unique_ptr<Dialect> create(Driver d);
    static constexpr const char* kDateTimeFormat = "yyyy-MM-dd HH:mm:ss";

private:
    KeyLookup keyOf_;
};

}  // namespace qv
