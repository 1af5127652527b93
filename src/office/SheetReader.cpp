#include "SheetReader.h"

#include <QFile>
#include <QFileInfo>

#include "OfficeError.h"
#include "UsedRange.h"

namespace qv {

SheetTable UsedRange::take(const QString& path) {
    SheetTable table;
    if (cells_.empty()) return table;
    quint32 top = UINT32_MAX, left = UINT32_MAX, bottom = 0, right = 0;
    for (const Cell& c : cells_) {
        top = qMin(top, c.row);
        bottom = qMax(bottom, c.row);
        left = qMin(left, c.column);
        right = qMax(right, c.column);
    }
    const qint64 rows = qint64(bottom) - top + 1, columns = qint64(right) - left + 1;
    if (rows * columns > kMaxCells)
        throw OfficeError::cannotRead(path, QStringLiteral("工作表的数据区域太大: %1行 × %2列").arg(rows).arg(columns));
    table.columnCount = int(columns);
    table.rows = QList<QStringList>(rows, QStringList(columns));
    for (Cell& c : cells_) table.rows[c.row - top][c.column - left] = std::move(c.text);
    cells_.clear();
    return table;
}

SheetTable readSheet(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) throw OfficeError::fileNotFound(path);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) throw OfficeError::cannotRead(path, file.errorString());
    const QByteArray magic = file.read(8);
    if (magic.startsWith("PK\x03\x04")) return readXlsx(path);
    if (magic == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) return readXls(path);
    const QString suffix = info.suffix().toLower();
    if (suffix == u"csv" || suffix == u"txt") {
        file.seek(0);
        const QByteArray content = file.readAll();
        if (file.error() != QFileDevice::NoError) throw OfficeError::cannotRead(path, file.errorString());
        return readCsv(content, path);
    }
    throw OfficeError::notAWorkbook(path);
}

}  // namespace qv
