#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

#include "ReportTemplate.h"

namespace qv {

class Dataset;

// The case-insensitive path of a report file below `baseDir`: "\" and "/" both separate components,
// and each component matches the existing entry whatever its case, so "reports\fr_bill1.frf" finds
// Reports/fr_bill1.frf. A path that finds no file is returned joined as written (with "/").
QString resolveReportPath(const QString& baseDir, const QString& path);

// A report object: the template loaded from its file and the data sources its expressions name. The
// band data and the shared datasets are registered by name; the report never moves their rows.
class Report {
public:
    explicit Report(QString name = {}) : name_(std::move(name)) {}

    const QString& name() const { return name_; }

    // Reads the template at `path` (resolved below `baseDir`). A missing file leaves the report empty
    // without a message; a file that cannot be read throws DbError naming the file.
    void loadTemplate(const QString& baseDir, const QString& path);
    // Writes the template back to the file it was loaded from, atomically; throws DbError on failure.
    void saveTemplate() const;
    const QString& filePath() const { return filePath_; }
    // The file name shown in messages (the path as the program names it).
    const QString& displayPath() const { return displayPath_; }

    ReportTemplate& reportTemplate() { return tmpl_; }
    const ReportTemplate& reportTemplate() const { return tmpl_; }
    void setTemplate(ReportTemplate t) { tmpl_ = std::move(t); }
    // The object of that name in the template, or nullptr when the template has none.
    ReportObject* findObject(const QString& name) { return tmpl_.findObject(name); }

    // A data source of that name (compared without case). A source registered without a dataset prints
    // its band once.
    void setSource(const QString& name, Dataset* dataset);
    bool hasSource(const QString& name) const { return sources_.contains(name.toLower()); }
    Dataset* source(const QString& name) const { return sources_.value(name.toLower()); }
    // The names of the sources as registered, in the order they were.
    const QStringList& sourceNames() const { return sourceNames_; }

private:
    QString name_;
    QString filePath_, displayPath_;
    ReportTemplate tmpl_;
    QHash<QString, Dataset*> sources_;
    QStringList sourceNames_;
};

}  // namespace qv
