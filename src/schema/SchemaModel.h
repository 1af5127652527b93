#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include "Dialect.h"

// The database described once, as data: tables with columns of abstract types, indexes and views.
// SchemaDdl turns the description into statements for each server.
namespace qv::schema {

enum class ColumnType {
    Identity,  // auto-increment integer key assigned by the server (may be given explicitly)
    Integer,
    Boolean,  // integer holding 0/1
    Float,
    Number,  // integer or fraction, width not fixed
    Money,   // fixed point with four decimals
    DateTime,
    Date,
    Text,      // text of at most `width` characters, compared without case
    LongText,  // unbounded text, compared without case
};

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
    int width = 0;         // Text only
    QString defaultValue;  // SQL literal, empty = none
};

struct Table {
    QString name;
    QList<Column> columns;

    const Column* column(const QString& name) const;  // case-insensitive
    const Column* identity() const;                   // nullptr when the table has none
};

struct Index {
    QString table;
    QStringList columns;  // column names, or expressions over them
    bool unique = false;
};

struct ViewColumn {
    QString name;        // as the view presents it
    QString expression;  // SQL expression over the view's sources, valid on both servers
};

struct View {
    QString name;
    QList<ViewColumn> columns;
    QString from;  // from-clause with joins, valid on both servers
    QString key;   // the column that holds the key of the driving table's row; empty when it has none
};

const QList<Table>& tables();
const QList<Index>& indexes();
const QList<View>& views();

const Table* findTable(const QString& name);  // case-insensitive
const View* findView(const QString& name);    // case-insensitive

// Statements that create everything, in order (tables, then indexes, then views).
QStringList createStatements(Driver driver);
QString createTableStatement(const Table& table, Driver driver);
QString createIndexStatement(const Index& index);
QString createViewStatement(const View& view, Driver driver);
// True when a view column shows text: every column its expression refers to is a text column.
bool isTextColumn(const View& view, const ViewColumn& column);
QString indexName(const Index& index);

}  // namespace qv::schema
