#pragma once
#include <QList>
#include <QPointer>
#include <QVector>
#include <QWidget>
#include <functional>

#include "GridColumn.h"

class QTableView;

namespace qv {

class Dataset;
class GridModel;
class GridFooter;

// The data grid of every window: a table view over a Dataset with the grid's own column list, title
// buttons with sort markers (several columns, in the order they were marked), an optional footer row
// of column totals, whole-row and multi-row selection, ellipsis buttons in the cells of columns that
// have one, and memo text shown on one line. The grid's current row and the dataset's current row
// follow each other. Rows have one fixed height and columns keep their widths, so a dataset of any
// size opens at once: rows are read from the dataset only as the view scrolls to them.
//
// The owner names the grid (setObjectName("Grid_Cust")), chooses read-only or editable, single or
// multiple selection and whether the footer shows, and lets ApplyGridLayout configure the columns.
class DBGrid : public QWidget {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    QTableView* view() const { return view_; }
    GridModel* gridModel() const { return model_; }

    void setDataset(Dataset* dataset);
    Dataset* dataset() const;

    // --- columns (indexes are logical: the order of the column list) ----------------------------
    // Replaces the column list: the grid shows exactly these columns (possibly none), widths as
    // given, display order as listed, markers as given (marked in list order).
    void setColumns(const QVector<GridColumn>& columns);
    // No configured columns: every dataset field is shown under its display label.
    void clearColumns();
    bool isConfigured() const;
    int columnCount() const;
    const GridColumn& column(int logical) const;
    QString columnField(int logical) const;
    QString columnTitle(int logical) const;
    int columnOf(const QString& field) const;
    // Logical indexes of the shown columns from left to right, as the user arranged them.
    QVector<int> visualColumns() const;
    int columnWidth(int logical) const;
    void setColumnWidth(int logical, int width);
    void moveColumn(int fromVisual, int toVisual);
    void setColumnFormat(int logical, const QString& format);
    // The text a cell shows (display format applied, memo text complete).
    QString cellText(int row, int logical) const;

    // --- title buttons and sort markers -----------------------------------------------------------
    void setSortMarker(int logical, SortMarker marker);
    SortMarker sortMarker(int logical) const;
    // Marked columns in the order they were marked.
    QVector<int> markedColumns() const { return markOrder_; }
    void clearSortMarkers();
    // A click on a title marks that column (ascending, then toggling); with Ctrl held it adds to the
    // markers, otherwise it replaces them. The grid then sends sortMarkersChanged(); the owner sorts
    // (SortByMarkers) inside its error boundary. Off by default: titles only send titleClicked().
    void setTitleSorting(bool on) { titleSorting_ = on; }
    bool titleSorting() const { return titleSorting_; }

    // --- footer -----------------------------------------------------------------------------------
    void setFooterVisible(bool visible);
    bool isFooterVisible() const;
    // The footer text of a column: the total of a sum column over all rows of the dataset (computed
    // by the dataset, on the server while not every row was read); empty for other columns.
    QString footerText(int logical);
    // Totals are read again when next shown (the grid does this itself after edits and re-opens).
    void invalidateFooter();

    // --- rows and selection -----------------------------------------------------------------------
    void setRowSelect(bool on);    // whole rows are selected
    void setMultiSelect(bool on);  // several rows may be selected (Ctrl/Shift)
    bool isMultiSelect() const;
    // Selected rows, ascending (with whole-row selection the current row is among them).
    QList<int> selectedRows() const;
    void selectRows(const QList<int>& rows);
    int currentRow() const;

    void setReadOnly(bool readOnly);
    bool isReadOnly() const;

    // Errors of the dataset met while the user works in the grid (moving off an edited row, reading
    // more rows, storing an edit) are handed here; the services set the standard error box.
    using ErrorHandler = std::function<void(const QString&)>;
    void setErrorHandler(ErrorHandler handler);
    void reportError(const QString& text) const;

    // The cell of (row, logical column) shows an ellipsis button now.
    bool showsButton(int row, int logical) const;
    // What a click on the ellipsis button of a cell does (also used by tests).
    void clickEditButton(int row, int logical);

signals:
    void editButtonClicked(const QString& field, int row);
    // The clicked edit button belongs to a column that runs the product picker.
    void productPickerRequested(const QString& field, int row);
    void titleClicked(const QString& field);
    void sortMarkersChanged();
    void rowDoubleClicked(int row);
    void currentRowChanged(int row);

private:
    void onDatasetRow(int row);
    void onViewRow(int row);
    void onTitleClicked(int logical);
    void onColumnsReplaced();
    void syncToDataset();
    void followWindowing();

    QTableView* view_ = nullptr;
    GridModel* model_ = nullptr;
    GridFooter* footer_ = nullptr;
    QMetaObject::Connection rowConn_, stateConn_;
    QVector<int> markOrder_;
    bool titleSorting_ = false;
    bool syncing_ = false;
    ErrorHandler errorHandler_;
};

}  // namespace qv
