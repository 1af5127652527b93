#pragma once
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace qv {
class Database;
}

namespace qv::admin {

// Appends many rows to one table through one prepared statement that is executed again and again with
// new values bound by position. With rowsPerStatement > 1 the statement inserts that many rows at once
// (a multi-row VALUES list), which saves a round trip per row on a server; the last, shorter batch uses a
// statement of its own. Values go through the dialect's binding rules (dates, booleans) like every other
// bound value of the program. Throws DbError.
class BulkInserter {
public:
    BulkInserter(Database& db, QString table, QStringList columns, int rowsPerStatement = 1);
    BulkInserter(const BulkInserter&) = delete;
    BulkInserter& operator=(const BulkInserter&) = delete;
    ~BulkInserter();

    // One row: exactly one value per column, in column order.
    void add(std::initializer_list<QVariant> values);
    void add(const std::vector<QVariant>& values);
    // Sends the rows still held back. Call before committing.
    void finish();

    qint64 rowCount() const { return rows_; }
    const QString& table() const { return table_; }

    // Rows per statement that suit the connection's server for a table of `columnCount` columns.
    static int defaultRowsPerStatement(const Database& db, int columnCount);

private:
    QString statement(int rows) const;
    void flush();
    void run(QSqlQuery& q, int rows);

    Database& db_;
    QString table_;
    QStringList columns_;
    int perStatement_;
    QSqlQuery full_;
    bool prepared_ = false;
    std::vector<QVariant> pending_;
    int pendingRows_ = 0;
    qint64 rows_ = 0;
};

}  // namespace qv::admin
