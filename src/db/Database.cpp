#include "Database.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

namespace qv {

Driver ConnectionSettings::driverFromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("postgres") || n == QLatin1String("postgresql") || n == QLatin1String("pg") ||
        n == QLatin1String("qpsql"))
        return Driver::Postgres;
    return Driver::Sqlite;
}

ConnectionSettings ConnectionSettings::fromKeywords(const QString& keywords, const QString& database) {
    QHash<QString, QString> kv;
    for (const QString& part : keywords.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq > 0) kv.insert(part.left(eq).toLower(), part.mid(eq + 1));
    }
    ConnectionSettings s;
    s.driver = Driver::Postgres;
    s.server = kv.value(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    if (kv.contains(QStringLiteral("port"))) s.server += QLatin1Char(':') + kv.value(QStringLiteral("port"));
    s.user = kv.value(QStringLiteral("user"), QStringLiteral("postgres"));
    s.password = kv.value(QStringLiteral("password"));
    s.database = database;
    return s;
}

Database::Database(QString connectionName)
    : name_(std::move(connectionName)), dialect_(Dialect::create(Driver::Sqlite)) {
    dialect_->setKeyLookup([this](const QString& t) { return rowKey(t); });
}

Database::~Database() { close(); }

QSqlDatabase Database::handle() const { return QSqlDatabase::database(name_, false); }

bool Database::isOpen() const { return QSqlDatabase::contains(name_) && handle().isOpen(); }

static void applyPostgresSettings(QSqlDatabase& db, const ConnectionSettings& s) {
    QString host = s.server.trimmed();
    int port = -1;
    // host:port, but a socket folder keeps its own colons out of the way by starting with '/'.
    const int colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && !host.startsWith(QLatin1Char('/'))) {
        bool ok = false;
        const int p = host.mid(colon + 1).toInt(&ok);
        if (ok) {
            port = p;
            host = host.left(colon);
        }
    }
    db.setHostName(host);
    if (port > 0) db.setPort(port);
    db.setDatabaseName(s.database);
    db.setUserName(s.user);
    db.setPassword(s.password);
    db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(s.connectTimeoutSeconds));
}

bool Database::open(const ConnectionSettings& settings, QString* error) {
    close();
    settings_ = settings;
    dialect_ = Dialect::create(settings.driver);
    dialect_->setKeyLookup([this](const QString& t) { return rowKey(t); });
    serverKeys_.clear();
    const bool pg = settings.driver == Driver::Postgres;
    if (!pg) {
        QString path = settings.database.trimmed();
        if (path.isEmpty()) {
            if (error) *error = QStringLiteral("没有指定数据库文件");
            return false;
        }
        if (QFileInfo(path).isRelative() && !settings.baseDir.isEmpty())
            path = QDir(settings.baseDir).filePath(path);
        // A missing file is a failed connection: never create an empty database by accident.
        if (!QFileInfo(path).isFile()) {
            if (error) *error = QStringLiteral("数据库文件不存在: %1").arg(path);
            return false;
        }
        settings_.database = path;
    }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(pg ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name_);
        if (pg) {
            applyPostgresSettings(db, settings_);
        } else {
            db.setDatabaseName(settings_.database);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        }
        if (!db.open()) {
            if (error) {
                const QSqlError e = db.lastError();
                *error = e.databaseText().isEmpty() ? e.driverText() : e.databaseText();
            }
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name_);
            return false;
        }
    }
    try {
        if (pg) {
            exec(QStringLiteral("set client_min_messages to warning"));
        } else {
            // Check that the file really is a database before anything else touches it.
            exec(QStringLiteral("select count(*) from sqlite_master"));
            exec(QStringLiteral("pragma journal_mode=wal"));
            exec(QStringLiteral("pragma synchronous=normal"));
        }
    } catch (const DbError& e) {
        if (error) *error = e.text();
        close();
        return false;
    }
    return true;
}

void Database::close() {
    if (QSqlDatabase::contains(name_)) {
        {
            QSqlDatabase db = handle();
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    depth_ = 0;
    doomed_ = false;
    onRollback_.clear();
}

void Database::bind(QSqlQuery& q, const Params& params) const {
    // Only names that the statement holds are bound, so one parameter set can serve several statements.
    const QString sql = q.lastQuery();
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString ph = QLatin1Char(':') + it.key();
        if (!sql.contains(ph, Qt::CaseInsensitive)) continue;
        q.bindValue(ph, dialect_->bindValue(it.value()));
    }
}

QSqlQuery Database::exec(const QString& sql, const Params& params) const {
    QSqlDatabase db = handle();
    if (!db.isOpen()) throw DbError(QStringLiteral("数据库没有连接"), sql);
    QSqlQuery q(db);
    bool ok;
    if (params.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            bind(q, params);
            ok = q.exec();
        }
    }
    if (!ok) throw DbError(q.lastError(), sql);
    return q;
}

int Database::execute(const QString& sql, const Params& params) const {
    QSqlQuery q = exec(sql, params);
    return q.numRowsAffected();
}

QVariant Database::scalar(const QString& sql, const Params& params) const {
    QSqlQuery q = exec(sql, params);
    if (q.next()) return q.value(0);
    return {};
}

QVariant Database::insert(const QString& sql, const Params& params, const QString& keyColumn) const {
    if (dialect_->returnsIdentityInResult()) {
        QSqlQuery q = exec(dialect_->insertReturning(sql, keyColumn), params);
        return q.next() ? q.value(0) : QVariant();
    }
    QSqlQuery q = exec(sql, params);
    return q.lastInsertId();
}

void Database::execScript(const QString& script) const {
    // Statements end with ';' at the end of a line; text inside a statement may hold ';' elsewhere.
    QString current;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1String("--"))) continue;
        current += line + QLatin1Char('\n');
        if (t.endsWith(QLatin1Char(';'))) {
            QString stmt = current.trimmed();
            stmt.chop(1);
            if (!stmt.trimmed().isEmpty()) exec(stmt);
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty()) exec(current.trimmed());
}

QStringList Database::columns(const QString& table) const {
    QStringList out;
    const QSqlRecord rec = handle().record(table);
    for (int i = 0; i < rec.count(); ++i) out << rec.fieldName(i);
    if (out.isEmpty() && driver() == Driver::Postgres) {
        // QPSQL looks names up case-sensitively; our tables are created unquoted, hence lower case.
        const QSqlRecord r2 = handle().record(table.toLower());
        for (int i = 0; i < r2.count(); ++i) out << r2.fieldName(i);
    }
    return out;
}

bool Database::hasTable(const QString& table) const {
    if (driver() == Driver::Postgres) {
        return scalar(QStringLiteral("select count(*) from information_schema.tables where "
                                     "table_schema = current_schema() and lower(table_name) = lower(:t)"),
                      {{QStringLiteral("t"), table}})
                   .toInt() > 0;
    }
    return scalar(QStringLiteral("select count(*) from sqlite_master where type in ('table','view') and "
                                 "name = :t collate nocase"),
                  {{QStringLiteral("t"), table}})
               .toInt() > 0;
}

void Database::begin() {
    if (depth_ == 0) {
        exec(dialect_->beginStatement());
        doomed_ = false;
    }
    ++depth_;
}

void Database::commit() {
    if (depth_ <= 0) throw DbError(QStringLiteral("没有开始的事务"));
    if (depth_ > 1) {
        --depth_;
        return;
    }
    if (doomed_) {
        rollback();
        throw DbError(QStringLiteral("事务的内层操作失败，所有修改已撤销"));
    }
    depth_ = 0;
    try {
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        // A refused COMMIT (a deferred constraint, a lost connection) leaves nothing committed; SQLite
        // keeps the transaction open after it, so it is ended here.
        try {
            exec(QStringLiteral("ROLLBACK"));
        } catch (...) {
        }
        afterRollback();
        throw;
    }
    onRollback_.clear();
}

void Database::rollback() {
    if (depth_ <= 0) return;
    if (depth_ > 1) {
        // An inner guard gave up: the whole transaction will be rolled back by the outermost one.
        --depth_;
        doomed_ = true;
        return;
    }
    depth_ = 0;
    doomed_ = false;
    try {
        exec(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // The connection may be gone; nothing more to undo.
    }
    afterRollback();
}

void Database::whenRolledBack(QObject* owner, std::function<void()> reread) {
    if (depth_ <= 0 || !owner) return;
    for (const auto& entry : onRollback_)
        if (entry.first == owner) return;
    onRollback_.emplace_back(owner, std::move(reread));
}

void Database::afterRollback() {
    // Often reached while an exception unwinds the caller: nothing may escape from here.
    auto handlers = std::move(onRollback_);
    onRollback_.clear();
    for (auto& [owner, reread] : handlers) {
        if (!owner) continue;
        try {
            reread();
        } catch (...) {
        }
    }
}

}  // namespace qv

namespace qv {

void Database::setCanonicalNames(const QStringList& names) {
    for (const QString& n : names) canonical_.insert(n.toLower(), n);
}

QString Database::canonicalName(const QString& name) const {
    if (driver() != Driver::Postgres) return name;
    return canonical_.value(name.toLower(), name);
}

void Database::setRowKeys(const QHash<QString, QString>& keys) {
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) rowKeys_.insert(it.key().toLower(), it.value());
}

QString Database::rowKey(const QString& table) const {
    const QString t = table.toLower();
    if (t.isEmpty()) return {};
    if (const auto it = rowKeys_.constFind(t); it != rowKeys_.cend()) return *it;
    if (const auto it = serverKeys_.constFind(t); it != serverKeys_.cend()) return *it;
    if (!isOpen()) return {};
    // A primary key of one column; a view or a table without one has no key.
    const QString sql =
        driver() == Driver::Postgres
            ? QStringLiteral(
                  "select a.attname from pg_index i join pg_attribute a on a.attrelid = i.indrelid "
                  "and a.attnum = any(i.indkey) where i.indisprimary and i.indrelid = to_regclass(:t)")
            : QStringLiteral("select name from pragma_table_info(:t) where pk > 0");
    QStringList found;
    try {
        QSqlQuery q = exec(sql, {{QStringLiteral("t"), t}});
        while (q.next()) found << canonicalName(q.value(0).toString());
    } catch (const DbError&) {
        return {};  // not remembered: asked again next time
    }
    const QString key = found.size() == 1 ? found.first() : QString();
    serverKeys_.insert(t, key);
    return key;
}

}  // namespace qv
