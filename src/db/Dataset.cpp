#include "Dataset.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <algorithm>

#include "SqlText.h"
#include "Transaction.h"

namespace qv {

namespace {

bool looksLikeDateTime(const QString& s) {
    return s.size() == 19 && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-') &&
           s[10] == QLatin1Char(' ') && s[13] == QLatin1Char(':') && s[16] == QLatin1Char(':') &&
           s[0].isDigit();
}

int compareValues(const QVariant& a, const QVariant& b) {
    const bool an = a.isNull() || !a.isValid(), bn = b.isNull() || !b.isValid();
    if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
    const int ta = a.typeId(), tb = b.typeId();
    auto numeric = [](int t) {
        return t == QMetaType::Int || t == QMetaType::LongLong || t == QMetaType::Double ||
               t == QMetaType::UInt || t == QMetaType::ULongLong || t == QMetaType::Bool;
    };
    if (numeric(ta) && numeric(tb)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (ta == QMetaType::QDateTime && tb == QMetaType::QDateTime) {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

bool equalValues(const QVariant& a, const QVariant& b) { return compareValues(a, b) == 0; }

}  // namespace

Dataset::Dataset(Database& db, QString name, QObject* parent)
    : QAbstractTableModel(parent), db_(db), name_(std::move(name)) {
    setObjectName(name_);
}

Dataset::~Dataset() {
    clearMaster();
    finishCursor();
}

// --- statement ---------------------------------------------------------------------------------

void Dataset::setSql(const QString& sql) {
    if (isOpen()) close();
    sql_ = sql;
    serverSort_.clear();
}

void Dataset::setParam(const QString& name, const QVariant& value) { params_.insert(name, value); }

QString Dataset::effectiveSql(int offset, int limit) const {
    // Rows come in a total order on both servers, so that consecutive pages neither repeat nor skip rows
    // when the server's physical order changes between them, and a re-read finds the rows where they were.
    QString sql = db_.dialect().keyOrdered(sql_);
    if (!serverSort_.isEmpty()) {
        QString order = serverSort_;
        // The sort columns may hold equal values: the driving table's key, where the result shows it
        // once, decides between them.
        const QString key = db_.rowKey(sql::selectShape(sql_).table);
        const int k = key.isEmpty() ? -1 : fieldIndex(key);
        if (k >= 0 && !isCalculated(k) &&
            std::count_if(fields_.begin(), fields_.end(),
                          [&](const QString& f) { return f.compare(key, Qt::CaseInsensitive) == 0; }) == 1 &&
            !order.endsWith(fields_[k], Qt::CaseInsensitive))
            order += QStringLiteral(", ") + fields_[k];
        sql = QStringLiteral("select * from (%1) qv_sorted order by %2").arg(sql, order);
    }
    if (offset > 0 || limit > 0)
        sql = QStringLiteral("select * from (%1) qv_page limit %2 offset %3")
                  .arg(sql)
                  .arg(limit > 0 ? limit : 2147483647)
                  .arg(offset);
    return sql;
}

QSqlQuery Dataset::execQuery(QSqlDatabase db, bool forwardOnly, const QString& sql) const {
    QSqlQuery q(db);
    q.setForwardOnly(forwardOnly);
    // A statement without placeholders is sent as it is: no prepare round trip, and on SQLite it streams
    // just the same.
    bool ok;
    if (!sql.contains(QLatin1Char(':'))) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            db_.bind(q, params_);
            ok = q.exec();
        }
    }
    if (!ok) throw DbError(q.lastError(), sql);
    return q;
}

void Dataset::startCursor(int offset) {
    finishCursor();
    auto cur = std::make_unique<Cursor>();
    // SQLite streams the whole result on the one connection. PostgreSQL's driver builds a prepared
    // statement's whole result before handing over the first row, so there the rows are read in pages:
    // a small first page, then pages of a window's size, each a statement of its own.
    if (db_.isSqlite()) {
        cur->query = execQuery(db_.handle(), true, effectiveSql(offset, -1));
    } else {
        cur->limit = offset == 0 ? kChunk : 2 * kWindowSize;
        cur->query = execQuery(db_.handle(), false, effectiveSql(offset, cur->limit));
    }
    cur->offset = cur->next = offset;
    cursor_ = std::move(cur);
}

void Dataset::open() {
    if (isOpen()) close();
    if (sql_.trimmed().isEmpty()) throw DbError(QStringLiteral("数据集 %1 没有查询语句").arg(name_));
    masterMoved_ = false;
    startCursor(0);
    growing_ = true;
    beginResetModel();
    rows_.clear();
    tail_.clear();
    fields_.clear();
    windowed_ = false;
    winStart_ = 0;
    serverTotal_ = 0;
    const QSqlRecord rec = cursor_->query.record();
    for (int i = 0; i < rec.count(); ++i) fields_.push_back(db_.canonicalName(rec.fieldName(i)));
    storedFields_ = int(fields_.size());
    for (const auto& c : calcs_) fields_.push_back(c.first);
    countCache_.reset();
    localDelta_ = 0;
    pendingDelta_ = 0;
    localKeys_.clear();
    pendingDeletes_.clear();
    pendingDeletedValues_.clear();
    state_ = State::Browse;
    try {
        fetchChunk(kChunk, rows_);
        if (!sort_.isEmpty()) {
            while (cursor_ && fetchChunk(1 << 16, rows_) > 0) {
            }
            applySort();
        }
    } catch (...) {
        endResetModel();
        growing_ = false;
        close();
        throw;
    }
    endResetModel();
    growing_ = false;
    current_ = -1;
    setCurrentInternal(rows_.empty() ? -1 : 0, true);
    emit stateChanged(state_);
    emit opened();
}

void Dataset::close() {
    if (!isOpen()) return;
    finishCursor();
    growing_ = true;
    beginResetModel();
    rows_.clear();
    tail_.clear();
    windowed_ = false;
    winStart_ = 0;
    serverTotal_ = 0;
    fields_.clear();
    storedFields_ = 0;
    buffer_.clear();
    changed_.clear();
    pendingDeletes_.clear();
    pendingDeletedValues_.clear();
    countCache_.reset();
    localDelta_ = pendingDelta_ = 0;
    localKeys_.clear();
    state_ = State::Inactive;
    current_ = -1;
    bof_ = eof_ = true;
    endResetModel();
    growing_ = false;
    emit stateChanged(state_);
    emit closed();
}

void Dataset::refresh() {
    const int k = keyIndex();
    QVariant key;
    if (k >= 0 && current_ >= 0) key = value(current_, k);
    const int oldRow = current_;
    open();
    if (key.isValid() && !key.isNull() && oldRow < kWindowThreshold && locate(keyField_, key)) return;
    if (oldRow >= 0 && rowCount() > 0) setCurrentRow(std::min(oldRow, rowCount() - 1));
}

void Dataset::finishCursor() {
    if (!cursor_) return;
    cursor_->query.finish();
    cursor_.reset();
}

QVariant Dataset::normalise(const QVariant& v) const {
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString();
        if (looksLikeDateTime(s)) {
            const QDateTime dt = QDateTime::fromString(s, QLatin1String(Dialect::kDateTimeFormat));
            if (dt.isValid()) return dt;
        }
    }
    return v;
}

int Dataset::fetchChunk(int n, std::vector<Row>& out) {
    if (!cursor_) return 0;
    int got = 0;
    while (got < n) {
        QSqlQuery& q = cursor_->query;
        if (!q.next()) {
            if (q.lastError().isValid() && cursor_->retriedAt != cursor_->next) {
                // The statement was aborted under us (on SQLite, a rollback of a transaction that changed
                // the schema ends every statement of the connection): run it again and skip the rows
                // already read, less those deleted here since. Again after each later abort, but not
                // twice at the same row.
                cursor_->retriedAt = cursor_->next;
                q = execQuery(db_.handle(), db_.isSqlite(), effectiveSql(cursor_->offset, cursor_->limit));
                int skip = cursor_->next - cursor_->offset - cursor_->removed;
                bool more = true;
                while (skip > 0 && (more = q.next())) --skip;
                if (more) continue;
            }
            if (cursor_->limit > 0 && cursor_->next - cursor_->offset == cursor_->limit) {
                // A full page: the rows go on in the next one, which starts earlier by the rows of this
                // result deleted here meanwhile.
                startCursor(cursor_->next - cursor_->removed);
                continue;
            }
            finishCursor();
            break;
        }
        Row r;
        r.v.resize(int(fields_.size()));
        for (int i = 0; i < storedFields_; ++i) r.v[i] = normalise(q.value(i));
        r.seq = cursor_->next++;
        // A row added here is already in the list: the server's copy of it is not shown again.
        if (!localKeys_.isEmpty() && localKeys_.contains(keyText(r))) continue;
        out.push_back(std::move(r));
        ++got;
    }
    return got;
}

int Dataset::recordCount() {
    if (!isOpen()) return 0;
    if (windowed_) return serverTotal_ + int(tail_.size());
    if (!cursor_) return int(rows_.size());
    if (!countCache_) {
        const QString sql = QStringLiteral("select count(*) from (%1) qv_count").arg(sql_);
        QSqlQuery q = execQuery(db_.handle(), true, sql);
        countCache_ = q.next() ? q.value(0).toInt() : 0;
        localDelta_ = 0;
    }
    return std::max(int(rows_.size()), *countCache_ + localDelta_ + pendingDelta_);
}

void Dataset::fetchAll() {
    if (!cursor_ || windowed_) return;
    std::vector<Row> fetched;
    while (cursor_ && fetchChunk(1 << 16, fetched) > 0) {
    }
    appendFetched(fetched);
    if (!sort_.isEmpty()) {
        growing_ = true;
        beginResetModel();
        applySort();
        endResetModel();
        growing_ = false;
    }
}

void Dataset::becomeWindowed() {
    // Only a plain list read from the server: local appends and cached changes need every row at hand.
    if (windowed_ || !cursor_ || cached_ || state_ != State::Browse) return;
    if (std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.seq < 0; })) return;
    const int total = recordCount();
    if (total <= int(rows_.size())) return;
    growing_ = true;
    beginInsertRows({}, int(rows_.size()), total - 1);
    windowed_ = true;
    winStart_ = 0;
    serverTotal_ = total;
    endInsertRows();
    growing_ = false;
}

Dataset::Row* Dataset::rowAt(int r) {
    if (r < 0) return nullptr;
    if (!windowed_) return r < int(rows_.size()) ? &rows_[r] : nullptr;
    if (r >= serverTotal_) {
        const int t = r - serverTotal_;
        return t < int(tail_.size()) ? &tail_[t] : nullptr;
    }
    if (r < winStart_ || r >= winStart_ + int(rows_.size())) moveWindow(r);
    if (r >= winStart_ && r < winStart_ + int(rows_.size())) return &rows_[r - winStart_];
    return nullptr;  // the server holds fewer rows than it counted
}

void Dataset::moveWindow(int r) {
    const int end = winStart_ + int(rows_.size());
    if (cursor_ && cursor_->next == end && r >= end && r < end + kWindowSize) {
        // Just ahead of what was read: read on, and forget rows far behind.
        fetchChunk(r - end + 1 + kChunk, rows_);
        const int excess = int(rows_.size()) - 2 * kWindowSize;
        if (excess > 0) {
            rows_.erase(rows_.begin(), rows_.begin() + excess);
            winStart_ += excess;
        }
        return;
    }
    // Elsewhere: read a window starting a little before the row asked for.
    const int start = std::max(0, r - kWindowSize / 4);
    startCursor(start);
    rows_.clear();
    winStart_ = start;
    fetchChunk(kWindowSize, rows_);
}

double Dataset::sum(const QString& field) {
    const int col = fieldIndex(field);
    if (!isOpen() || col < 0) return 0.0;
    long double total = 0;
    if ((cursor_ || windowed_) && !isCalculated(col)) {
        // Only names read from the statement's own result reach this text.
        const QString sql = QStringLiteral("select sum(%1) from (%2) qv_sum").arg(fields_[col], sql_);
        QSqlQuery q = execQuery(db_.handle(), true, sql);
        total = q.next() ? q.value(0).toDouble() : 0.0;
        // Cached changes not sent yet are not in the server's total; rows written here already are.
        auto pending = [&](const Row& r) {
            if (r.status == RowStatus::Inserted) total += r.v[col].toDouble();
            if (r.status == RowStatus::Modified) total += r.v[col].toDouble() - r.orig[col].toDouble();
        };
        for (const Row& r : rows_) pending(r);
        for (const Row& r : tail_) pending(r);
        for (const auto& v : pendingDeletedValues_) total -= v[col].toDouble();
        return double(total);
    }
    for (int r = 0; r < int(rows_.size()); ++r) total += value(r, col).toDouble();
    return double(total);
}

// --- fields ------------------------------------------------------------------------------------

QString Dataset::fieldName(int col) const {
    return col >= 0 && col < int(fields_.size()) ? fields_[col] : QString();
}

QStringList Dataset::fieldNames() const {
    QStringList out;
    for (const QString& f : fields_) out << f;
    return out;
}

int Dataset::fieldIndex(const QString& name) const {
    for (int i = 0; i < int(fields_.size()); ++i)
        if (fields_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool Dataset::isCalculated(int col) const { return col >= storedFields_ && col < int(fields_.size()); }

void Dataset::addCalculatedField(const QString& name, CalcFn fn) {
    calcs_.emplace_back(name, std::move(fn));
    if (isOpen()) {
        growing_ = true;
        beginResetModel();
        fields_.push_back(name);
        for (Row& r : rows_) r.v.resize(int(fields_.size()));
        for (Row& r : tail_) r.v.resize(int(fields_.size()));
        endResetModel();
        growing_ = false;
    }
}

// --- current row -------------------------------------------------------------------------------

void Dataset::setCurrentInternal(int row, bool force) {
    const int n = rowCount();
    if (row >= n) row = n - 1;
    if (row < 0 && n > 0) row = 0;
    const bool moved = row != current_;
    current_ = row;
    bof_ = n == 0 || row == 0;
    eof_ = n == 0 || (row == n - 1 && (!cursor_ || windowed_));
    if (moved || force) emit currentRowChanged(current_);
}

void Dataset::setCurrentRow(int row) {
    if (!isOpen()) return;
    if (row == current_) return;
    if (state_ == State::Edit || state_ == State::Insert) post();
    while (row >= rowCount() && canFetchMore()) fetchMore();
    setCurrentInternal(row, false);
}

void Dataset::first() { setCurrentRow(0); }
void Dataset::prior() {
    if (current_ > 0)
        setCurrentRow(current_ - 1);
    else
        bof_ = true;
}
void Dataset::next() {
    if (current_ + 1 >= rowCount() && canFetchMore()) fetchMore();
    if (current_ + 1 < rowCount())
        setCurrentRow(current_ + 1);
    else
        eof_ = true;
}
void Dataset::last() {
    fetchAll();
    setCurrentRow(rowCount() - 1);
}

bool Dataset::locate(const QString& field, const QVariant& value) {
    const int col = fieldIndex(field);
    if (col < 0) return false;
    for (int r = 0;; ++r) {
        if (r >= rowCount()) {
            if (!canFetchMore()) return false;
            fetchMore();
            if (r >= rowCount()) return false;
        }
        const Row* row = rowAt(r);
        if (row && equalValues(row->v[col], value)) {
            setCurrentRow(r);
            return true;
        }
    }
}

QVariant Dataset::value(const QString& field) const {
    const int col = fieldIndex(field);
    if (col < 0) return {};
    if ((state_ == State::Edit || state_ == State::Insert) && col < buffer_.size() && !isCalculated(col))
        return buffer_[col];
    if (current_ < 0) return {};
    return value(current_, col);
}

QVariant Dataset::value(int row, const QString& field) const { return value(row, fieldIndex(field)); }

QVariant Dataset::value(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= int(fields_.size())) return {};
    if (isCalculated(col)) {
        const auto& fn = calcs_[col - storedFields_].second;
        return fn ? fn(*this, row) : QVariant();
    }
    if (row == current_ && (state_ == State::Edit || state_ == State::Insert) && col < buffer_.size())
        return buffer_[col];
    const Row* r = rowAt(row);
    return r ? r->v[col] : QVariant();
}

// --- editing -----------------------------------------------------------------------------------

void Dataset::setUpdateTable(const QString& table, const QString& keyField, bool keyIsIdentity) {
    updateTable_ = table;
    keyField_ = keyField;
    keyIsIdentity_ = keyIsIdentity;
}

int Dataset::keyIndex() const { return keyField_.isEmpty() ? -1 : fieldIndex(keyField_); }

void Dataset::checkEditable() const {
    if (!isOpen()) throw DbError(QStringLiteral("数据集 %1 没有打开").arg(name_));
    if (updateTable_.isEmpty() || keyIndex() < 0)
        throw DbError(QStringLiteral("数据集 %1 不能修改").arg(name_));
}

void Dataset::setState(State s) {
    if (state_ == s) return;
    state_ = s;
    emit stateChanged(s);
}

void Dataset::append() {
    checkEditable();
    if (state_ == State::Edit || state_ == State::Insert) post();
    const int at = rowCount();
    beginInsertRows({}, at, at);
    Row r;
    r.v.resize(int(fields_.size()));
    r.seq = -1;
    (windowed_ ? tail_ : rows_).push_back(r);
    endInsertRows();
    buffer_ = r.v;
    changed_ = QVector<bool>(int(fields_.size()), false);
    state_ = State::Insert;
    setCurrentInternal(at, true);
    emit stateChanged(state_);
}

void Dataset::edit() {
    checkEditable();
    if (state_ == State::Edit || state_ == State::Insert) return;
    const Row* row = rowAt(current_);
    if (!row) throw DbError(QStringLiteral("没有可修改的记录"));
    buffer_ = row->v;
    changed_ = QVector<bool>(int(fields_.size()), false);
    setState(State::Edit);
}

void Dataset::setValue(const QString& field, const QVariant& value) {
    const int col = fieldIndex(field);
    if (col < 0) throw DbError(QStringLiteral("数据集 %1 没有字段 %2").arg(name_, field));
    if (isCalculated(col)) return;
    if (state_ == State::Browse) edit();
    if (state_ != State::Edit && state_ != State::Insert)
        throw DbError(QStringLiteral("数据集 %1 不在编辑状态").arg(name_));
    buffer_[col] = normalise(value);
    changed_[col] = true;
    emit dataChanged(index(current_, 0), index(current_, columnCount() - 1));
}

void Dataset::writeInsert(Row& row, const QVector<bool>* changed) {
    QStringList cols, ph;
    Params p;
    const int k = keyIndex();
    for (int i = 0; i < storedFields_; ++i) {
        if (i == k && keyIsIdentity_) continue;
        if (changed && !(*changed)[i]) continue;
        if (!changed && row.v[i].isNull()) continue;
        cols << fields_[i];
        const QString name = QStringLiteral("p%1").arg(i);
        ph << QLatin1Char(':') + name;
        p.insert(name, row.v[i]);
    }
    QString sql =
        cols.isEmpty() && db_.driver() == Driver::Postgres
            ? QStringLiteral("insert into %1 default values").arg(updateTable_)
            : QStringLiteral("insert into %1 (%2) values (%3)")
                  .arg(updateTable_, cols.join(QStringLiteral(", ")), ph.join(QStringLiteral(", ")));
    if (cols.isEmpty() && db_.isSqlite())
        sql = QStringLiteral("insert into %1 default values").arg(updateTable_);
    if (keyIsIdentity_ && k >= 0) {
        const QVariant id = db_.insert(sql, p, fields_[k]);
        row.v[k] = id;
    } else {
        db_.execute(sql, p);
    }
}

void Dataset::writeUpdate(const Row& row, const QVector<QVariant>& before, const QVector<bool>& changed) {
    QStringList sets;
    Params p;
    for (int i = 0; i < storedFields_; ++i) {
        if (!changed[i]) continue;
        const QString name = QStringLiteral("p%1").arg(i);
        sets << fields_[i] + QStringLiteral(" = :") + name;
        p.insert(name, row.v[i]);
    }
    if (sets.isEmpty()) return;
    const int k = keyIndex();
    p.insert(QStringLiteral("qv_key"), before[k]);
    const QString sql = QStringLiteral("update %1 set %2 where %3 = :qv_key")
                            .arg(updateTable_, sets.join(QStringLiteral(", ")), fields_[k]);
    const int n = db_.execute(sql, p);
    if (n != 1) throw DbError(QStringLiteral("要修改的记录已不存在，可能已被其他操作员删除。"), sql);
}

void Dataset::writeDelete(const QVariant& key) {
    const QString sql =
        QStringLiteral("delete from %1 where %2 = :qv_key").arg(updateTable_, fields_[keyIndex()]);
    const int n = db_.execute(sql, {{QStringLiteral("qv_key"), key}});
    if (n != 1) throw DbError(QStringLiteral("要删除的记录已不存在，可能已被其他操作员删除。"), sql);
}

void Dataset::post() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    Row* row = rowAt(current_);
    if (!row) throw DbError(QStringLiteral("要保存的记录已不在列表中"));
    if (cached_) {
        if (state_ == State::Edit && row->status == RowStatus::Unchanged) {
            row->orig = row->v;
            row->status = RowStatus::Modified;
        }
        if (state_ == State::Insert) {
            row->status = RowStatus::Inserted;
            ++pendingDelta_;
        }
        row->v = buffer_;
    } else {
        Row updated = *row;
        updated.v = buffer_;
        if (state_ == State::Insert) {
            writeInsert(updated, &changed_);
            ++localDelta_;
            if (cursor_ && !keyText(updated).isEmpty()) localKeys_.insert(keyText(updated));
        } else {
            writeUpdate(updated, row->v, changed_);
        }
        changedInTransaction();
        row = rowAt(current_);
        if (row) row->v = updated.v;
    }
    buffer_.clear();
    changed_.clear();
    setState(State::Browse);
    emit dataChanged(index(current_, 0), index(current_, columnCount() - 1));
    emit currentRowChanged(current_);
    catchUpWithMaster();
}

void Dataset::cancel() {
    if (state_ == State::Insert) {
        const int at = current_;
        beginRemoveRows({}, at, at);
        if (windowed_)
            tail_.erase(tail_.begin() + (at - serverTotal_));
        else
            rows_.erase(rows_.begin() + at);
        endRemoveRows();
        buffer_.clear();
        changed_.clear();
        state_ = State::Browse;
        current_ = -1;
        setCurrentInternal(std::min(at, rowCount() - 1), true);
        emit stateChanged(state_);
        catchUpWithMaster();
        return;
    }
    if (state_ == State::Edit) {
        buffer_.clear();
        changed_.clear();
        setState(State::Browse);
        emit dataChanged(index(current_, 0), index(current_, columnCount() - 1));
        catchUpWithMaster();
    }
}

void Dataset::remove() {
    checkEditable();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (state_ == State::Edit) cancel();
    const Row* row = rowAt(current_);
    if (!row) throw DbError(QStringLiteral("没有可删除的记录"));
    const QVariant key = row->status == RowStatus::Modified ? row->orig[keyIndex()] : row->v[keyIndex()];
    if (cached_) {
        if (row->status != RowStatus::Inserted) {
            pendingDeletes_.push_back(key);
            pendingDeletedValues_.push_back(row->status == RowStatus::Modified ? row->orig : row->v);
        }
        --pendingDelta_;
    } else {
        writeDelete(key);
        --localDelta_;
        if (cursor_ && row->seq >= 0 && row->seq < cursor_->next) ++cursor_->removed;
        changedInTransaction();
    }
    const int at = current_;
    if (windowed_ && at < serverTotal_) {
        // Every later row moved up by one on the server: the window is read again when next needed.
        growing_ = true;
        beginResetModel();
        --serverTotal_;
        finishCursor();
        rows_.clear();
        winStart_ = 0;
        endResetModel();
        growing_ = false;
    } else {
        beginRemoveRows({}, at, at);
        if (windowed_)
            tail_.erase(tail_.begin() + (at - serverTotal_));
        else
            rows_.erase(rows_.begin() + at);
        endRemoveRows();
    }
    current_ = -1;
    setCurrentInternal(std::min(at, rowCount() - 1), true);
}

void Dataset::changedInTransaction() {
    if (db_.inTransaction()) db_.whenRolledBack(this, [this] { rereadAfterRollback(); });
}

void Dataset::rereadAfterRollback() {
    // The rows this dataset wrote or deleted are back as they were: show the database again. A row
    // being edited keeps its edit; the list is read again when the operator next refreshes it.
    if (isOpen() && state_ == State::Browse) refresh();
}

QString Dataset::keyText(const Row& row) const {
    const int k = keyIndex();
    return k >= 0 && k < row.v.size() ? row.v[k].toString() : QString();
}

// --- cached updates ----------------------------------------------------------------------------

void Dataset::setCachedUpdates(bool on) {
    if (!on && hasPendingUpdates()) cancelUpdates();
    cached_ = on;
}

bool Dataset::hasPendingUpdates() const {
    if (!pendingDeletes_.empty()) return true;
    return std::any_of(rows_.begin(), rows_.end(),
                       [](const Row& r) { return r.status != RowStatus::Unchanged; });
}

void Dataset::applyUpdates() {
    if (state_ == State::Edit || state_ == State::Insert) post();
    checkEditable();
    Transaction tx(db_);
    const int k = keyIndex();
    for (const QVariant& key : pendingDeletes_) writeDelete(key);
    for (Row& r : rows_) {
        if (r.status == RowStatus::Inserted) {
            Row copy = r;
            writeInsert(copy, nullptr);
            r.v[k] = copy.v[k];
        } else if (r.status == RowStatus::Modified) {
            QVector<bool> changed(int(fields_.size()), false);
            for (int i = 0; i < storedFields_; ++i) changed[i] = !(r.v[i] == r.orig[i]);
            writeUpdate(r, r.orig, changed);
        }
    }
    tx.commit();
}

void Dataset::commitUpdates() {
    pendingDeletes_.clear();
    pendingDeletedValues_.clear();
    localDelta_ += pendingDelta_;
    pendingDelta_ = 0;
    for (Row& r : rows_) {
        r.status = RowStatus::Unchanged;
        r.orig.clear();
    }
    catchUpWithMaster();
}

void Dataset::cancelUpdates() {
    if (state_ == State::Edit || state_ == State::Insert) cancel();
    if (!hasPendingUpdates()) return;
    // Re-read: the server still holds every row as it was.
    pendingDeletes_.clear();
    pendingDeletedValues_.clear();
    pendingDelta_ = 0;
    for (Row& r : rows_) r.status = RowStatus::Unchanged;
    if (isOpen()) open();
}

// --- master–detail -----------------------------------------------------------------------------

void Dataset::setMaster(Dataset* master, const QString& masterField, const QString& paramName) {
    clearMaster();
    master_ = master;
    masterField_ = masterField;
    masterParam_ = paramName;
    if (master_) {
        masterConn_ = connect(master_, &Dataset::currentRowChanged, this, &Dataset::onMasterChanged);
        params_.insert(masterParam_, master_->value(masterField_));
    }
}

void Dataset::clearMaster() {
    if (masterConn_) disconnect(masterConn_);
    master_ = nullptr;
}

void Dataset::onMasterChanged() {
    const QVariant v =
        master_->isOpen() && master_->currentRow() >= 0 ? master_->value(masterField_) : QVariant();
    // While the master appends a new row its key is not yet known: the detail then shows nothing.
    const bool same = params_.contains(masterParam_) && equalValues(params_.value(masterParam_), v) &&
                      params_.value(masterParam_).isNull() == v.isNull();
    params_.insert(masterParam_, v.isValid() ? v : QVariant(QMetaType(QMetaType::QString)));
    if (!isOpen() || same) return;
    // A detail being edited, or holding changes not sent yet, keeps its rows until it is done.
    if (state_ == State::Browse && !hasPendingUpdates())
        open();
    else
        masterMoved_ = true;
}

void Dataset::catchUpWithMaster() {
    if (!masterMoved_ || !isOpen() || state_ != State::Browse || hasPendingUpdates()) return;
    masterMoved_ = false;
    open();
}

// --- display -----------------------------------------------------------------------------------

void Dataset::setDisplayLabel(const QString& field, const QString& label) {
    labels_.insert(field.toLower(), label);
    const int col = fieldIndex(field);
    if (col >= 0) emit headerDataChanged(Qt::Horizontal, col, col);
}

QString Dataset::displayLabel(const QString& field) const {
    const auto it = labels_.find(field.toLower());
    if (it != labels_.end()) return *it;
    const int col = fieldIndex(field);
    return col >= 0 ? fields_[col] : field;
}

void Dataset::setDisplayFormat(const QString& field, const QString& format) {
    if (format.isEmpty())
        formats_.remove(field.toLower());
    else
        formats_.insert(field.toLower(), format);
}

QString Dataset::displayFormat(const QString& field) const { return formats_.value(field.toLower()); }

void Dataset::clearDisplaySettings() {
    labels_.clear();
    formats_.clear();
}

QString Dataset::formatValue(const QVariant& v, const QString& format) {
    if (v.isNull() || !v.isValid()) return {};
    switch (v.typeId()) {
        case QMetaType::QDateTime: {
            const QDateTime dt = v.toDateTime();
            if (dt.time() == QTime(0, 0)) return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
            return dt.toString(QLatin1String(Dialect::kDateTimeFormat));
        }
        case QMetaType::QDate:
            return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        default:
            break;
    }
    if (!format.isEmpty()) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok) {
            const int dot = format.indexOf(QLatin1Char('.'));
            const int decimals = dot < 0 ? 0 : int(format.size() - dot - 1);
            return QString::number(d, 'f', decimals);
        }
    }
    if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

QString Dataset::displayText(int row, int col) const {
    const QString f =
        col >= 0 && col < int(fields_.size()) ? formats_.value(fields_[col].toLower()) : QString();
    return formatValue(value(row, col), f);
}

// --- sort --------------------------------------------------------------------------------------

QString Dataset::checkedSort(const QString& spec) const {
    QStringList parts;
    for (const QString& part : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList w = part.simplified().split(QLatin1Char(' '));
        if (w.isEmpty() || w[0].isEmpty()) continue;
        const int col = fieldIndex(w[0]);
        if (col < 0 || isCalculated(col)) throw DbError(QStringLiteral("排序字段 %1 不存在").arg(w[0]));
        const bool desc = w.size() > 1 && w[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        parts << fields_[col] + (desc ? QStringLiteral(" desc") : QString());
    }
    return parts.join(QStringLiteral(", "));
}

void Dataset::setSort(const QString& spec) {
    sort_ = spec.trimmed();
    if (!isOpen()) return;
    if (windowed_ || !serverSort_.isEmpty() || (cursor_ && !sort_.isEmpty())) {
        // A large result is sorted by the server; field names are checked against the result's own.
        serverSort_ = checkedSort(sort_);
        const QString keep = sort_;
        sort_.clear();
        open();
        sort_ = keep;
        return;
    }
    growing_ = true;
    beginResetModel();
    applySort();
    endResetModel();
    growing_ = false;
    setCurrentInternal(current_, true);
}

void Dataset::applySort() {
    std::vector<std::pair<int, bool>> keys;
    for (const QString& part : sort_.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QStringList w = part.simplified().split(QLatin1Char(' '));
        if (w.isEmpty() || w[0].isEmpty()) continue;
        const int col = fieldIndex(w[0]);
        if (col < 0) throw DbError(QStringLiteral("排序字段 %1 不存在").arg(w[0]));
        const bool desc = w.size() > 1 && w[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        keys.emplace_back(col, desc);
    }
    QVariant key;
    const int k = keyIndex();
    if (current_ >= 0 && current_ < int(rows_.size()) && k >= 0) key = rows_[current_].v[k];
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        for (const auto& [col, desc] : keys) {
            const int c = compareValues(a.v[col], b.v[col]);
            if (c != 0) return desc ? c > 0 : c < 0;
        }
        if (keys.empty()) {
            // Restore the order read; rows appended here stay last.
            const qint64 sa = a.seq < 0 ? INT64_MAX : a.seq, sb = b.seq < 0 ? INT64_MAX : b.seq;
            return sa < sb;
        }
        return false;
    });
    if (key.isValid() && k >= 0) {
        for (int r = 0; r < int(rows_.size()); ++r)
            if (equalValues(rows_[r].v[k], key)) {
                current_ = r;
                break;
            }
    }
}

// --- model -------------------------------------------------------------------------------------

int Dataset::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return windowed_ ? serverTotal_ + int(tail_.size()) : int(rows_.size());
}

int Dataset::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(fields_.size());
}

QVariant Dataset::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= int(fields_.size())) return {};
    switch (role) {
        case Qt::DisplayRole:
            return displayText(index.row(), index.column());
        case Qt::EditRole:
            return value(index.row(), index.column());
        default:
            return {};
    }
}

bool Dataset::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || readOnly_ || isCalculated(index.column())) return false;
    setCurrentRow(index.row());
    if (current_ != index.row()) return false;
    if (state_ == State::Browse) edit();
    setValue(fields_[index.column()], value);
    return true;
}

QVariant Dataset::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= int(fields_.size())) return {};
    return displayLabel(fields_[section]);
}

Qt::ItemFlags Dataset::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!readOnly_ && !updateTable_.isEmpty() && !isCalculated(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool Dataset::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && cursor_ != nullptr && !windowed_;
}

void Dataset::fetchMore(const QModelIndex& parent) {
    // A view that asks for more rows while it is being told about new ones waits for the next call.
    if (parent.isValid() || !cursor_ || windowed_ || growing_) return;
    if (int(rows_.size()) + kChunk > kWindowThreshold) {
        becomeWindowed();
        if (windowed_) return;
    }
    std::vector<Row> fetched;
    fetchChunk(kChunk, fetched);
    appendFetched(fetched);
}

void Dataset::appendFetched(std::vector<Row>& fetched) {
    if (!fetched.empty()) {
        const int at = int(rows_.size());
        growing_ = true;
        beginInsertRows({}, at, at + int(fetched.size()) - 1);
        for (Row& r : fetched) rows_.push_back(std::move(r));
        endInsertRows();
        growing_ = false;
    }
    eof_ = rows_.empty() || (current_ == int(rows_.size()) - 1 && !cursor_);
}

}  // namespace qv
