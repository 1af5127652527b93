#include "DataFile.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "DbError.h"

namespace qv::schema {

QString dataFileTable(const QString& fileName, Driver driver, bool* applies) {
    static const QRegularExpression re(
        QStringLiteral("^\\d\\d_([A-Za-z0-9_]+?)(?:\\.(sqlite|postgres))?\\.tsv$"));
    const QRegularExpressionMatch m = re.match(QFileInfo(fileName).fileName());
    if (applies) *applies = false;
    if (!m.hasMatch()) return {};
    const QString server = m.captured(2);
    if (applies)
        *applies = server.isEmpty() || (server == QLatin1String("sqlite")) == (driver == Driver::Sqlite);
    return m.captured(1);
}

std::optional<QString> unescapeField(const QString& field) {
    if (field == QLatin1String("\\N")) return std::nullopt;
    if (!field.contains(QLatin1Char('\\'))) return field;
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c == QLatin1Char('\\') && i + 1 < field.size()) {
            const QChar n = field.at(i + 1);
            if (n == QLatin1Char('t')) {
                out += QLatin1Char('\t');
                ++i;
                continue;
            }
            if (n == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (n == QLatin1Char('\\')) {
                out += QLatin1Char('\\');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

DataFile parseDataFile(const QString& fileName, const QString& content) {
    DataFile f;
    f.fileName = fileName;
    f.table = dataFileTable(fileName, Driver::Sqlite);
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.startsWith(QLatin1Char('#')) || line.isEmpty()) continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (f.header.isEmpty()) {
            for (const QString& h : fields) f.header << h.trimmed();
            continue;
        }
        if (fields.size() != f.header.size())
            throw DbError(QStringLiteral("初始数据文件 %1 第 %2 行有 %3 个字段，应为 %4 个")
                              .arg(fileName)
                              .arg(i + 1)
                              .arg(fields.size())
                              .arg(f.header.size()));
        DataFile::Row row;
        row.line = i + 1;
        for (const QString& v : fields) row.values << unescapeField(v);
        f.rows << row;
    }
    return f;
}

}  // namespace qv::schema
