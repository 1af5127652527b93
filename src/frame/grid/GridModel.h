#pragma once
#include <QAbstractTableModel>
#include <QPointer>
#include <QVector>
#include <functional>

#include "Dataset.h"
#include "GridColumn.h"

namespace qv {

class Dataset;  // complete below for QPointer

// The table a DBGrid shows: the dataset's rows through the grid's own column list. Rows, fetching,
// edits and the current row stay the dataset's; this model only picks and formats the columns.
// Without a configured column list every dataset field is shown, in the dataset's order.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    void setDataset(Dataset* dataset);
    Dataset* dataset() const { return dataset_; }

    // Replaces the configured columns (the grid shows exactly these, possibly none).
    void setColumns(const QVector<GridColumn>& columns);
    // Drops the configuration: every dataset field is shown, in the dataset's order.
    void clearColumns();
    bool isConfigured() const { return configured_; }
    const QVector<GridColumn>& columns() const { return columns_; }
    const GridColumn& column(int c) const { return columns_[c]; }
    // Changes of one column that do not change the column list.
    void setSortMarker(int c, SortMarker marker);
    void setColumnFormat(int c, const QString& format);

    QString field(int c) const;
    int columnOf(
        const QString& field) const;  // first column bound to the field, case-insensitive; -1 if none
    int datasetColumn(int c) const;   // the dataset's column of grid column c; -1 when absent
    QString title(int c) const;
    // The text a cell shows: the column's display format, else the dataset's.
    QString cellText(int row, int c) const;
    QVariant cellValue(int row, int c) const;

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return readOnly_; }

    // Errors of the dataset while the view reads more rows or stores an edit.
    void setErrorReporter(std::function<void(const QString&)> fn) { reportError_ = std::move(fn); }

    // Asked before an edited cell is stored: false refuses the edit (the check tells the operator why).
    using EditCheck = std::function<bool(int row, const QString& field, const QVariant& value)>;
    void setEditCheck(EditCheck fn) { editCheck_ = std::move(fn); }

    // Yes/no columns (the schema's boolean columns, such as contact.Main and T_Schedule.Awoke) show a
    // check mark instead of 1/0 and are never edited in the grid; printed, they show "√" or nothing.
    bool isYesNo(int c) const { return c >= 0 && c < yesNo_.size() && yesNo_[c]; }
    static bool isYesNoField(const QString& field);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

    // Longest text shown in one cell; memo fields are cut there and shown on one line.
    static constexpr int kMaxCellText = 512;

signals:
    // The configured columns were replaced (not sent for dataset resets).
    void columnsReplaced();

private:
    void rebuild();  // auto columns and the dataset column cache
    void onHeaderChanged(Qt::Orientation orientation, int first, int last);

    QPointer<Dataset> dataset_;
    QVector<QMetaObject::Connection> conns_;
    QVector<GridColumn> columns_;
    QVector<int> source_;  // dataset column of each grid column
    QVector<bool> yesNo_;  // whether each grid column is a yes/no column
    bool configured_ = false;
    bool readOnly_ = true;
    std::function<void(const QString&)> reportError_;
    EditCheck editCheck_;
};

}  // namespace qv
