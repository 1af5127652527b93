#include "ScheduleGrid.h"

#include <QAction>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

#include "CommandGuard.h"
#include "Context.h"
#include "DBGrid.h"
#include "Dataset.h"
#include "Frm_Data.h"
#include "Frm_FieldShow.h"
#include "GridExport.h"
#include "GridPrint.h"
#include "GridServices.h"
#include "WidgetStep.h"

namespace qv {

ScheduleGrid::ScheduleGrid(Context& ctx, const QString& gridName, QWidget* parent)
    : QWidget(parent), ctx_(ctx) {
    dataset_ =
        new Dataset(ctx_.data.db(), QStringLiteral("Qry_") + gridName.mid(gridName.indexOf(u'_') + 1), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    grid_ = new DBGrid(this);
    grid_->setObjectName(gridName);
    grid_->setReadOnly(true);
    grid_->setRowSelect(true);
    grid_->setMultiSelect(true);
    grid_->setFooterVisible(true);
    grid_->setDataset(dataset_);
    layout->addWidget(grid_);

    menu_ = new QMenu(this);
    menu_->setObjectName(gridName + QStringLiteral("_Menu"));
    auto entry = [this](const char* name, const QString& caption, std::function<void()> fn) {
        QAction* a = menu_->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, fn] { runGuarded(ctx_.prompter, this, fn); });
    };
    entry("Menu_ShowField", QStringLiteral("设置列显示"), [this] {
        if (ShowFieldChooser(ctx_, QStringLiteral("Schedule"), window())) applyLayout();
    });
    entry("Menu_SaveLayout", QStringLiteral("保存列属性"),
          [this] { SaveGridLayout(ctx_, *grid_, QStringLiteral("schedule"), true); });
    entry("Menu_Refresh", QStringLiteral("刷新"), [this] { applyLayout(); });
    grid_->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_->view(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menu_->popup(grid_->view()->viewport()->mapToGlobal(pos)); });
}

ScheduleGrid::~ScheduleGrid() = default;

void ScheduleGrid::applyLayout(const QString& key) { ApplyGridLayout(ctx_, *grid_, *dataset_, key); }

void ScheduleGrid::run(const schedule::Statement& statement) {
    const WaitCursor wait;
    ctx_.data.OpenQuery(*dataset_, statement.sql, statement.params);
}

int ScheduleGrid::rowsInAll() { return dataset_->isOpen() ? dataset_->recordCount() : 0; }

void ScheduleGrid::print(bool withTitle) {
    GridPrintOptions options;
    if (withTitle) options.title = QStringLiteral("销售分析");
    options.optimalWidths = true;
    PreviewGrid(ctx_, *grid_, options, window());
}

void ScheduleGrid::exportToExcel() { ExportGridToExcel(ctx_, *dataset_, *grid_); }

}  // namespace qv
