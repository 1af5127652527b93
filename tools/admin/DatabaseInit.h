#pragma once
#include <QString>
#include <stdexcept>

#include "Database.h"

namespace qv::admin {

// A failure of an administration command, with a message for the operator.
class AdminError : public std::runtime_error {
public:
    explicit AdminError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Creates the database described by `settings` and installs the schema with its initial content.
// SQLite: the file (relative to settings.baseDir) must not exist unless `force`, which replaces it; the
// new database is built beside it under a temporary name and moved into place only when complete.
// PostgreSQL: connects to the maintenance database "postgres" of the same server with the same
// credentials; an existing database is refused unless `force`, which drops it first. A database that
// could not be completed is removed again. Throws AdminError; returns a one-line description of what was
// created.
QString initDatabase(const ConnectionSettings& settings, bool force);

// Absolute path of the SQLite database file of `settings`.
QString sqliteFilePath(const ConnectionSettings& settings);

}  // namespace qv::admin
