#include "GridModel.h"

#include <QSet>

#include "Dataset.h"
#include "DbError.h"
#include "SchemaModel.h"

namespace qv {

namespace {

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
            return true;
        default:
            return false;
    }
}

// Memo text on one line, cut to a length a cell can show.
QString oneLine(QString s) {
    if (s.size() > GridModel::kMaxCellText) {
        s.truncate(GridModel::kMaxCellText);
        s += QChar(0x2026);
    }
    for (QChar& c : s)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) c = QLatin1Char(' ');
    return s;
}

}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::setDataset(Dataset* dataset) {
    if (dataset == dataset_) return;
    beginResetModel();
    for (const auto& c : conns_) disconnect(c);
    conns_.clear();
    dataset_ = dataset;
    if (dataset) {
        conns_ << connect(dataset, &QAbstractItemModel::modelAboutToBeReset, this,
                          [this] { beginResetModel(); });
        conns_ << connect(dataset, &QAbstractItemModel::modelReset, this, [this] {
            rebuild();
            endResetModel();
        });
        conns_ << connect(
            dataset, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) { beginInsertRows({}, first, last); });
        conns_ << connect(dataset, &QAbstractItemModel::rowsInserted, this, [this] { endInsertRows(); });
        conns_ << connect(
            dataset, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) { beginRemoveRows({}, first, last); });
        conns_ << connect(dataset, &QAbstractItemModel::rowsRemoved, this, [this] { endRemoveRows(); });
        conns_ << connect(dataset, &QAbstractItemModel::dataChanged, this,
                          [this](const QModelIndex& tl, const QModelIndex& br) {
                              if (columns_.isEmpty() || !tl.isValid() || !br.isValid()) return;
                              emit dataChanged(index(tl.row(), 0), index(br.row(), int(columns_.size()) - 1));
                          });
        conns_ << connect(dataset, &QAbstractItemModel::headerDataChanged, this, &GridModel::onHeaderChanged);
        conns_ << connect(dataset, &QObject::destroyed, this, [this] {
            beginResetModel();
            conns_.clear();
            rebuild();
            endResetModel();
        });
    }
    rebuild();
    endResetModel();
}

void GridModel::setColumns(const QVector<GridColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    configured_ = true;
    rebuild();
    endResetModel();
    emit columnsReplaced();
}

void GridModel::clearColumns() {
    beginResetModel();
    columns_.clear();
    configured_ = false;
    rebuild();
    endResetModel();
    emit columnsReplaced();
}

void GridModel::rebuild() {
    if (!configured_) {
        columns_.clear();
        if (dataset_) {
            for (const QString& f : dataset_->fieldNames()) {
                GridColumn c;
                c.field = f;
                c.width = 0;
                columns_ << c;
            }
        }
    }
    source_.resize(columns_.size());
    yesNo_.resize(columns_.size());
    for (int c = 0; c < columns_.size(); ++c) {
        source_[c] = dataset_ ? dataset_->fieldIndex(columns_[c].field) : -1;
        yesNo_[c] = isYesNoField(columns_[c].field);
    }
}

bool GridModel::isYesNoField(const QString& field) {
    // The boolean columns of every table, by name: a field of that name is one of them in any result.
    static const QSet<QString> names = [] {
        QSet<QString> out;
        for (const schema::Table& t : schema::tables())
            for (const schema::Column& c : t.columns)
                if (c.type == schema::ColumnType::Boolean) out.insert(c.name.toLower());
        return out;
    }();
    return names.contains(field.trimmed().toLower());
}

void GridModel::onHeaderChanged(Qt::Orientation orientation, int, int) {
    if (orientation == Qt::Horizontal && !columns_.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(columns_.size()) - 1);
}

void GridModel::setSortMarker(int c, SortMarker marker) {
    if (c < 0 || c >= columns_.size()) return;
    columns_[c].marker = marker;
    emit headerDataChanged(Qt::Horizontal, c, c);
}

void GridModel::setColumnFormat(int c, const QString& format) {
    if (c < 0 || c >= columns_.size()) return;
    columns_[c].format = format;
    if (rowCount() > 0) emit dataChanged(index(0, c), index(rowCount() - 1, c));
}

QString GridModel::field(int c) const {
    return c >= 0 && c < columns_.size() ? columns_[c].field : QString();
}

int GridModel::columnOf(const QString& field) const {
    for (int c = 0; c < columns_.size(); ++c)
        if (columns_[c].field.compare(field, Qt::CaseInsensitive) == 0) return c;
    return -1;
}

int GridModel::datasetColumn(int c) const { return c >= 0 && c < source_.size() ? source_[c] : -1; }

QString GridModel::title(int c) const {
    if (c < 0 || c >= columns_.size()) return {};
    if (!columns_[c].title.isEmpty()) return columns_[c].title;
    return dataset_ ? dataset_->displayLabel(columns_[c].field) : columns_[c].field;
}

QVariant GridModel::cellValue(int row, int c) const {
    const int src = datasetColumn(c);
    if (!dataset_ || src < 0) return {};
    return dataset_->value(row, src);
}

QString GridModel::cellText(int row, int c) const {
    const int src = datasetColumn(c);
    if (!dataset_ || src < 0) return {};
    if (isYesNo(c)) return dataset_->value(row, src).toInt() != 0 ? QStringLiteral("√") : QString();
    if (columns_[c].format.isEmpty()) return dataset_->displayText(row, src);
    return Dataset::formatValue(dataset_->value(row, src), columns_[c].format);
}

void GridModel::setReadOnly(bool readOnly) {
    if (readOnly == readOnly_) return;
    readOnly_ = readOnly;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !dataset_ ? 0 : dataset_->rowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !dataset_ || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
        case Qt::DisplayRole:
            if (isYesNo(index.column())) return {};
            return oneLine(cellText(index.row(), index.column()));
        case Qt::CheckStateRole:
            if (!isYesNo(index.column())) return {};
            return cellValue(index.row(), index.column()).toInt() != 0 ? Qt::Checked : Qt::Unchecked;
        case Qt::EditRole:
            return cellValue(index.row(), index.column());
        case Qt::ToolTipRole: {
            // Memo text that the cell cannot show on one line.
            const QVariant v = cellValue(index.row(), index.column());
            if (v.typeId() != QMetaType::QString) return {};
            const QString s = v.toString();
            if (s.size() <= 40 && !s.contains(QLatin1Char('\n'))) return {};
            return s.left(4 * kMaxCellText);
        }
        case Qt::TextAlignmentRole:
            if (isYesNo(index.column())) return int(Qt::AlignCenter);
            if (isNumber(cellValue(index.row(), index.column())))
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || readOnly_ || !dataset_ || !index.isValid()) return false;
    const int src = datasetColumn(index.column());
    if (src < 0 || isYesNo(index.column())) return false;
    try {
        if (editCheck_ && !editCheck_(index.row(), field(index.column()), value)) return false;
        return dataset_->setData(dataset_->index(index.row(), src), value, role);
    } catch (const DbError& e) {
        if (reportError_) reportError_(e.text());
        return false;
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) return {};
    if (role == Qt::DisplayRole) return title(section);
    if (role == Qt::ToolTipRole) return columns_[section].field;
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !dataset_) return Qt::NoItemFlags;
    const int src = datasetColumn(index.column());
    if (src < 0) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    Qt::ItemFlags f = dataset_->flags(dataset_->index(index.row(), src));
    if (readOnly_ || isYesNo(index.column())) f &= ~Qt::ItemIsEditable;
    f &= ~Qt::ItemIsUserCheckable;  // the check mark of a yes/no column only shows the value
    return f;
}

bool GridModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && dataset_ && dataset_->canFetchMore();
}

void GridModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || !dataset_) return;
    try {
        dataset_->fetchMore();
    } catch (const DbError& e) {
        if (reportError_) reportError_(e.text());
    }
}

}  // namespace qv
