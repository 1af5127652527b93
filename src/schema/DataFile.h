#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

#include "Dialect.h"

// Initial-content files: one tab-separated file per table, named NN_<Table>.tsv, or
// NN_<Table>.sqlite.tsv / NN_<Table>.postgres.tsv for rows of one server only.
namespace qv::schema {

struct DataFile {
    QString fileName;    // as given, for messages
    QString table;       // as the file name spells it
    QStringList header;  // column names
    struct Row {
        int line = 0;                          // 1-based line number in the file
        QList<std::optional<QString>> values;  // nullopt = NULL
    };
    QList<Row> rows;
};

// The table a data file fills and whether it applies to `driver`; an empty table name when the name
// does not follow the pattern.
QString dataFileTable(const QString& fileName, Driver driver, bool* applies = nullptr);

// Parses a data file; throws DbError naming the file and line when a row does not match the header.
DataFile parseDataFile(const QString& fileName, const QString& content);

// `\t`, `\n` and `\\` inside a field; `\N` alone is NULL.
std::optional<QString> unescapeField(const QString& field);

}  // namespace qv::schema
