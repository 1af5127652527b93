#include <QStringDecoder>

#include "OfficeError.h"
#include "SheetReader.h"
#include "UsedRange.h"

namespace qv {

namespace {

// UTF-8 (with or without byte order mark), UTF-16 with byte order mark, otherwise GB18030, the
// superset of GBK and GB2312 in which Chinese spreadsheet programs save comma-separated text.
QString decode(const QByteArray& content) {
    if (content.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(content.mid(3));
    if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(content.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return utf16(content.mid(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(content);
    if (!utf8.hasError()) return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid()) return gb(content);
    return QString::fromLocal8Bit(content);
}

}  // namespace

SheetTable readCsv(const QByteArray& content, const QString& path) {
    const bool utf16 = content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF");
    if (!utf16 && content.contains('\0')) throw OfficeError::notAWorkbook(path);
    const QString text = decode(content);

    UsedRange range;
    quint32 row = 0, column = 0;
    QString field;
    bool quoted = false;      // inside a quoted field
    bool fieldStart = true;   // nothing read yet for this field
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += ch;
            }
            continue;
        }
        if (ch == u'"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (ch == u',') {
            range.add(row, column++, std::exchange(field, QString()));
            fieldStart = true;
        } else if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
            range.add(row++, column, std::exchange(field, QString()));
            column = 0;
            fieldStart = true;
        } else {
            field += ch;
            fieldStart = false;
        }
    }
    range.add(row, column, field);
    return range.take(path);
}

}  // namespace qv
