#pragma once
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

namespace qv {

// One column of an exported sheet.
struct SheetColumn {
    QString title;
    // Number format of the column's numeric cells: empty for the general format, "0", "0.00",
    // "#,##0.00" and so on. Dates always get a date format of their own.
    QString format;
    // Width in characters; 0 leaves the default width.
    double width = 0;
};

// Writes one table to a workbook, row by row, so that large grids stream to the file:
//   auto w = SheetWriter::forFile(path);
//   w->begin(QStringLiteral("客户"), columns);
//   for (...) w->addRow(cells);
//   w->finish();
// The first row of the sheet holds the column titles. A cell is a QVariant: numbers (integers,
// doubles, money as double) are written as numbers, QDate / QDateTime / QTime as dates with the
// formats "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" and "hh:mm:ss", a null or empty value as an empty cell,
// anything else as text. The file appears only when finish() succeeds; a writer destroyed before
// that leaves no file behind. Every failure throws OfficeError.
class SheetWriter {
public:
    virtual ~SheetWriter();

    // A writer chosen by the file name: ".xlsx" (any case) writes an Office Open XML workbook,
    // every other name an Excel 97-2003 (.xls) workbook.
    static std::unique_ptr<SheetWriter> forFile(const QString& path);

    // Writes the whole table in one call.
    static void writeSheet(const QString& path, const QString& sheetName, const QList<SheetColumn>& columns,
                           const QList<QVariantList>& rows);

    virtual void begin(const QString& sheetName, const QList<SheetColumn>& columns) = 0;
    // Cells beyond the number of columns are ignored; missing cells are empty.
    virtual void addRow(const QVariantList& cells) = 0;
    virtual void finish() = 0;

    const QString& path() const { return path_; }

    // A sheet name that workbooks accept: at most 31 characters, none of []:*?/\, not empty.
    static QString validSheetName(const QString& name);

protected:
    explicit SheetWriter(QString path) : path_(std::move(path)) {}
    QString path_;
};

}  // namespace qv
