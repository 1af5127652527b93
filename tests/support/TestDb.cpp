#include "TestDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <memory>

#include "Schema.h"

namespace qv::test {

namespace {

ConnectionSettings pgSettings(const QString& database) {
    return ConnectionSettings::fromKeywords(qEnvironmentVariable("QUORVAN_TEST_PG"), database);
}

// The maintenance connection that creates and drops the test databases of this process.
class PgServer {
public:
    PgServer() : db_(QStringLiteral("qv_test_admin")) {
        QString err;
        if (!db_.open(pgSettings(QStringLiteral("postgres")), &err))
            qFatal("cannot reach the test PostgreSQL server: %s", qPrintable(err));
        prefix_ = QStringLiteral("qvt_%1_%2")
                      .arg(QCoreApplication::applicationPid())
                      .arg(QUuid::createUuid().toString(QUuid::Id128).left(6));
        dropLeftovers();
    }
    ~PgServer() {
        endCase();
        for (const QString& name : std::as_const(suite_)) drop(name);
        if (!templ_.isEmpty()) drop(templ_);
    }
    void endCase() {
        for (const QString& name : std::as_const(created_)) drop(name);
        created_.clear();
    }
    QString templateDb() {
        if (templ_.isEmpty()) {
            templ_ = prefix_ + QStringLiteral("_tpl");
            create(templ_, QString());
            Database db(QStringLiteral("qv_test_tpl"));
            QString err;
            if (!db.open(pgSettings(templ_), &err)) qFatal("template: %s", qPrintable(err));
            schema::install(db);
            db.close();
        }
        return templ_;
    }
    QString newDb(bool withContent, bool forCase) {
        const QString name = prefix_ + QStringLiteral("_%1").arg(++counter_);
        create(name, withContent ? templateDb() : QString());
        (forCase ? created_ : suite_) << name;
        return name;
    }

private:
    // Databases of test processes of this machine that ended without removing them (a crash).
    void dropLeftovers() {
        QSqlQuery q =
            db_.exec(QStringLiteral("select datname from pg_database where datname like 'qvt\\_%'"));
        QStringList stale;
        while (q.next()) {
            const QString name = q.value(0).toString();
            bool ok = false;
            const qint64 pid = name.section(QLatin1Char('_'), 1, 1).toLongLong(&ok);
            if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) stale << name;
        }
        q.finish();
        for (const QString& name : stale) drop(name);
    }
    void create(const QString& name, const QString& from) {
        QString sql = QStringLiteral("create database %1").arg(name);
        if (!from.isEmpty()) sql += QStringLiteral(" template %1").arg(from);
        db_.exec(sql);
    }
    void drop(const QString& name) {
        try {
            db_.exec(QStringLiteral("drop database if exists %1 with (force)").arg(name));
        } catch (const DbError&) {
        }
    }
    Database db_;
    QString prefix_, templ_;
    QStringList created_, suite_;
    int counter_ = 0;
};

PgServer* server = nullptr;

// The databases are dropped while the application object still exists (its drivers are still loaded),
// not by a static destructor after it has gone.
PgServer& pgServer() {
    if (!server) {
        server = new PgServer;
        qAddPostRoutine([] {
            delete server;
            server = nullptr;
        });
    }
    return *server;
}

QTemporaryDir& tempFolder() {
    static QTemporaryDir dir;
    return dir;
}

QString sqliteTemplate() {
    static QString path;
    if (path.isEmpty()) {
        path = QDir(tempFolder().path()).filePath(QStringLiteral("template.db"));
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
        }
        Database db(QStringLiteral("qv_test_tpl"));
        ConnectionSettings s;
        s.database = path;
        QString err;
        if (!db.open(s, &err)) qFatal("template: %s", qPrintable(err));
        schema::install(db);
        db.exec(QStringLiteral("pragma wal_checkpoint(truncate)"));
        db.close();
    }
    return path;
}

int sqliteCounter = 0;
QStringList sqliteFiles;  // made since the last endCase()

// The case that asked for the databases not yet removed; a database asked for by another case first
// removes them (for tests that do not call endCase() themselves).
QByteArray pendingCase;

QByteArray currentCase() {
    const char* f = QTest::currentTestFunction();
    const char* tag = QTest::currentDataTag();
    return QByteArray(f ? f : "") + '/' + QByteArray(tag ? tag : "");
}

// True when a test case asks (not the suite's own set-up, whose databases live as long as the process).
bool caseDatabase() {
    const char* f = QTest::currentTestFunction();
    if (!f || qstrcmp(f, "initTestCase") == 0) return false;
    const QByteArray now = currentCase();
    if (now != pendingCase) TestDb::endCase();
    pendingCase = now;
    return true;
}

}  // namespace

bool TestDb::usingPostgres() { return !qEnvironmentVariableIsEmpty("QUORVAN_TEST_PG"); }

QString TestDb::tempDir() { return tempFolder().path(); }

void TestDb::endCase() {
    if (server) server->endCase();
    for (const QString& f : std::as_const(sqliteFiles)) {
        QFile::remove(f);
        QFile::remove(f + QStringLiteral("-wal"));
        QFile::remove(f + QStringLiteral("-shm"));
    }
    sqliteFiles.clear();
    pendingCase.clear();
}

ConnectionSettings TestDb::fresh() {
    const bool forCase = caseDatabase();
    if (usingPostgres()) return pgSettings(pgServer().newDb(true, forCase));
    const QString path = QDir(tempDir()).filePath(QStringLiteral("test%1.db").arg(++sqliteCounter));
    QFile::remove(path);
    if (!QFile::copy(sqliteTemplate(), path)) qFatal("cannot copy the template database");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (forCase) sqliteFiles << path;
    ConnectionSettings s;
    s.database = path;
    return s;
}

ConnectionSettings TestDb::empty() {
    const bool forCase = caseDatabase();
    if (usingPostgres()) return pgSettings(pgServer().newDb(false, forCase));
    const QString path = QDir(tempDir()).filePath(QStringLiteral("empty%1.db").arg(++sqliteCounter));
    QFile::remove(path);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    if (forCase) sqliteFiles << path;
    ConnectionSettings s;
    s.database = path;
    return s;
}

bool TestDb::openFresh(Database& db) {
    QString err;
    if (!db.open(fresh(), &err)) {
        qWarning("cannot open a fresh test database: %s", qPrintable(err));
        return false;
    }
    schema::describeTo(db);
    return true;
}

ConnectionSettings TestDb::unreachable() {
    if (usingPostgres()) {
        ConnectionSettings s = pgSettings(QStringLiteral("postgres"));
        s.server = QStringLiteral("127.0.0.1:1");
        s.connectTimeoutSeconds = 2;
        return s;
    }
    ConnectionSettings s;
    s.database = QDir(tempDir()).filePath(QStringLiteral("no-such-file.db"));
    return s;
}

}  // namespace qv::test
