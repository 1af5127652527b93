#include "GridPrint.h"

#include <QAction>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>
#include <algorithm>
#include <vector>

#include "CommandGuard.h"
#include "Context.h"
#include "DBGrid.h"
#include "Dataset.h"
#include "GridModel.h"
#include "Prompter.h"

namespace qv {

namespace {

constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
// Rows measured for optimal widths; a sample is enough to size a column.
constexpr int kWidthSample = 1000;

struct Layout {
    QRectF area;           // the printable area in painter coordinates
    QVector<int> cols;     // logical columns, left to right
    QVector<double> x, w;  // column positions and widths
    double pad = 0;
    double titleH = 0, headH = 0, pageNoH = 0;
    std::vector<float> rowH;  // height of every row
    double footerH = 0;       // totals row (0: none)
    QVector<QString> totals;
    QVector<QPair<int, int>> pages;  // [first, last) rows of each page; the totals go on the last page
};

void readAll(Dataset& ds) {
    while (ds.canFetchMore()) ds.fetchMore();
}

double textHeight(const QFontMetricsF& fm, double width, const QString& text) {
    if (text.isEmpty()) return fm.height();
    return fm.boundingRect(QRectF(0, 0, std::max(1.0, width), 1e6), kTextFlags, text).height();
}

Layout layOut(DBGrid& grid, QPrinter& printer, const QFont& body, const QFont& bold, const QFont& titleFont,
              const GridPrintOptions& opt) {
    Layout L;
    Dataset* ds = grid.dataset();
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    L.area = QRectF(0, 0, page.width(), page.height());
    const QFontMetricsF fm(body, &printer), fb(bold, &printer), ft(titleFont, &printer);
    L.pad = fm.height() * 0.2;
    L.cols = grid.visualColumns();
    const int rows = ds && ds->isOpen() ? ds->rowCount() : 0;

    // Widths: the grid's own, or measured over the titles and a sample of rows; then fitted to the page.
    QVector<double> want;
    for (int c : L.cols) {
        double w = grid.columnWidth(c);
        if (opt.optimalWidths) {
            w = fb.horizontalAdvance(grid.columnTitle(c));
            for (int r = 0; r < std::min(rows, kWidthSample); ++r)
                w = std::max(w, fm.horizontalAdvance(grid.cellText(r, c).section(QLatin1Char('\n'), 0, 0)));
            w += 2 * L.pad;
        }
        want << std::max(w, 1.0);
    }
    double total = 0;
    for (double w : want) total += w;
    // One device pixel is left for the right-hand border line.
    const double scale = total > 0 ? (L.area.width() - 1) / total : 1;
    double x = 0;
    for (double w : want) {
        L.x << x;
        L.w << w * scale;
        x += w * scale;
    }

    L.titleH = opt.title.isEmpty() ? 0 : ft.height() * 1.8;
    L.pageNoH = fm.height() * 1.6;
    L.headH = fb.height() + 2 * L.pad;
    for (int i = 0; i < L.cols.size(); ++i)
        L.headH =
            std::max(L.headH, textHeight(fb, L.w[i] - 2 * L.pad, grid.columnTitle(L.cols[i])) + 2 * L.pad);

    L.rowH.resize(rows);
    for (int r = 0; r < rows; ++r) {
        double h = fm.height();
        for (int i = 0; i < L.cols.size(); ++i)
            h = std::max(h, textHeight(fm, L.w[i] - 2 * L.pad, grid.cellText(r, L.cols[i])));
        L.rowH[r] = float(h + 2 * L.pad);
    }
    if (grid.isFooterVisible()) {
        bool any = false;
        for (int c : L.cols) {
            L.totals << grid.footerText(c);
            any = any || !L.totals.back().isEmpty();
        }
        if (any) L.footerH = fb.height() + 2 * L.pad;
    }

    // Pages: rows as they fit under the title and the column titles; a row taller than a page
    // gets a page of its own and is cut.
    const double body0 = L.titleH + L.headH;
    const double bodyEnd = L.area.height() - L.pageNoH;
    int first = 0;
    double y = body0;
    for (int r = 0; r < rows; ++r) {
        if (y + L.rowH[r] > bodyEnd && r > first) {
            L.pages.append({first, r});
            first = r;
            y = body0;
        }
        y += L.rowH[r];
    }
    if (L.footerH > 0 && y + L.footerH > bodyEnd && rows > first) {
        L.pages.append({first, rows});
        first = rows;
    }
    L.pages.append({first, rows});
    return L;
}

}  // namespace

int PrintGrid(DBGrid& grid, QPrinter& printer, const GridPrintOptions& opt) {
    if (Dataset* ds = grid.dataset(); ds && ds->isOpen()) readAll(*ds);
    printer.setPageMargins(opt.marginsMm, QPageLayout::Millimeter);

    QFont body(grid.font());
    body.setPointSizeF(opt.fontPoints);
    QFont bold(body);
    bold.setBold(true);
    QFont titleFont(body);
    titleFont.setPointSizeF(opt.fontPoints * 1.6);
    titleFont.setBold(true);

    QPainter p;
    if (!p.begin(&printer)) return 0;
    const Layout L = layOut(grid, printer, body, bold, titleFont, opt);
    const QPen line(QColor(96, 96, 96), 0);
    const int pageCount = int(L.pages.size());

    auto cellRow = [&](double y, double h, const auto& textOf, const QFont& font, const QColor& fill,
                       const auto& alignOf) {
        p.setFont(font);
        for (int i = 0; i < L.cols.size(); ++i) {
            const QRectF cell(L.x[i], y, L.w[i], h);
            if (fill.isValid()) p.fillRect(cell, fill);
            p.setPen(line);
            p.drawRect(cell);
            p.setPen(Qt::black);
            p.drawText(cell.adjusted(L.pad, L.pad, -L.pad, -L.pad), alignOf(i), textOf(i));
        }
    };
    const GridModel* model = grid.gridModel();
    auto fixed = [](int align) { return [align](int) { return align; }; };

    for (int n = 0; n < pageCount; ++n) {
        if (n > 0) printer.newPage();
        p.save();
        p.setClipRect(L.area);
        double y = 0;
        if (L.titleH > 0) {
            p.setFont(titleFont);
            p.setPen(Qt::black);
            p.drawText(QRectF(0, 0, L.area.width(), L.titleH), Qt::AlignCenter, opt.title);
            y = L.titleH;
        }
        cellRow(
            y, L.headH, [&](int i) { return grid.columnTitle(L.cols[i]); }, bold, QColor(230, 230, 230),
            fixed(Qt::TextWordWrap | Qt::AlignCenter));
        y += L.headH;
        const auto [first, last] = L.pages[n];
        for (int r = first; r < last; ++r) {
            const double h = std::min<double>(L.rowH[r], L.area.height() - L.pageNoH - y);
            // Numbers to the right, as the grid shows them.
            cellRow(
                y, h, [&](int i) { return grid.cellText(r, L.cols[i]); }, body, QColor(),
                [&](int i) {
                    const int a = model->index(r, L.cols[i]).data(Qt::TextAlignmentRole).toInt();
                    return Qt::TextWordWrap | Qt::AlignTop |
                           ((a & Qt::AlignRight) ? Qt::AlignRight : Qt::AlignLeft);
                });
            y += L.rowH[r];
        }
        if (n == pageCount - 1 && L.footerH > 0)
            cellRow(
                y, L.footerH, [&](int i) { return L.totals.value(i); }, bold, QColor(255, 255, 200),
                fixed(Qt::AlignRight | Qt::AlignVCenter));
        p.setFont(body);
        p.setPen(Qt::black);
        p.drawText(QRectF(0, L.area.height() - L.pageNoH, L.area.width(), L.pageNoH), Qt::AlignCenter,
                   QStringLiteral("第 %1 页 / 共 %2 页").arg(n + 1).arg(pageCount));
        p.restore();
    }
    p.end();
    return pageCount;
}

void PreviewGrid(Context& ctx, DBGrid& grid, const GridPrintOptions& options, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog dlg(&printer, parent ? parent : &grid);
    dlg.setObjectName(QStringLiteral("Frm_PrintPreview"));
    if (!options.title.isEmpty()) dlg.setWindowTitle(options.title);
    // The rows are read while the pages are painted, inside the preview's own event handling: a failed
    // read ends the painting and is shown, the preview stays open.
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [&ctx, &grid, &options, &dlg](QPrinter* pr) {
                         runGuarded(ctx.prompter, &dlg, [&] { PrintGrid(grid, *pr, options); });
                     });
    if (auto* bar = dlg.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* pdf = bar->addAction(QStringLiteral("PDF"));
        pdf->setObjectName(QStringLiteral("Act_Pdf"));
        pdf->setToolTip(QStringLiteral("保存为PDF文件"));
        QObject::connect(pdf, &QAction::triggered, &dlg, [&] {
            QString name = ctx.prompter.saveFileName(QStringLiteral("保存为PDF文件"), QString(),
                                                     QStringLiteral("PDF文件(*.pdf)"), &dlg);
            name = name.trimmed();
            if (name.isEmpty()) return;
            if (!name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) name += QLatin1String(".pdf");
            QPrinter pdfPrinter(QPrinter::HighResolution);
            pdfPrinter.setOutputFormat(QPrinter::PdfFormat);
            pdfPrinter.setOutputFileName(name);
            pdfPrinter.setPageLayout(printer.pageLayout());
            runGuarded(ctx.prompter, &dlg, [&] { PrintGrid(grid, pdfPrinter, options); });
        });
    }
    ctx.runModal(dlg);
}

}  // namespace qv
