#include "XlsxWriter.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "CellValue.h"
#include "OfficeError.h"

namespace qv {

using cellvalue::Cell;

struct XlsxWriter::Impl {
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    QString tempPath;  // the workbook is written here and renamed into place when complete
    int columnCount = 0;
    lxw_row_t row = 0;
    bool finished = false;
    QList<lxw_format*> columnFormats;
    lxw_format* title = nullptr;
    lxw_format* date = nullptr;
    lxw_format* dateTime = nullptr;
    lxw_format* time = nullptr;

    ~Impl() {
        if (book) {
            // Abandoned before finish(): close the library's files, then drop the half-made workbook.
            workbook_close(book);
            QFile::remove(tempPath);
        }
    }

    lxw_format* numberFormat(const char* code) {
        lxw_format* f = workbook_add_format(book);
        format_set_num_format(f, code);
        return f;
    }
};

XlsxWriter::XlsxWriter(QString path) : SheetWriter(std::move(path)), d(std::make_unique<Impl>()) {}

XlsxWriter::~XlsxWriter() = default;

void XlsxWriter::begin(const QString& sheetName, const QList<SheetColumn>& columns) {
    if (d->book || d->finished)
        throw OfficeError(OfficeError::Kind::InvalidUse, QStringLiteral("工作表已经开始写入"));
    if (columns.isEmpty() || columns.size() > LXW_COL_MAX)
        throw OfficeError(OfficeError::Kind::InvalidUse, QStringLiteral("要导出的列数不对: %1").arg(columns.size()));

    // A temporary name in the target folder, so that the final rename does not cross file systems.
    {
        QTemporaryFile reserve(QFileInfo(path_).absoluteDir().filePath(QStringLiteral(".qv-XXXXXX.xlsx")));
        if (!reserve.open()) throw OfficeError::cannotWrite(path_, reserve.errorString());
        d->tempPath = reserve.fileName();
    }  // the reserved name is free again; the library creates the file with ordinary permissions
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray temp = QFile::encodeName(d->tempPath);
    d->book = workbook_new_opt(temp.constData(), &options);
    if (!d->book) {
        QFile::remove(d->tempPath);
        throw OfficeError::cannotWrite(path_);
    }
    const QByteArray name = validSheetName(sheetName).toUtf8();
    d->sheet = workbook_add_worksheet(d->book, name.constData());
    if (!d->sheet) throw OfficeError::cannotWrite(path_, QStringLiteral("工作表名称"));

    d->title = workbook_add_format(d->book);
    format_set_bold(d->title);
    d->date = d->numberFormat("yyyy-mm-dd");
    d->dateTime = d->numberFormat("yyyy-mm-dd hh:mm:ss");
    d->time = d->numberFormat("hh:mm:ss");
    QHash<QString, lxw_format*> byCode;
    for (const SheetColumn& c : columns) {
        const QString code = c.format.trimmed();
        lxw_format* f = nullptr;
        if (!code.isEmpty() && code.compare(QStringLiteral("General"), Qt::CaseInsensitive) != 0) {
            f = byCode.value(code);
            if (!f) byCode.insert(code, f = d->numberFormat(code.toUtf8().constData()));
        }
        d->columnFormats.append(f);
    }
    d->columnCount = int(columns.size());
    for (int c = 0; c < d->columnCount; ++c) {
        if (columns[c].width > 0) worksheet_set_column(d->sheet, lxw_col_t(c), lxw_col_t(c), qMin(columns[c].width, 255.0), nullptr);
        const QString titleText = columns[c].title.left(cellvalue::kMaxTextLength);
        if (!titleText.isEmpty())
            worksheet_write_string(d->sheet, 0, lxw_col_t(c), titleText.toUtf8().constData(), d->title);
    }
    d->row = 1;
}

void XlsxWriter::addRow(const QVariantList& cells) {
    if (!d->book) throw OfficeError(OfficeError::Kind::InvalidUse, QStringLiteral("工作表没有开始写入或已经结束"));
    if (d->row >= lxw_row_t(kMaxRows))
        throw OfficeError::cannotWrite(path_, QStringLiteral("工作表最多%1行").arg(kMaxRows));
    const int n = int(qMin<qsizetype>(cells.size(), d->columnCount));
    for (int c = 0; c < n; ++c) {
        const Cell cell = cellvalue::fromVariant(cells[c]);
        lxw_error err = LXW_NO_ERROR;
        const lxw_col_t col = lxw_col_t(c);
        switch (cell.type) {
            case Cell::Type::Empty:
                break;
            case Cell::Type::Text:
                err = worksheet_write_string(d->sheet, d->row, col, cell.text.toUtf8().constData(), nullptr);
                break;
            case Cell::Type::Number:
                err = worksheet_write_number(d->sheet, d->row, col, cell.number, d->columnFormats[c]);
                break;
            case Cell::Type::Date:
                err = worksheet_write_number(d->sheet, d->row, col, cell.number, d->date);
                break;
            case Cell::Type::DateTime:
                err = worksheet_write_number(d->sheet, d->row, col, cell.number, d->dateTime);
                break;
            case Cell::Type::Time:
                err = worksheet_write_number(d->sheet, d->row, col, cell.number, d->time);
                break;
        }
        if (err != LXW_NO_ERROR) throw OfficeError::cannotWrite(path_, QString::fromUtf8(lxw_strerror(err)));
    }
    ++d->row;
}

void XlsxWriter::finish() {
    if (!d->book) throw OfficeError(OfficeError::Kind::InvalidUse, QStringLiteral("工作表没有开始写入或已经结束"));
    lxw_workbook* book = std::exchange(d->book, nullptr);
    d->finished = true;
    const lxw_error err = workbook_close(book);
    if (err != LXW_NO_ERROR) {
        QFile::remove(d->tempPath);
        throw OfficeError::cannotWrite(path_, QString::fromUtf8(lxw_strerror(err)));
    }
    if (QFile::exists(path_) && !QFile::remove(path_)) {
        QFile::remove(d->tempPath);
        throw OfficeError::cannotWrite(path_);
    }
    if (!QFile::rename(d->tempPath, path_)) {
        QFile::remove(d->tempPath);
        throw OfficeError::cannotWrite(path_);
    }
}

}  // namespace qv
