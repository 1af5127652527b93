#include "AdminConfig.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

namespace qv::admin {

namespace {

// key (lower case) -> value of section DBConn
QHash<QString, QString> dbConnValues(const QString& text) {
    QHash<QString, QString> values;
    bool inSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2).trimmed().compare(QLatin1String("DBConn"),
                                                                       Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed().toLower();
        // The first occurrence of a key wins, as in the program's own reader.
        if (!values.contains(key)) values.insert(key, line.mid(eq + 1).trimmed());
    }
    return values;
}

}  // namespace

ConnectionSettings parseConnection(const QString& iniText, const QString& homeDir) {
    const QHash<QString, QString> v = dbConnValues(iniText);
    ConnectionSettings s;
    s.driver = ConnectionSettings::driverFromName(v.value(QStringLiteral("driver")));
    s.server = v.value(QStringLiteral("server"));
    s.database = v.value(QStringLiteral("database"));
    s.user = v.value(QStringLiteral("user"));
    s.password = v.value(QStringLiteral("password"));
    s.baseDir = homeDir;
    return s;
}

bool readConnection(const QString& homeDir, ConnectionSettings* out, QString* error) {
    const QString path = homeDir + QStringLiteral("/Config.ini");
    QFile f(path);
    if (!f.exists()) {
        if (error) *error = QStringLiteral("Config.ini not found: %1").arg(path);
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
        return false;
    }
    const QByteArray bytes = f.readAll();
    // UTF-8 (with or without a byte order mark); files written by older tools in the local code page
    // are read with the system's 8-bit codec instead.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLocal8Bit(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    *out = parseConnection(text, homeDir);
    return true;
}

}  // namespace qv::admin
