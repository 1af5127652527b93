#include "DatabaseInit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include "Schema.h"

namespace qv::admin {

namespace {

bool removeSqliteFiles(const QString& path) {
    bool ok = true;
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                                  QStringLiteral("-journal")}) {
        QFile f(path + suffix);
        if (f.exists() && !f.remove()) ok = false;
    }
    return ok;
}

void installInto(Database& db) {
    try {
        schema::install(db);
    } catch (const DbError& e) {
        throw AdminError(QStringLiteral("installing the schema failed: %1").arg(e.text()));
    }
}

QString initSqlite(const ConnectionSettings& settings, bool force) {
    if (settings.database.trimmed().isEmpty())
        throw AdminError(QStringLiteral("Config.ini: section DBConn names no Database file"));
    const QString path = sqliteFilePath(settings);
    const QFileInfo target(path);
    if (target.exists() && !force)
        throw AdminError(QStringLiteral("the database file %1 already exists (use --force to replace it)").arg(path));
    if (target.exists() && !target.isFile())
        throw AdminError(QStringLiteral("%1 exists and is not a file").arg(path));
    if (!target.dir().exists() && !QDir().mkpath(target.absolutePath()))
        throw AdminError(QStringLiteral("cannot create the folder %1").arg(target.absolutePath()));

    // Build the new database under a temporary name, so that a failure leaves any old file untouched.
    const QString temp = path + QStringLiteral(".init-") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    {
        QFile f(temp);
        if (!f.open(QIODevice::WriteOnly))
            throw AdminError(QStringLiteral("cannot create %1: %2").arg(temp, f.errorString()));
    }
    try {
        Database db(QStringLiteral("qv_admin_init"));
        ConnectionSettings s = settings;
        s.database = temp;
        QString error;
        if (!db.open(s, &error)) throw AdminError(QStringLiteral("cannot open %1: %2").arg(temp, error));
        installInto(db);
        // Leave a single self-contained file behind, without a write-ahead log beside it.
        db.exec(QStringLiteral("pragma wal_checkpoint(truncate)"));
        db.exec(QStringLiteral("pragma journal_mode=delete"));
        db.close();
    } catch (...) {
        removeSqliteFiles(temp);
        throw;
    }
    if (target.exists() && !removeSqliteFiles(path)) {
        removeSqliteFiles(temp);
        throw AdminError(QStringLiteral("cannot remove the old database file %1").arg(path));
    }
    if (!QFile::rename(temp, path)) {
        removeSqliteFiles(temp);
        throw AdminError(QStringLiteral("cannot move the new database to %1").arg(path));
    }
    return QStringLiteral("created SQLite database %1").arg(path);
}

QString initPostgres(const ConnectionSettings& settings, bool force) {
    const QString name = settings.database.trimmed();
    if (name.isEmpty()) throw AdminError(QStringLiteral("Config.ini: section DBConn names no Database"));

    Database maint(QStringLiteral("qv_admin_maint"));
    ConnectionSettings ms = settings;
    ms.database = QStringLiteral("postgres");
    QString error;
    if (!maint.open(ms, &error))
        throw AdminError(QStringLiteral("cannot connect to the PostgreSQL server %1: %2")
                             .arg(settings.server.isEmpty() ? QStringLiteral("(default)") : settings.server,
                                  error.trimmed()));
    // Database names cannot be bound; the name is quoted as an identifier and so taken literally.
    const QString quoted = maint.dialect().quoteIdentifier(name);
    try {
        const bool exists = maint.scalar(QStringLiteral("select count(*) from pg_database where datname = :name"),
                                         {{QStringLiteral("name"), name}})
                                .toInt() > 0;
        if (exists && !force)
            throw AdminError(
                QStringLiteral("the database %1 already exists (use --force to drop and recreate it)").arg(name));
        if (exists) {
            try {
                maint.exec(QStringLiteral("drop database ") + quoted);
            } catch (const DbError& e) {
                // Typically another program is still connected to it.
                throw AdminError(QStringLiteral("dropping the database %1 failed: %2").arg(name, e.text()));
            }
        }
        maint.exec(QStringLiteral("create database %1 encoding 'UTF8' template template0").arg(quoted));
    } catch (const DbError& e) {
        throw AdminError(QStringLiteral("creating the database %1 failed: %2").arg(name, e.text()));
    }

    try {
        Database db(QStringLiteral("qv_admin_init"));
        if (!db.open(settings, &error))
            throw AdminError(QStringLiteral("cannot connect to the new database %1: %2").arg(name, error.trimmed()));
        installInto(db);
        db.close();
    } catch (...) {
        try {
            maint.exec(QStringLiteral("drop database if exists ") + quoted);
        } catch (const DbError&) {
            // The original failure is the one worth reporting.
        }
        throw;
    }
    return QStringLiteral("created PostgreSQL database %1").arg(name);
}

}  // namespace

QString sqliteFilePath(const ConnectionSettings& settings) {
    const QString db = settings.database.trimmed();
    if (QFileInfo(db).isRelative() && !settings.baseDir.isEmpty())
        return QDir::cleanPath(QDir(settings.baseDir).absoluteFilePath(db));
    return QDir::cleanPath(QFileInfo(db).absoluteFilePath());
}

QString initDatabase(const ConnectionSettings& settings, bool force) {
    return settings.driver == Driver::Postgres ? initPostgres(settings, force) : initSqlite(settings, force);
}

}  // namespace qv::admin
