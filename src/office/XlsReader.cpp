#include <freexl.h>

#include <QFile>

#include "CellValue.h"
#include "OfficeError.h"
#include "SheetReader.h"
#include "UsedRange.h"

namespace qv {

namespace {

// A password-protected .xlsx is an OLE2 container with an "EncryptedPackage" stream instead of a
// zip archive; its directory names the stream in UTF-16.
bool holdsEncryptedPackage(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    static const QByteArray name = [] {
        QByteArray b;
        for (char ch : QByteArray("EncryptedPackage")) b.append(ch).append('\0');
        return b;
    }();
    // Directories sit near the start or the end of small files; read them in chunks to bound memory.
    QByteArray tail;
    while (!f.atEnd()) {
        const QByteArray chunk = tail + f.read(1 << 20);
        if (chunk.contains(name)) return true;
        tail = chunk.right(name.size());
        if (chunk.size() <= name.size()) break;
    }
    return false;
}

class FreeXlHandle {
public:
    ~FreeXlHandle() {
        if (handle) freexl_close(handle);
    }
    const void* handle = nullptr;
};

}  // namespace

SheetTable readXls(const QString& path, int sheet) {
    if (!QFile::exists(path)) throw OfficeError::fileNotFound(path);
    FreeXlHandle xls;
    const QByteArray name = QFile::encodeName(path);
    const int opened = freexl_open(name.constData(), &xls.handle);
    if (opened != FREEXL_OK) {
        if (opened == FREEXL_FILE_NOT_FOUND && !QFile(path).open(QIODevice::ReadOnly))
            throw OfficeError::cannotRead(path);
        if (holdsEncryptedPackage(path)) throw OfficeError::encrypted(path);
        throw OfficeError::notAWorkbook(path, QStringLiteral("FreeXL %1").arg(opened));
    }
    unsigned int info = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        throw OfficeError::encrypted(path);
    unsigned int sheets = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        throw OfficeError::notAWorkbook(path, QStringLiteral("没有工作表"));
    if (sheet < 0 || unsigned(sheet) >= sheets ||
        freexl_select_active_worksheet(xls.handle, (unsigned short)sheet) != FREEXL_OK)
        throw OfficeError::notAWorkbook(path, QStringLiteral("无法选择工作表"));
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(xls.handle, &rows, &columns) != FREEXL_OK)
        throw OfficeError::notAWorkbook(path, QStringLiteral("无法读取工作表大小"));

    UsedRange range;
    FreeXL_CellValue value;
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            const int rc = freexl_get_cell_value(xls.handle, r, c, &value);
            if (rc != FREEXL_OK) throw OfficeError::notAWorkbook(path, QStringLiteral("FreeXL %1").arg(rc));
            switch (value.type) {
                case FREEXL_CELL_INT:
                    range.add(r, c, QString::number(value.value.int_value));
                    break;
                case FREEXL_CELL_DOUBLE:
                    range.add(r, c, cellvalue::numberText(value.value.double_value));
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    range.add(r, c, QString::fromUtf8(value.value.text_value));
                    break;
                default:
                    break;
            }
        }
    }
    return range.take(path);
}

}  // namespace qv
