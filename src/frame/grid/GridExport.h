#pragma once
#include <QString>
#include <functional>

namespace qv {

struct Context;
class DBGrid;
class Dataset;
class SheetWriter;

// Exports the grid to an Excel workbook the operator names: refuses a closed or empty dataset, asks
// for the file (.xls or .xlsx), writes the shown columns in their order with their titles and every
// row of the dataset, then offers to open the file.
void ExportGridToExcel(Context& ctx, Dataset& dataset, DBGrid& grid);

// The file name the export writes for a chosen name: trimmed; a name without ".xls" (compared with
// case) gets the extension of the chosen filter entry appended: ".xlsx" for "EXCEL 2007 文件(*.xlsx)",
// else ".xls" (so "report.XLS" becomes "report.XLS.xls"). A name ending in ".xlsx" stays and is
// written as .xlsx.
QString excelFileName(const QString& chosen, const QString& selectedFilter = QString());

// Writes the grid's shown columns and all rows of its dataset to the writer (begin … finish),
// reading the dataset in chunks as it goes. `progress(rowsWritten)` is called every few hundred rows
// and returns false to stop (the writer is then left unfinished). True when every row was written.
bool writeGridSheet(DBGrid& grid, Dataset& dataset, SheetWriter& writer,
                    const std::function<bool(int)>& progress = {});

}  // namespace qv
