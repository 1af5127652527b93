#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include "DataFile.h"
#include "Database.h"
#include "DbError.h"
#include "SchemaModel.h"
#include "Transaction.h"

namespace qv::schema {

namespace {

const QString kDataDir = QStringLiteral(":/schema/data");

// Inserts the rows of one data file with one prepared statement, every value bound.
void loadFile(Database& db, const DataFile& file) {
    const Table* table = findTable(file.table);
    if (!table)
        throw DbError(QStringLiteral("初始数据文件 %1 指向不存在的表 %2").arg(file.fileName, file.table));
    QList<const Column*> cols;
    QStringList names, placeholders;
    for (int i = 0; i < file.header.size(); ++i) {
        const Column* c = table->column(file.header.at(i));
        if (!c)
            throw DbError(QStringLiteral("初始数据文件 %1 的列 %2 不在表 %3 中")
                              .arg(file.fileName, file.header.at(i), table->name));
        cols << c;
        names << c->name;
        placeholders << QStringLiteral(":c%1").arg(i);
    }
    if (file.rows.isEmpty()) return;

    const QString sql =
        QStringLiteral("insert into %1 (%2) values (%3)")
            .arg(table->name, names.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", ")));
    QSqlQuery q(db.handle());
    if (!q.prepare(sql)) throw DbError(q.lastError(), sql);
    for (const DataFile::Row& row : file.rows) {
        for (int i = 0; i < row.values.size(); ++i) {
            const std::optional<QString>& v = row.values.at(i);
            const bool textual =
                cols.at(i)->type == ColumnType::Text || cols.at(i)->type == ColumnType::LongText;
            // An empty field means the empty string; for numbers and dates it can only mean "no value".
            if (!v || (!textual && v->isEmpty()))
                q.bindValue(placeholders.at(i), QVariant(QMetaType::fromType<QString>()));
            else
                q.bindValue(placeholders.at(i), *v);
        }
        if (!q.exec())
            throw DbError(q.lastError(), sql + QStringLiteral("\n-- %1:%2").arg(file.fileName).arg(row.line));
    }

    // Identity values given explicitly: move the counter past them. SQLite does so by itself.
    const Column* id = table->identity();
    if (id && db.driver() == Driver::Postgres && cols.contains(id)) {
        db.exec(QStringLiteral(
                    "select setval(pg_get_serial_sequence('%1', '%2'), coalesce(max(%3), 0) + 1, false) "
                    "from %4")
                    .arg(table->name.toLower(), id->name.toLower(), id->name, table->name));
    }
}

}  // namespace

void createObjects(Database& db) {
    Transaction t(db);
    for (const QString& stmt : createStatements(db.driver())) db.exec(stmt);
    t.commit();
}

void loadInitialContent(Database& db) {
    Transaction t(db);
    QStringList files = QDir(kDataDir).entryList(QDir::Files, QDir::Name);
    files.sort();
    for (const QString& name : files) {
        bool applies = false;
        if (dataFileTable(name, db.driver(), &applies).isEmpty() || !applies) continue;
        QFile f(kDataDir + QLatin1Char('/') + name);
        if (!f.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("无法读取初始数据文件 %1").arg(name));
        loadFile(db, parseDataFile(name, QString::fromUtf8(f.readAll())));
    }
    t.commit();
}

void install(Database& db) {
    Transaction t(db);
    createObjects(db);
    loadInitialContent(db);
    t.commit();
}

QStringList tableNames() {
    QStringList out;
    for (const Table& t : tables()) out << t.name;
    return out;
}

QStringList viewNames() {
    QStringList out;
    for (const View& v : views()) out << v.name;
    return out;
}

QHash<QString, QString> rowKeys() {
    QHash<QString, QString> out;
    for (const Table& t : tables())
        if (const Column* id = t.identity()) out.insert(t.name, id->name);
    for (const View& v : views())
        if (!v.key.isEmpty()) out.insert(v.name, v.key);
    return out;
}

void describeTo(Database& db) {
    db.setCanonicalNames(columnNames());
    db.setRowKeys(rowKeys());
}

QStringList columnNames() {
    // One spelling per name: the first one met, tables before views, so that the tables' own spelling wins.
    QStringList out;
    QSet<QString> seen;
    auto add = [&](const QString& n) {
        if (!seen.contains(n.toLower())) {
            seen.insert(n.toLower());
            out << n;
        }
    };
    for (const Table& t : tables())
        for (const Column& c : t.columns) add(c.name);
    for (const View& v : views())
        for (const ViewColumn& c : v.columns) add(c.name);
    return out;
}

}  // namespace qv::schema
