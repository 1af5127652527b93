#include "Report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "DbError.h"

namespace qv {

QString resolveReportPath(const QString& baseDir, const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString dir = QDir::isAbsolutePath(p) ? QStringLiteral("/") : baseDir;
    bool found = true;
    for (const QString& part : parts) {
        QString match;
        if (found) {
            const QDir d(dir);
            if (QFileInfo::exists(d.filePath(part))) {
                match = part;
            } else {
                const QStringList entries =
                    d.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
                for (const QString& e : entries)
                    if (e.compare(part, Qt::CaseInsensitive) == 0) {
                        match = e;
                        break;
                    }
            }
        }
        if (match.isEmpty()) found = false;
        dir = QDir(dir).filePath(match.isEmpty() ? part : match);
    }
    return QDir::cleanPath(dir);
}

void Report::loadTemplate(const QString& baseDir, const QString& path) {
    displayPath_ = path;
    filePath_ = resolveReportPath(baseDir, path);
    tmpl_ = ReportTemplate();
    QFile f(filePath_);
    if (!f.exists()) return;
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral(u"报表模板 %1 无法打开：%2").arg(path, f.errorString()));
    tmpl_ = ReportTemplate::fromXml(f.readAll(), path);
}

void Report::saveTemplate() const {
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QSaveFile f(filePath_);
    if (!f.open(QIODevice::WriteOnly) || f.write(tmpl_.toXml()) < 0 || !f.commit())
        throw DbError(QStringLiteral(u"报表模板 %1 无法保存：%2").arg(displayPath_, f.errorString()));
}

void Report::setSource(const QString& name, Dataset* dataset) {
    if (!sources_.contains(name.toLower())) sourceNames_ << name;
    sources_.insert(name.toLower(), dataset);
}

}  // namespace qv
