#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace qv {

// The used range of a worksheet as text: from the first to the last row and column that hold a
// value, every row with columnCount() cells. A cell's text is what a user sees in it: numbers in
// their general form ("13800138000", "3.5"), dates as "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss",
// truth values as "TRUE" / "FALSE", empty cells as empty texts.
struct SheetTable {
    QList<QStringList> rows;
    int columnCount = 0;

    int rowCount() const { return int(rows.size()); }
    bool isEmpty() const { return rows.isEmpty(); }
    // 0-based; an empty text outside the range.
    QString cell(int row, int column) const { return rows.value(row).value(column); }
    QStringList headers() const { return rows.value(0); }
};

// Reads the used range of a workbook's first sheet (for .xlsx: the sheet that was active when it
// was saved). The kind of file is recognised by its content: Excel 97-2003 workbooks (.xls),
// Office Open XML workbooks (.xlsx); files that are neither are read as comma-separated text when
// their name ends in .csv or .txt (UTF-8 with or without byte order mark, UTF-16 with byte order
// mark, otherwise GB18030). Throws OfficeError when the file is missing, unreadable, not a workbook
// or protected by a password.
SheetTable readSheet(const QString& path);

// The parts of readSheet, for callers that know the kind.
// readXls reads the sheet at 0-based position `sheet` (NotAWorkbook when there is none).
SheetTable readXls(const QString& path, int sheet = 0);
SheetTable readXlsx(const QString& path);
// Comma-separated text; `path` only names the file in errors (content with NUL bytes is refused).
SheetTable readCsv(const QByteArray& content, const QString& path = {});

}  // namespace qv
