#include "SheetWriter.h"

#include "XlsWriter.h"
#include "XlsxWriter.h"

namespace qv {

SheetWriter::~SheetWriter() = default;

std::unique_ptr<SheetWriter> SheetWriter::forFile(const QString& path) {
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) return std::make_unique<XlsxWriter>(path);
    return std::make_unique<XlsWriter>(path);
}

void SheetWriter::writeSheet(const QString& path, const QString& sheetName, const QList<SheetColumn>& columns,
                             const QList<QVariantList>& rows) {
    auto writer = forFile(path);
    writer->begin(sheetName, columns);
    for (const QVariantList& row : rows) writer->addRow(row);
    writer->finish();
}

QString SheetWriter::validSheetName(const QString& name) {
    QString n = name.trimmed();
    for (QChar& ch : n) {
        if (QStringLiteral("[]:*?/\\").contains(ch)) ch = u'_';
    }
    // A name may not start or end with an apostrophe.
    while (n.startsWith(u'\'')) n.remove(0, 1);
    while (n.endsWith(u'\'')) n.chop(1);
    n.truncate(31);
    if (n.isEmpty()) n = QStringLiteral("Sheet1");
    return n;
}

}  // namespace qv
