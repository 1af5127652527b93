#include "GridExport.h"

#include <QDateTime>
#include <QProgressDialog>

#include "Context.h"
#include "DBGrid.h"
#include "Dataset.h"
#include "GridModel.h"
#include "OfficeError.h"
#include "Prompter.h"
#include "SheetWriter.h"
#include "Shell.h"

namespace qv {

namespace {

const QString kNotice = QStringLiteral("提醒");
// Exports that take long enough to want a progress window.
constexpr int kProgressRows = 5000;

// The value of a cell as the sheet gets it: numbers stay numbers (their format goes with the column),
// dates without a time of day are dates, numeric text of a formatted column becomes a number.
QVariant sheetValue(const QVariant& v, const QString& format) {
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0)) return dt.date();
        return dt;
    }
    if (v.typeId() == QMetaType::QString && !format.isEmpty()) {
        bool ok = false;
        const double d = v.toString().toDouble(&ok);
        if (ok) return d;
    }
    return v;
}

}  // namespace

QString excelFileName(const QString& chosen, const QString& selectedFilter) {
    QString name = chosen.trimmed();
    if (!name.contains(QLatin1String(".xls"), Qt::CaseSensitive))
        name +=
            selectedFilter.contains(QLatin1String("*.xlsx")) ? QLatin1String(".xlsx") : QLatin1String(".xls");
    return name;
}

bool writeGridSheet(DBGrid& grid, Dataset& dataset, SheetWriter& writer,
                    const std::function<bool(int)>& progress) {
    const GridModel& m = *grid.gridModel();
    const QVector<int> cols = grid.visualColumns();
    QList<SheetColumn> sheetCols;
    QVector<QString> formats;
    for (int c : cols) {
        SheetColumn sc;
        sc.title = grid.columnTitle(c);
        QString f = m.column(c).format;
        if (f.isEmpty()) f = dataset.displayFormat(m.field(c));
        sc.format = f;
        sc.width = grid.columnWidth(c) / 7.0;
        sheetCols << sc;
        formats << f;
    }
    writer.begin(QStringLiteral("Sheet1"), sheetCols);
    QVariantList cells;
    for (int r = 0;; ++r) {
        // Rows are read from the dataset a chunk at a time as the export reaches them (a large
        // result counts all its rows at once and is read through its moving window).
        while (r >= dataset.rowCount() && dataset.canFetchMore()) dataset.fetchMore();
        if (r >= dataset.rowCount()) break;
        cells.clear();
        for (int i = 0; i < cols.size(); ++i) cells << sheetValue(m.cellValue(r, cols[i]), formats[i]);
        writer.addRow(cells);
        if (progress && (r + 1) % 256 == 0 && !progress(r + 1)) return false;
    }
    writer.finish();
    return true;
}

void ExportGridToExcel(Context& ctx, Dataset& dataset, DBGrid& grid) {
    if (!dataset.isOpen()) {
        ctx.prompter.info(QStringLiteral("数据没有显示不能导出成Excel文件!"), kNotice, &grid);
        return;
    }
    if (dataset.isEmpty()) {
        ctx.prompter.info(QStringLiteral("没有数据,不能导出成Excel文件!"), kNotice, &grid);
        return;
    }
    QString filter;
    const QString chosen = ctx.prompter.saveFileName(
        QStringLiteral("导出到Excel文件"), QString(),
        QStringLiteral("EXCEL文件(*.xls);;EXCEL 2007 文件(*.xlsx)"), &grid, &filter);
    if (chosen.trimmed().isEmpty()) return;
    const QString name = excelFileName(chosen, filter);

    std::unique_ptr<QProgressDialog> bar;
    const int total = dataset.recordCount();
    if (total >= kProgressRows) {
        bar = std::make_unique<QProgressDialog>(QStringLiteral("正在导出Excel文件..."),
                                                QStringLiteral("取消"), 0, total, &grid);
        bar->setWindowModality(Qt::WindowModal);
        bar->setMinimumDuration(500);
    }
    bool complete = false;
    try {
        std::unique_ptr<SheetWriter> writer = SheetWriter::forFile(name);
        complete = writeGridSheet(grid, dataset, *writer, [&bar](int rows) {
            if (!bar) return true;
            bar->setValue(rows);
            return !bar->wasCanceled();
        });
    } catch (const OfficeError& e) {
        bar.reset();
        ctx.prompter.error(e.text(), &grid);
        return;
    }
    bar.reset();
    if (!complete) return;  // stopped by the operator: the unfinished file is not left behind
    if (ctx.prompter.message(QStringLiteral("文件%1已建立，是否打开文件？").arg(name), kNotice,
                             QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel,
                             &grid) == QMessageBox::Ok)
        ctx.shell.open(name);
}

}  // namespace qv
