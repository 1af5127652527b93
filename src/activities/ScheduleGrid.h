#pragma once
#include <QWidget>

#include "ScheduleQueries.h"

class QMenu;

namespace qv {

struct Context;
class Dataset;
class DBGrid;

// The grid of the schedule lists with its own dataset: read-only, several rows selectable, one footer
// row, columns by the grid key "schedule", and the pop-up menu "设置列显示", "保存列属性", "刷新".
// It prints and exports itself the same way for every schedule list.
class ScheduleGrid : public QWidget {
    Q_OBJECT
public:
    ScheduleGrid(Context& ctx, const QString& gridName, QWidget* parent = nullptr);
    ~ScheduleGrid() override;

    Dataset& dataset() const { return *dataset_; }
    DBGrid& grid() const { return *grid_; }

    // Columns by the grid key (the lists use "schedule", the reminder window "Schedule").
    void applyLayout(const QString& key = QStringLiteral("schedule"));
    // Runs the statement into the dataset (hourglass meanwhile). Throws DbError.
    void run(const schedule::Statement& statement);
    // Every row of the result, also those not read yet.
    int rowsInAll();

    void print(bool withTitle);
    void exportToExcel();

private:
    Context& ctx_;
    Dataset* dataset_ = nullptr;
    DBGrid* grid_ = nullptr;
    QMenu* menu_ = nullptr;
};

}  // namespace qv
