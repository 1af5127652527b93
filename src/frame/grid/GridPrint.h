#pragma once
#include <QMarginsF>
#include <QString>

class QPrinter;
class QWidget;

namespace qv {

struct Context;
class DBGrid;

struct GridPrintOptions {
    QString title;                                // printed at the top of every page
    QMarginsF marginsMm{10, 10, 10, 10};          // page margins in millimetres
    bool optimalWidths = false;                   // widths from the texts instead of the grid's widths
    double fontPoints = 9;
};

// Paints the grid's shown columns (in their order, with their titles) and every row of its dataset
// onto the printer's pages: the columns fitted to the page width, each row as high as its wrapped
// texts, the title and the column titles on every page, the footer totals after the last row when
// the grid shows a footer, and "第 n 页 / 共 m 页" under each page. Returns the number of pages.
int PrintGrid(DBGrid& grid, QPrinter& printer, const GridPrintOptions& options);

// Shows the grid in a print preview (through the context's modal runner), from which it can be
// printed or saved as a PDF file.
void PreviewGrid(Context& ctx, DBGrid& grid, const GridPrintOptions& options, QWidget* parent = nullptr);

}  // namespace qv
