#include "DBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <exception>
#include <set>

#include "Dataset.h"
#include "DbError.h"
#include "GridModel.h"

namespace qv {

namespace {

constexpr int kButtonWidth = 18;

QRect buttonRect(const QRect& cell) {
    const int w = std::min(kButtonWidth, cell.width() / 2);
    return QRect(cell.right() - w + 1, cell.top() + 1, w - 1, cell.height() - 2);
}

// Column titles that draw the column's sort marker beside the caption.
class GridHeader : public QHeaderView {
public:
    explicit GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override {
        // The base leaves its own clipping behind.
        painter->save();
        QHeaderView::paintSection(painter, rect, logical);
        painter->restore();
        auto* m = qobject_cast<GridModel*>(model());
        if (!m || logical < 0 || logical >= m->columnCount()) return;
        const SortMarker marker = m->column(logical).marker;
        if (marker == SortMarker::None) return;
        painter->save();
        painter->setClipRect(rect);
        painter->setRenderHint(QPainter::Antialiasing);
        const int s = 7;
        const QPointF c(rect.right() - s - 2, rect.center().y());
        QPainterPath path;
        if (marker == SortMarker::Ascending) {
            path.moveTo(c.x() - s / 2.0, c.y() + s / 3.0);
            path.lineTo(c.x() + s / 2.0, c.y() + s / 3.0);
            path.lineTo(c.x(), c.y() - s / 2.0);
        } else {
            path.moveTo(c.x() - s / 2.0, c.y() - s / 3.0);
            path.lineTo(c.x() + s / 2.0, c.y() - s / 3.0);
            path.lineTo(c.x(), c.y() + s / 2.0);
        }
        path.closeSubpath();
        painter->fillPath(path, palette().color(QPalette::WindowText));
        painter->restore();
    }
};

// Cells: ellipsis buttons where the column has one.
class GridDelegate : public QStyledItemDelegate {
public:
    GridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (!grid_->showsButton(index.row(), index.column())) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QRect br = buttonRect(option.rect);
        QStyleOptionViewItem cell = option;
        cell.rect.setRight(br.left() - 1);
        QStyledItemDelegate::paint(painter, cell, index);
        QStyleOptionButton b;
        b.rect = br;
        b.text = QStringLiteral("…");
        b.state = QStyle::State_Enabled | QStyle::State_Raised;
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_PushButton, &b, painter, w);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        if (grid_->showsButton(index.row(), index.column()))
            editor->setGeometry(editor->geometry().adjusted(0, 0, -buttonRect(option.rect).width(), 0));
    }

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        const auto t = event->type();
        if ((t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick) &&
            grid_->showsButton(index.row(), index.column())) {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && buttonRect(option.rect).contains(me->position().toPoint())) {
                if (t == QEvent::MouseButtonRelease) grid_->clickEditButton(index.row(), index.column());
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

private:
    DBGrid* grid_;
};

}  // namespace

// The footer row: the totals of sum columns, aligned with the columns above, yellow and bold.
class GridFooter : public QWidget {
public:
    GridFooter(DBGrid* grid, QTableView* view) : QWidget(grid), grid_(grid), view_(view) {
        QFont f = font();
        f.setBold(true);
        setFont(f);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        auto* h = view->horizontalHeader();
        connect(h, &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
        connect(h, &QHeaderView::sectionMoved, this, qOverload<>(&QWidget::update));
        connect(h, &QHeaderView::geometriesChanged, this, qOverload<>(&QWidget::update));
        connect(view->horizontalScrollBar(), &QAbstractSlider::valueChanged, this, qOverload<>(&QWidget::update));
    }

    void invalidate() {
        dirty_ = true;
        update();
    }

    QString text(int logical) {
        if (dirty_) recompute();
        return logical >= 0 && logical < cache_.size() ? cache_[logical] : QString();
    }

    QSize sizeHint() const override { return {100, view_->verticalHeader()->defaultSectionSize() + 2}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(255, 255, 160));
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, 0, width(), 0);
        auto* h = view_->horizontalHeader();
        const int origin = view_->viewport()->mapTo(grid_, QPoint(0, 0)).x() - x();
        const int viewportRight = origin + view_->viewport()->width();
        p.setClipRect(QRect(origin, 0, view_->viewport()->width(), height()));
        for (int v = 0; v < h->count(); ++v) {
            const int logical = h->logicalIndex(v);
            if (h->isSectionHidden(logical)) continue;
            const int left = origin + h->sectionViewportPosition(logical);
            const int w = h->sectionSize(logical);
            if (left > viewportRight || left + w < origin) continue;
            const QRect cell(left, 1, w, height() - 1);
            p.setPen(palette().color(QPalette::Mid));
            p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
            const QString t = text(logical);
            if (t.isEmpty()) continue;
            p.setPen(Qt::black);
            p.drawText(cell.adjusted(3, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, t);
        }
    }

private:
    void recompute() {
        dirty_ = false;
        GridModel* m = grid_->gridModel();
        cache_ = QVector<QString>(m->columnCount());
        Dataset* ds = m->dataset();
        if (!ds || !ds->isOpen()) return;
        for (int c = 0; c < m->columnCount(); ++c) {
            const GridColumn& col = m->column(c);
            if (!col.sum || m->datasetColumn(c) < 0) continue;
            try {
                const double total = ds->sum(col.field);
                const QString fmt = col.format.isEmpty() ? ds->displayFormat(col.field) : col.format;
                cache_[c] = Dataset::formatValue(total, fmt);
            } catch (const DbError& e) {
                cache_[c].clear();
                grid_->reportError(e.text());
            }
        }
    }

    DBGrid* grid_;
    QTableView* view_;
    QVector<QString> cache_;
    bool dirty_ = true;
};

DBGrid::DBGrid(QWidget* parent) : QWidget(parent) {
    model_ = new GridModel(this);
    model_->setErrorReporter([this](const QString& text) { reportError(text); });
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("view"));
    view_->setHorizontalHeader(new GridHeader(view_));
    view_->setModel(model_);
    view_->setItemDelegate(new GridDelegate(this));
    view_->setWordWrap(false);
    view_->setTextElideMode(Qt::ElideRight);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    // Fixed sizes: nothing is measured over the rows, whatever their number.
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 8);
    auto* h = view_->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setSectionsMovable(true);
    h->setSectionsClickable(true);
    h->setHighlightSections(false);
    h->setStretchLastSection(false);
    h->setDefaultAlignment(Qt::AlignCenter);

    footer_ = new GridFooter(this, view_);
    footer_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_);
    layout->addWidget(footer_);
    setFocusProxy(view_);

    setRowSelect(true);
    setMultiSelect(false);

    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& cur) { onViewRow(cur.isValid() ? cur.row() : -1); });
    connect(h, &QHeaderView::sectionClicked, this, &DBGrid::onTitleClicked);
    connect(view_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& idx) { emit rowDoubleClicked(idx.row()); });
    connect(model_, &GridModel::columnsReplaced, this, &DBGrid::onColumnsReplaced);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        footer_->invalidate();
        markOrder_.erase(std::remove_if(markOrder_.begin(), markOrder_.end(),
                                        [this](int c) { return c >= model_->columnCount(); }),
                         markOrder_.end());
    });
    connect(model_, &QAbstractItemModel::rowsRemoved, footer_, &GridFooter::invalidate);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &DBGrid::followWindowing);
    connect(model_, &QAbstractItemModel::modelReset, this, &DBGrid::followWindowing);
    connect(model_, &QAbstractItemModel::dataChanged, footer_, &GridFooter::invalidate);
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataset(Dataset* dataset) {
    disconnect(rowConn_);
    disconnect(stateConn_);
    model_->setDataset(dataset);
    if (dataset) {
        rowConn_ = connect(dataset, &Dataset::currentRowChanged, this, &DBGrid::onDatasetRow);
        // A posted or cancelled edit changes the totals.
        stateConn_ = connect(dataset, &Dataset::stateChanged, footer_, &GridFooter::invalidate);
    }
    footer_->invalidate();
    followWindowing();
    syncToDataset();
}

void DBGrid::followWindowing() {
    // A result read through a moving window is read again from the server at every jump: while the
    // thumb is dragged the rows follow only when it is let go.
    Dataset* ds = model_->dataset();
    view_->verticalScrollBar()->setTracking(!(ds && ds->isWindowed()));
}

Dataset* DBGrid::dataset() const { return model_->dataset(); }

// --- columns -------------------------------------------------------------------------------------

void DBGrid::setColumns(const QVector<GridColumn>& columns) { model_->setColumns(columns); }
void DBGrid::clearColumns() { model_->clearColumns(); }

void DBGrid::onColumnsReplaced() {
    auto* h = view_->horizontalHeader();
    // Display order back to the list's order, then the configured widths.
    for (int logical = 0; logical < h->count(); ++logical) {
        const int v = h->visualIndex(logical);
        if (v != logical) h->moveSection(v, logical);
        h->showSection(logical);
    }
    markOrder_.clear();
    for (int c = 0; c < model_->columnCount(); ++c) {
        const GridColumn& col = model_->column(c);
        if (col.width > 0) h->resizeSection(c, col.width);
        else h->resizeSection(c, h->defaultSectionSize());
        if (col.marker != SortMarker::None) markOrder_ << c;
    }
    footer_->invalidate();
    syncToDataset();
}

bool DBGrid::isConfigured() const { return model_->isConfigured(); }
int DBGrid::columnCount() const { return model_->columnCount(); }
const GridColumn& DBGrid::column(int logical) const { return model_->column(logical); }
QString DBGrid::columnField(int logical) const { return model_->field(logical); }
QString DBGrid::columnTitle(int logical) const { return model_->title(logical); }
int DBGrid::columnOf(const QString& field) const { return model_->columnOf(field); }

QVector<int> DBGrid::visualColumns() const {
    QVector<int> out;
    auto* h = view_->horizontalHeader();
    for (int v = 0; v < h->count(); ++v) {
        const int logical = h->logicalIndex(v);
        if (logical >= 0 && !h->isSectionHidden(logical)) out << logical;
    }
    return out;
}

int DBGrid::columnWidth(int logical) const { return view_->horizontalHeader()->sectionSize(logical); }
void DBGrid::setColumnWidth(int logical, int width) { view_->horizontalHeader()->resizeSection(logical, width); }
void DBGrid::moveColumn(int fromVisual, int toVisual) { view_->horizontalHeader()->moveSection(fromVisual, toVisual); }

void DBGrid::setColumnFormat(int logical, const QString& format) {
    model_->setColumnFormat(logical, format);
    footer_->invalidate();
}

QString DBGrid::cellText(int row, int logical) const { return model_->cellText(row, logical); }

// --- markers -------------------------------------------------------------------------------------

void DBGrid::setSortMarker(int logical, SortMarker marker) {
    if (logical < 0 || logical >= model_->columnCount()) return;
    model_->setSortMarker(logical, marker);
    markOrder_.removeAll(logical);
    if (marker != SortMarker::None) markOrder_ << logical;
    view_->horizontalHeader()->viewport()->update();
}

SortMarker DBGrid::sortMarker(int logical) const {
    return logical >= 0 && logical < model_->columnCount() ? model_->column(logical).marker : SortMarker::None;
}

void DBGrid::clearSortMarkers() {
    const QVector<int> marked = markOrder_;
    for (int c : marked) setSortMarker(c, SortMarker::None);
}

void DBGrid::onTitleClicked(int logical) {
    if (logical < 0 || logical >= model_->columnCount()) return;
    emit titleClicked(model_->field(logical));
    if (!titleSorting_) return;
    const SortMarker old = sortMarker(logical);
    if (!(QApplication::keyboardModifiers() & Qt::ControlModifier)) {
        const QVector<int> marked = markOrder_;
        for (int c : marked)
            if (c != logical) setSortMarker(c, SortMarker::None);
    }
    setSortMarker(logical, old == SortMarker::Ascending ? SortMarker::Descending : SortMarker::Ascending);
    emit sortMarkersChanged();
}

// --- footer --------------------------------------------------------------------------------------

void DBGrid::setFooterVisible(bool visible) {
    footer_->setVisible(visible);
    footer_->invalidate();
}

bool DBGrid::isFooterVisible() const { return !footer_->isHidden(); }
QString DBGrid::footerText(int logical) { return footer_->text(logical); }
void DBGrid::invalidateFooter() { footer_->invalidate(); }

// --- rows ----------------------------------------------------------------------------------------

void DBGrid::setRowSelect(bool on) {
    view_->setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void DBGrid::setMultiSelect(bool on) {
    view_->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool DBGrid::isMultiSelect() const { return view_->selectionMode() == QAbstractItemView::ExtendedSelection; }

QList<int> DBGrid::selectedRows() const {
    std::set<int> rows;
    for (const QItemSelectionRange& r : view_->selectionModel()->selection())
        for (int row = r.top(); row <= r.bottom(); ++row) rows.insert(row);
    return QList<int>(rows.begin(), rows.end());
}

void DBGrid::selectRows(const QList<int>& rows) {
    if (model_->columnCount() == 0) return;
    QItemSelection sel;
    for (int row : rows)
        if (row >= 0 && row < model_->rowCount())
            sel.select(model_->index(row, 0), model_->index(row, model_->columnCount() - 1));
    view_->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
}

int DBGrid::currentRow() const {
    const QModelIndex cur = view_->currentIndex();
    return cur.isValid() ? cur.row() : -1;
}

void DBGrid::setReadOnly(bool readOnly) {
    model_->setReadOnly(readOnly);
    view_->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                                    : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
}

bool DBGrid::isReadOnly() const { return model_->isReadOnly(); }

void DBGrid::setErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }

void DBGrid::reportError(const QString& text) const {
    if (errorHandler_) errorHandler_(text);
    else qWarning("%s: %s", qPrintable(objectName()), qPrintable(text));
}

bool DBGrid::showsButton(int row, int logical) const {
    if (logical < 0 || logical >= model_->columnCount()) return false;
    const GridColumn& c = model_->column(logical);
    if (c.button) return true;
    // A picker column without a button of its own shows it in the current cell while editing.
    if (!c.picker || model_->isReadOnly()) return false;
    const QModelIndex cur = view_->currentIndex();
    return cur.isValid() && cur.row() == row && cur.column() == logical;
}

void DBGrid::clickEditButton(int row, int logical) {
    if (logical < 0 || logical >= model_->columnCount() || row < 0 || row >= model_->rowCount()) return;
    if (currentRow() != row)
        view_->selectionModel()->setCurrentIndex(model_->index(row, logical),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const GridColumn c = model_->column(logical);
    emit editButtonClicked(c.field, row);
    if (c.picker) emit productPickerRequested(c.field, row);
}

// --- current row ---------------------------------------------------------------------------------

void DBGrid::syncToDataset() {
    Dataset* ds = model_->dataset();
    if (ds && ds->currentRow() >= 0) onDatasetRow(ds->currentRow());
}

void DBGrid::onDatasetRow(int row) {
    if (syncing_) return;
    const QScopedValueRollback guard(syncing_, true);
    if (row < 0 || row >= model_->rowCount() || model_->columnCount() == 0) return;
    const QModelIndex cur = view_->currentIndex();
    if (cur.isValid() && cur.row() == row) return;
    int col = cur.isValid() ? cur.column() : view_->horizontalHeader()->logicalIndex(0);
    if (col < 0) col = 0;
    const QModelIndex idx = model_->index(row, col);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (view_->selectionBehavior() == QAbstractItemView::SelectRows) flags |= QItemSelectionModel::Rows;
    view_->selectionModel()->setCurrentIndex(idx, flags);
    view_->scrollTo(idx);
    emit currentRowChanged(row);
}

void DBGrid::onViewRow(int row) {
    if (syncing_) return;
    Dataset* ds = model_->dataset();
    if (ds && row >= 0 && row != ds->currentRow()) {
        const QScopedValueRollback guard(syncing_, true);
        try {
            ds->setCurrentRow(row);
        } catch (const DbError& e) {
            reportError(e.text());
        }
        if (ds->currentRow() != row) {
            // The dataset stayed where it was (its edit could not be stored): so does the grid.
            const int back = ds->currentRow();
            QMetaObject::invokeMethod(this, [this, back] { onDatasetRow(back); }, Qt::QueuedConnection);
            return;
        }
    }
    emit currentRowChanged(row);
}

}  // namespace qv
