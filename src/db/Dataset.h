#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Database.h"

namespace qv {

// The one shared-dataset class: a table model over a statement with bound parameters, with a current
// row, edit states written back to one update table by its key column, master–detail links, cached
// updates, calculated fields, display labels and formats, client-side sorting and incremental fetching.
class Dataset : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using CalcFn = std::function<QVariant(const Dataset&, int row)>;

    Dataset(Database& db, QString name, QObject* parent = nullptr);
    ~Dataset() override;

    const QString& name() const { return name_; }
    Database& database() const { return db_; }

    // --- statement --------------------------------------------------------------------------
    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    void setParam(const QString& name, const QVariant& value);
    void setParams(const Params& params) { params_ = params; }
    const Params& params() const { return params_; }

    void open();
    void close();
    // Re-reads the statement and keeps the current row on the same key where it still exists.
    void refresh();
    bool isOpen() const { return state_ != State::Inactive; }

    // --- fields -----------------------------------------------------------------------------
    int fieldCount() const { return int(fields_.size()); }
    QString fieldName(int col) const;
    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const;  // case-insensitive; -1 when absent
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    bool isCalculated(int col) const;
    void addCalculatedField(const QString& name, CalcFn fn);

    // --- rows -------------------------------------------------------------------------------
    // Rows held in memory (a large result keeps only a window of its rows).
    int loadedRows() const { return int(rows_.size() + tail_.size()); }
    // True once a large result is shown through a window: rowCount() is then the server's count and
    // rows are read around the one asked for.
    bool isWindowed() const { return windowed_; }
    // All rows of the statement, counted on the server while not every row has been read.
    int recordCount();
    bool isEmpty() const { return rows_.empty(); }
    bool allFetched() const { return !cursor_; }
    void fetchAll();
    // Sum of a stored numeric field over all rows of the statement (computed on the server while not
    // every row has been read, so a footer does not load a large result); 0 when empty.
    double sum(const QString& field);

    // --- current row ------------------------------------------------------------------------
    int currentRow() const { return current_; }
    void setCurrentRow(int row);
    void first();
    void prior();
    void next();
    void last();
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    // Moves to the first row whose field equals the value (text compared without case); false if none.
    bool locate(const QString& field, const QVariant& value);

    QVariant value(const QString& field) const;  // current row (the edit buffer while editing)
    QVariant value(int row, const QString& field) const;
    QVariant value(int row, int col) const;
    QString text(const QString& field) const { return value(field).toString(); }

    // --- editing ----------------------------------------------------------------------------
    void setUpdateTable(const QString& table, const QString& keyField, bool keyIsIdentity = true);
    const QString& updateTable() const { return updateTable_; }
    const QString& keyField() const { return keyField_; }
    State state() const { return state_; }
    void append();
    void edit();
    void setValue(const QString& field, const QVariant& value);
    void post();
    void cancel();
    void remove();  // deletes the current row
    void setReadOnly(bool ro) { readOnly_ = ro; }
    bool isReadOnly() const { return readOnly_; }

    // Cached updates: post and remove are kept in the dataset until applyUpdates() sends them, in the
    // caller's transaction. commitUpdates() forgets them after the caller committed.
    void setCachedUpdates(bool on);
    bool cachedUpdates() const { return cached_; }
    bool hasPendingUpdates() const;
    void applyUpdates();
    void commitUpdates();
    void cancelUpdates();

    // --- master–detail ----------------------------------------------------------------------
    // The dataset re-opens with :paramName bound to the master's masterField whenever the master's
    // current row changes.
    void setMaster(Dataset* master, const QString& masterField, const QString& paramName);
    void clearMaster();
    Dataset* master() const { return master_; }

    // --- display ----------------------------------------------------------------------------
    void setDisplayLabel(const QString& field, const QString& label);
    QString displayLabel(const QString& field) const;
    void setDisplayFormat(const QString& field, const QString& format);  // "0", "0.00", ...
    QString displayFormat(const QString& field) const;
    void clearDisplaySettings();
    QString displayText(int row, int col) const;
    static QString formatValue(const QVariant& v, const QString& format);

    // Client-side sort: "Company, CustCode DESC"; an empty text restores the order read.
    void setSort(const QString& spec);
    const QString& sort() const { return sort_; }

    // --- model ------------------------------------------------------------------------------
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

    static constexpr int kChunk = 512;
    static constexpr int kWindowThreshold = 10000;  // rows read before a result is windowed
    static constexpr int kWindowSize = 4096;        // rows kept around the position asked for

signals:
    void currentRowChanged(int row);
    void opened();
    void closed();
    void stateChanged(qv::Dataset::State state);

private:
    enum class RowStatus { Unchanged, Inserted, Modified };
    struct Row {
        QVector<QVariant> v;
        QVector<QVariant> orig;  // values as read, kept while a cached change is pending
        RowStatus status = RowStatus::Unchanged;
        qint64 seq = 0;  // order in which it was read
    };
    struct Cursor {
        QSqlQuery query;
        int limit = -1;      // rows of this page (PostgreSQL), -1: the rest of the result
        int offset = 0;      // index of the first row this cursor delivers
        int next = 0;        // index of the next row it will deliver
        int removed = 0;     // rows it delivered that were deleted here since: later pages start earlier
        int retriedAt = -1;  // `next` when the statement was last run again after it was aborted
    };

    int fetchChunk(int n, std::vector<Row>& out);
    void appendFetched(std::vector<Row>& fetched);
    void startCursor(int offset);
    void finishCursor();
    QString effectiveSql(int offset, int limit) const;
    QSqlQuery execQuery(QSqlDatabase db, bool forwardOnly, const QString& sql) const;
    Row* rowAt(int r);
    const Row* rowAt(int r) const { return const_cast<Dataset*>(this)->rowAt(r); }
    void moveWindow(int r);
    void becomeWindowed();
    QString checkedSort(const QString& spec) const;
    QVariant normalise(const QVariant& v) const;
    void setCurrentInternal(int row, bool force);
    void writeInsert(Row& row, const QVector<bool>* changed);
    void writeUpdate(const Row& row, const QVector<QVariant>& before, const QVector<bool>& changed);
    void writeDelete(const QVariant& key);
    int keyIndex() const;
    void checkEditable() const;
    void applySort();
    void onMasterChanged();
    void setState(State s);
    void changedInTransaction();
    void catchUpWithMaster();
    void rereadAfterRollback();
    QString keyText(const Row& row) const;

    Database& db_;
    QString name_;
    QString sql_;
    Params params_;
    State state_ = State::Inactive;
    std::vector<QString> fields_;  // read fields then calculated ones
    int storedFields_ = 0;
    std::vector<std::pair<QString, CalcFn>> calcs_;
    std::vector<Row> rows_;  // all rows, or the window of rows starting at winStart_
    std::vector<Row> tail_;  // rows appended here while windowed
    bool windowed_ = false;
    bool growing_ = false;  // rows are being added to the model
    int winStart_ = 0;
    int serverTotal_ = 0;
    QString serverSort_;  // a large result is sorted by the server
    std::unique_ptr<Cursor> cursor_;
    std::optional<int> countCache_;
    int localDelta_ = 0;       // rows added (+) and deleted (-) on the server since the count was read
    int pendingDelta_ = 0;     // rows added and deleted by cached changes not yet sent
    QSet<QString> localKeys_;  // keys of rows added here while the result is still being read
    qint64 nextSeq_ = 0;
    int current_ = -1;
    bool bof_ = true, eof_ = true;

    // editing
    QString updateTable_, keyField_;
    bool keyIsIdentity_ = true;
    bool readOnly_ = false;
    QVector<QVariant> buffer_;
    QVector<bool> changed_;
    bool cached_ = false;
    std::vector<QVariant> pendingDeletes_;
    std::vector<QVector<QVariant>> pendingDeletedValues_;  // the server's values of those rows

    Dataset* master_ = nullptr;
    QString masterField_, masterParam_;
    QMetaObject::Connection masterConn_;
    bool masterMoved_ = false;  // the master moved while this detail could not be re-read

    QHash<QString, QString> labels_;   // lower-case field -> label
    QHash<QString, QString> formats_;  // lower-case field -> format
    QString sort_;
};

}  // namespace qv
