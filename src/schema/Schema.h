#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

namespace qv {
class Database;
}

namespace qv::schema {

// Creates every table, index and view of the database and loads the initial content, in one
// transaction. The database must be empty (no table of ours yet).
void install(Database& db);

// Creates tables, indexes and views only (no content).
void createObjects(Database& db);
// Loads the initial content into a database that has the objects but no rows.
void loadInitialContent(Database& db);

// Every table and every view, as the schema spells them.
QStringList tableNames();
QStringList viewNames();
// Every column name of every table and view, as the schema spells it (for Database::setCanonicalNames).
QStringList columnNames();
// The key column of every table and view that has one (for Database::setRowKeys).
QHash<QString, QString> rowKeys();
// Tells a connection what it needs to know of the schema: the spelling of every column name and the key
// of every table and view (so that views, which have no key of their own on the server, are read in
// the key order of their driving table).
void describeTo(Database& db);

}  // namespace qv::schema
