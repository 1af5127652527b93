#pragma once
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <vector>

#include "DbError.h"
#include "Dialect.h"

namespace qv {

// Values bound to a statement's named placeholders, by name without the colon.
using Params = QVariantMap;

struct ConnectionSettings {
    Driver driver = Driver::Sqlite;
    QString server;    // PostgreSQL: host or host:port (a host starting with '/' is a socket folder)
    QString database;  // SQLite: the database file, relative to baseDir; PostgreSQL: the database name
    QString user;
    QString password;
    QString baseDir;  // the program folder, for relative SQLite paths
    int connectTimeoutSeconds = 5;

    static Driver driverFromName(const QString& name);  // "postgres"/"postgresql"/"pg", else SQLite
    // PostgreSQL settings from libpq keywords ("host=127.0.0.1 port=55433 user=postgres password=x"),
    // as the test and benchmark tools are given them; host defaults to 127.0.0.1, user to postgres.
    static ConnectionSettings fromKeywords(const QString& keywords, const QString& database);
};

// The program's one database connection, with the dialect of its server and the transaction depth.
class Database {
public:
    explicit Database(QString connectionName = QStringLiteral("qv_main"));
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the connection; false with *error filled when it fails. Never throws.
    bool open(const ConnectionSettings& settings, QString* error = nullptr);
    void close();
    bool isOpen() const;

    const Dialect& dialect() const { return *dialect_; }
    Driver driver() const { return dialect_->driver(); }
    bool isSqlite() const { return dialect_->isSqlite(); }
    QSqlDatabase handle() const;
    const ConnectionSettings& settings() const { return settings_; }

    // Runs a statement with bound parameters; throws DbError. The query is positioned before its first row.
    QSqlQuery exec(const QString& sql, const Params& params = {}) const;
    // Runs a statement and returns the number of rows it changed.
    int execute(const QString& sql, const Params& params = {}) const;
    // First column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(const QString& sql, const Params& params = {}) const;
    // Runs an INSERT and returns the identity the server assigned to `keyColumn`.
    QVariant insert(const QString& sql, const Params& params, const QString& keyColumn) const;
    // Runs several statements separated by ';' lines (DDL scripts); no parameters.
    void execScript(const QString& script) const;

    // Column names of a table or view, as the database reports them (empty when it does not exist).
    QStringList columns(const QString& table) const;
    bool hasTable(const QString& table) const;

    // Transactions nest: only the outermost begin/commit reach the server.
    void begin();
    void commit();
    void rollback();
    int transactionDepth() const { return depth_; }
    bool inTransaction() const { return depth_ > 0; }

    void bind(QSqlQuery& q, const Params& params) const;

    // PostgreSQL reports unquoted column names in lower case; the schema's own spelling of every
    // column is registered here so that datasets show the same names on both servers.
    void setCanonicalNames(const QStringList& names);
    QString canonicalName(const QString& name) const;

    // The key column of each table and view, as the schema declares it (table or view -> key), for
    // reading rows in key order. A table not registered here is asked for its primary key.
    void setRowKeys(const QHash<QString, QString>& keys);
    // The key of a table or view; empty when it has none (or it is not known).
    QString rowKey(const QString& table) const;

    // Something shown from the database was changed inside the running transaction: when that
    // transaction rolls back, `reread` is called (once per owner and transaction, only while the owner
    // lives), so that what is shown is again what the database holds. Outside a transaction: nothing.
    void whenRolledBack(QObject* owner, std::function<void()> reread);

private:
    QString name_;
    ConnectionSettings settings_;
    std::unique_ptr<Dialect> dialect_;
    int depth_ = 0;
    bool doomed_ = false;
    QHash<QString, QString> canonical_;
    QHash<QString, QString> rowKeys_;             // lower-case name -> key
    mutable QHash<QString, QString> serverKeys_;  // lower-case name -> key found on the server
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> onRollback_;

    void afterRollback();
};

}  // namespace qv
