#include "BulkInsert.h"

#include <QSqlError>
#include <algorithm>

#include "Database.h"

namespace qv::admin {

BulkInserter::BulkInserter(Database& db, QString table, QStringList columns, int rowsPerStatement)
    : db_(db), table_(std::move(table)), columns_(std::move(columns)), perStatement_(std::max(1, rowsPerStatement)) {
    pending_.reserve(size_t(perStatement_) * size_t(columns_.size()));
}

BulkInserter::~BulkInserter() = default;

int BulkInserter::defaultRowsPerStatement(const Database& db, int columnCount) {
    // A server round trip costs far more than the rows it carries: batch generously there, but stay well
    // below the server's limit on parameters per statement. Embedded SQLite has no round trip, and one
    // row per execution measured fastest (binding cost grows with the statement).
    if (db.driver() == Driver::Postgres) return std::clamp(4000 / std::max(1, columnCount), 1, 400);
    return 1;
}

QString BulkInserter::statement(int rows) const {
    QString one = QStringLiteral("(");
    for (int i = 0; i < columns_.size(); ++i) one += i ? QStringLiteral(",?") : QStringLiteral("?");
    one += QLatin1Char(')');
    QString sql = QStringLiteral("insert into %1 (%2) values ").arg(table_, columns_.join(QLatin1Char(',')));
    sql.reserve(sql.size() + rows * (one.size() + 1));
    for (int r = 0; r < rows; ++r) {
        if (r) sql += QLatin1Char(',');
        sql += one;
    }
    return sql;
}

void BulkInserter::add(std::initializer_list<QVariant> values) {
    if (int(values.size()) != columns_.size())
        throw DbError(QStringLiteral("%1 values for %2 columns of %3").arg(values.size()).arg(columns_.size()).arg(table_));
    for (const QVariant& v : values) pending_.push_back(db_.dialect().bindValue(v));
    if (++pendingRows_ == perStatement_) flush();
}

void BulkInserter::add(const std::vector<QVariant>& values) {
    if (int(values.size()) != columns_.size())
        throw DbError(QStringLiteral("%1 values for %2 columns of %3").arg(values.size()).arg(columns_.size()).arg(table_));
    for (const QVariant& v : values) pending_.push_back(db_.dialect().bindValue(v));
    if (++pendingRows_ == perStatement_) flush();
}

void BulkInserter::run(QSqlQuery& q, int rows) {
    const int n = int(pending_.size());
    for (int i = 0; i < n; ++i) q.bindValue(i, pending_[size_t(i)]);
    if (!q.exec()) throw DbError(q.lastError(), q.lastQuery());
    rows_ += rows;
    pending_.clear();
    pendingRows_ = 0;
}

void BulkInserter::flush() {
    if (pendingRows_ == 0) return;
    if (pendingRows_ == perStatement_) {
        if (!prepared_) {
            full_ = QSqlQuery(db_.handle());
            if (!full_.prepare(statement(perStatement_))) throw DbError(full_.lastError(), statement(perStatement_));
            prepared_ = true;
        }
        run(full_, pendingRows_);
        return;
    }
    QSqlQuery rest(db_.handle());
    const QString sql = statement(pendingRows_);
    if (!rest.prepare(sql)) throw DbError(rest.lastError(), sql);
    run(rest, pendingRows_);
}

void BulkInserter::finish() {
    flush();
    full_.finish();
}

}  // namespace qv::admin
